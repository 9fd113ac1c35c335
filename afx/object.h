#pragma once

#include "runtime_class.h"

// Root of the layer's classes: run-time class information and a virtual
// destructor. Objects are not copyable; handles are owned by exactly one.
class CObject
{
public:
    static CRuntimeClass classCObject;

    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

protected:
    CObject() = default;
};
