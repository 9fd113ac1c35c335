#pragma once

#include "afx_string.h"

class CWnd;

// One pass of dialog data exchange: controls to members when saving,
// members to controls otherwise.
class CDataExchange
{
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
    {
    }

    HWND PrepareCtrl(int id);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Subclasses control `id` with `control` the first time; later passes leave it.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
