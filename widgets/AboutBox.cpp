#include "AboutBox.h"

#include "resource.h"

const char CAboutBox::kSupportMail[] = "support@snapwise.example";
const char CAboutBox::kHomePage[] = "http://www.snapwise.example/";

CAboutBox::CAboutBox() : CDialog(IDD_ABOUTBOX) {
  // The dialog's texts stay as shown; the tooltips show the full targets.
  m_mailLink.SetTarget(CString("mailto:") + kSupportMail);
  m_homeLink.SetTarget(kHomePage);
}

void CAboutBox::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_HOME_LINK, m_homeLink);
  DDX_Control(dx, IDC_MAIL_LINK, m_mailLink);
}
