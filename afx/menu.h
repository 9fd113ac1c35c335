#pragma once

#include "object.h"
#include "temp_handle_map.h"

// A menu handle; owned menus are destroyed with the wrapper, borrowed ones
// (FromHandle, such as the system menu) never are.
class CMenu : public CObject
{
    DECLARE_DYNAMIC(CMenu)
public:
    CMenu() = default;
    ~CMenu() override;

    static CMenu* FromHandle(HMENU handle);

    HMENU m_hMenu = nullptr;

    operator HMENU() const noexcept { return m_hMenu; }
    HMENU GetSafeHmenu() const noexcept { return m_hMenu; }

    BOOL Attach(HMENU handle);
    HMENU Detach();
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT flags, UINT_PTR idOrPopup = 0, LPCSTR text = nullptr);
};
