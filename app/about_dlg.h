#pragma once

#include "afxwin.h"
#include "hyperlink_label.h"

// The About box: icon, product line, two text lines, OK and a mail link.
class CAboutDlg : public CDialog
{
public:
    CAboutDlg();
    ~CAboutDlg() override;

    CHyperLinkLabel& GetLink() { return m_link; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

private:
    CHyperLinkLabel m_link;
};
