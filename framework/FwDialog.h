#pragma once
// Modal dialogs from dialog resources, and the exchange of members with their controls.

#include <windows.h>

#include "FwString.h"
#include "FwWindow.h"

class CDialog;

// One exchange between a dialog's members and its controls. An exchange that failed (a field
// did not hold a valid value) runs no further exchange functions.
class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate)
      : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

  CWnd* m_pDlgWnd;
  BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
  BOOL m_bFailed = FALSE;

  // The control of the id (remembered for Fail), or null when the dialog has none.
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id);
  // Marks the exchange failed and puts the focus back into the last prepared control, with an
  // edit control's text selected.
  void Fail();

 private:
  HWND m_lastControl = nullptr;
  BOOL m_lastWasEdit = FALSE;
};

// Subclasses the control into the member on the first exchange (PreSubclassWindow runs then).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// A signed decimal integer. Saving rejects anything else (or a number out of range) with the
// standard message (IDS_FW_PARSE_INT), keeps the member's value and fails the exchange.
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, CString& value);

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // Creates the dialog from its resource and runs it modally (the owner is disabled meanwhile);
  // the result is what EndDialog was given, or -1 when the dialog could not be created.
  virtual INT_PTR DoModal();
  // Ends the modal loop with the result; the window is destroyed when DoModal returns.
  void EndDialog(int result);

  // TRUE: controls to members (FALSE when a field is invalid); FALSE: members to controls.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  // Runs the dialog navigation keys (Tab, arrows, Enter, Escape) for the dialog.
  BOOL PreTranslateMessage(MSG* msg) override;

  UINT GetTemplateId() const { return m_templateId; }

 protected:
  // Writes the members into the controls; TRUE lets the system put the focus on the first
  // tab stop.
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(CDataExchange* dx) { (void)dx; }
  // Enter on the default button (IDOK): takes the fields, ends the dialog when they are valid.
  virtual void OnOK();
  // Escape or the close box: ends the dialog without taking the fields.
  virtual void OnCancel();

  DECLARE_MESSAGE_MAP()

 private:
  static INT_PTR CALLBACK FwDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  void RunModalLoop();
  // Adds the strings of the dialog's initialisation data to its list and combo boxes.
  void ExecuteDlgInit();

  UINT m_templateId;
  CWnd* m_pParentWnd;
  INT_PTR m_modalResult = -1;
  BOOL m_inModalLoop = FALSE;
};
