#pragma once
// The About box: product line, program icon and two links, the support mail address and the
// home page. Shown modally; OK and Cancel end it.

#include "Framework.h"
#include "LinkStatic.h"

class CAboutBox : public CDialog {
 public:
  static const char kSupportMail[];
  static const char kHomePage[];

  CAboutBox();

  CLinkStatic m_homeLink;
  CLinkStatic m_mailLink;

 protected:
  void DoDataExchange(CDataExchange* dx) override;
};
