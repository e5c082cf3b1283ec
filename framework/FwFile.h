#pragma once
// Files: binary file access, folder enumeration and the system's open and save dialogs.

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "FwString.h"
#include "FwWindow.h"

// A file opened for binary reading or writing. Failures are results, never exceptions: Open
// and Write return FALSE, Read returns the bytes it got, GetError() says why.
class CFile : public CObject {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeCreate = 0x1000,      // create, emptying an existing file
    modeNoTruncate = 0x2000,  // with modeCreate: keep an existing file's content
    typeBinary = 0x8000,      // files are always binary; accepted for clarity
  };
  enum SeekPosition : UINT { begin = FILE_BEGIN, current = FILE_CURRENT, end = FILE_END };

  CFile() = default;
  CFile(LPCSTR path, UINT flags) { Open(path, flags); }
  ~CFile() override;  // closes

  HANDLE m_hFile = INVALID_HANDLE_VALUE;

  BOOL Open(LPCSTR path, UINT flags);
  BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
  void Close();

  UINT Read(void* buffer, UINT count);
  BOOL Write(const void* buffer, UINT count);
  BOOL Flush();
  ULONGLONG Seek(LONGLONG offset, UINT from);
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG GetPosition() const;
  ULONGLONG GetLength() const;
  CString GetFilePath() const { return m_path; }

  // The system error code of the last failure (0 when the last operation succeeded).
  DWORD GetError() const { return m_error; }

 private:
  CString m_path;
  DWORD m_error = 0;
};

// Enumerates a folder in the order the file system gives:
//   BOOL more = find.FindFile(folder + "*.bmp");
//   while (more) { more = find.FindNextFile(); ... find.GetFileName() ... }
class CFileFind : public CObject {
 public:
  CFileFind() = default;
  ~CFileFind() override;

  // Starts a search (null: "*.*" in the current folder); TRUE when anything matches.
  BOOL FindFile(LPCSTR pattern = nullptr);
  // Makes the next match current; TRUE when another one follows it.
  BOOL FindNextFile();
  void Close();

  CString GetFileName() const;   // name with extension
  CString GetFileTitle() const;  // name without extension
  CString GetFilePath() const;   // folder of the pattern + name
  CString GetRoot() const { return m_root; }
  ULONGLONG GetLength() const;
  BOOL IsDirectory() const { return MatchesAttribute(FILE_ATTRIBUTE_DIRECTORY); }
  BOOL IsReadOnly() const { return MatchesAttribute(FILE_ATTRIBUTE_READONLY); }
  BOOL IsHidden() const { return MatchesAttribute(FILE_ATTRIBUTE_HIDDEN); }
  BOOL IsDots() const;  // "." or ".."

 private:
  BOOL MatchesAttribute(DWORD attribute) const;

  HANDLE m_find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA m_next{};
  WIN32_FIND_DATAA m_current{};
  BOOL m_hasNext = FALSE;
  BOOL m_hasCurrent = FALSE;
  CString m_root;
};

// The system's open or save dialog.
class CFileDialog : public CObject {
 public:
  // filter: pairs of description and pattern separated by '|', ended by "||", for example
  // "BMP Files(*.bmp)|*.bmp|JPG Files(*.jpg)|*.jpg||". The default extension may start with
  // a dot; the system wants it without.
  CFileDialog(BOOL openFileDialog, LPCSTR defaultExt = nullptr, LPCSTR fileName = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr,
              CWnd* parent = nullptr);
  ~CFileDialog() override = default;

  // IDOK when the user chose a file, IDCANCEL otherwise (also when the dialog failed).
  virtual INT_PTR DoModal();

  CString GetPathName() const;  // the full path
  CString GetFileName() const;  // name with extension
  CString GetFileExt() const;   // text after the name's last dot, empty without one
  CString GetFileTitle() const; // name without extension

  // What is handed to the system; callers may adjust it before DoModal.
  OPENFILENAMEA m_ofn{};

 private:
  BOOL m_open;
  CWnd* m_parent;
  std::string m_filter;
  CString m_defaultExt;
  char m_file[MAX_PATH * 4] = {};
  char m_title[MAX_PATH] = {};
};
