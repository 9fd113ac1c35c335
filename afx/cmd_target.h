#pragma once

#include "afx_types.h"
#include "object.h"

// Anything that has a message map: windows and the application object.
class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // The message map. BEGIN_MESSAGE_MAP/END_MESSAGE_MAP generate an override
    // that tries each entry in order and then the base class's map.
    virtual BOOL ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

protected:
    CCmdTarget() = default;
};
