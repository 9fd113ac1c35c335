#include "about_dlg.h"

#include "resource.h"

namespace
{

// The project's own contact; nobody's private address.
const char kContactUrl[] = "mailto:orvane-dev@example.org";

} // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX)
{
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_MAIL_LINK, m_link);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_link.SetURL(kContactUrl);
    return TRUE;
}
