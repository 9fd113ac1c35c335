#pragma once

#include "object.h"
#include "temp_handle_map.h"

// Owns one GDI object and deletes it with itself, unless Detach hands it on.
class CGdiObject : public CObject
{
    DECLARE_DYNAMIC(CGdiObject)
public:
    CGdiObject() = default;
    ~CGdiObject() override;

    HGDIOBJ m_hObject = nullptr;

    operator HGDIOBJ() const noexcept { return m_hObject; }
    HGDIOBJ GetSafeHandle() const noexcept { return m_hObject; }

    BOOL Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int size, void* buffer) const;

    // Live owning wrappers with a handle, for leak checks in tests and soaks.
    static long LiveHandles();

private:
    static long s_liveHandles;
};
