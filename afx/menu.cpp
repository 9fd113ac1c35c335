#include "menu.h"

#include <cassert>

IMPLEMENT_DYNAMIC(CMenu, CObject)

CMenu::~CMenu()
{
    DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU handle)
{
    return CTempHandleMap<CMenu, HMENU>::FromHandle(handle);
}

BOOL CMenu::Attach(HMENU handle)
{
    assert(handle != nullptr && m_hMenu == nullptr && "a menu wrapper attaches one menu, once");
    if (handle == nullptr || m_hMenu != nullptr)
        return FALSE;
    m_hMenu = handle;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU handle = m_hMenu;
    m_hMenu = nullptr;
    return handle;
}

BOOL CMenu::DestroyMenu()
{
    HMENU handle = Detach();
    return handle != nullptr && ::DestroyMenu(handle);
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idOrPopup, LPCSTR text)
{
    return ::AppendMenuA(m_hMenu, flags, idOrPopup, text);
}
