#include "gdi_object.h"

#include <cassert>

IMPLEMENT_DYNAMIC(CGdiObject, CObject)

long CGdiObject::s_liveHandles = 0;

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ handle)
{
    // A null handle is a failed creation or load, which the caller reports.
    assert(m_hObject == nullptr && "a GDI wrapper attaches one object, once");
    if (handle == nullptr || m_hObject != nullptr)
        return FALSE;
    m_hObject = handle;
    ++s_liveHandles;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ handle = m_hObject;
    if (handle != nullptr)
        --s_liveHandles;
    m_hObject = nullptr;
    return handle;
}

BOOL CGdiObject::DeleteObject()
{
    HGDIOBJ handle = Detach();
    return handle != nullptr && ::DeleteObject(handle);
}

int CGdiObject::GetObject(int size, void* buffer) const
{
    return m_hObject ? ::GetObjectA(m_hObject, size, buffer) : 0;
}

long CGdiObject::LiveHandles()
{
    return s_liveHandles;
}
