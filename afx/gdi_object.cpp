#include "gdi_object.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)

long CGdiObject::s_liveHandles = 0;

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle)
{
    return CTempHandleMap<CGdiObject, HGDIOBJ>::FromHandle(handle);
}

BOOL CGdiObject::Attach(HGDIOBJ handle)
{
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
