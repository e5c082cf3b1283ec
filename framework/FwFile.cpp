#include "FwFile.h"

#include <cstring>

#include "FwInternal.h"

// ---- CFile ----

CFile::~CFile() { Close(); }

BOOL CFile::Open(LPCSTR path, UINT flags) {
  Close();
  m_error = 0;
  if (!path || !*path) {
    m_error = ERROR_INVALID_NAME;
    return FALSE;
  }
  DWORD access = 0;
  switch (flags & 3) {
    case modeRead:
      access = GENERIC_READ;
      break;
    case modeWrite:
      access = GENERIC_WRITE;
      break;
    default:
      access = GENERIC_READ | GENERIC_WRITE;
      break;
  }
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  switch (flags & 0x70) {
    case shareExclusive:
      share = 0;
      break;
    case shareDenyWrite:
      share = FILE_SHARE_READ;
      break;
    case shareDenyRead:
      share = FILE_SHARE_WRITE;
      break;
    default:
      break;
  }
  DWORD disposition = OPEN_EXISTING;
  if (flags & modeCreate) disposition = (flags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
  HANDLE h = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    m_error = GetLastError();
    return FALSE;
  }
  m_hFile = h;
  m_path = path;
  return TRUE;
}

void CFile::Close() {
  if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
}

UINT CFile::Read(void* buffer, UINT count) {
  m_error = 0;
  if (!IsOpen()) {
    m_error = ERROR_INVALID_HANDLE;
    return 0;
  }
  if (count == 0) return 0;
  if (!buffer) {
    m_error = ERROR_INVALID_PARAMETER;
    return 0;
  }
  // Large reads in pieces the system takes in one call.
  auto* p = static_cast<BYTE*>(buffer);
  UINT total = 0;
  while (total < count) {
    DWORD got = 0;
    if (!ReadFile(m_hFile, p + total, count - total, &got, nullptr)) {
      m_error = GetLastError();
      break;
    }
    if (got == 0) break;  // end of file
    total += got;
  }
  return total;
}

BOOL CFile::Write(const void* buffer, UINT count) {
  m_error = 0;
  if (!IsOpen()) {
    m_error = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  if (count == 0) return TRUE;
  if (!buffer) {
    m_error = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  const auto* p = static_cast<const BYTE*>(buffer);
  UINT total = 0;
  while (total < count) {
    DWORD put = 0;
    if (!WriteFile(m_hFile, p + total, count - total, &put, nullptr)) {
      m_error = GetLastError();
      return FALSE;
    }
    if (put == 0) {
      m_error = ERROR_DISK_FULL;
      return FALSE;
    }
    total += put;
  }
  return TRUE;
}

BOOL CFile::Flush() {
  m_error = 0;
  if (IsOpen() && FlushFileBuffers(m_hFile)) return TRUE;
  m_error = IsOpen() ? GetLastError() : ERROR_INVALID_HANDLE;
  return FALSE;
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  m_error = 0;
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER position{};
  if (!IsOpen() || !SetFilePointerEx(m_hFile, distance, &position, from)) {
    m_error = IsOpen() ? GetLastError() : ERROR_INVALID_HANDLE;
    return static_cast<ULONGLONG>(-1);
  }
  return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetPosition() const {
  LARGE_INTEGER zero{};
  LARGE_INTEGER position{};
  if (!IsOpen() || !SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT)) return 0;
  return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const {
  LARGE_INTEGER size{};
  if (!IsOpen() || !GetFileSizeEx(m_hFile, &size)) return 0;
  return static_cast<ULONGLONG>(size.QuadPart);
}

// ---- CFileFind ----

CFileFind::~CFileFind() { Close(); }

BOOL CFileFind::FindFile(LPCSTR pattern) {
  Close();
  CString search(pattern && *pattern ? pattern : "*.*");
  // The folder part, found with the code page's rules (a trail byte may look like '\\').
  int slash = search.ReverseFind('\\');
  int other = search.ReverseFind('/');
  int colon = search.ReverseFind(':');
  int cut = slash > other ? slash : other;
  if (colon > cut) cut = colon;
  m_root = search.Left(cut + 1);
  m_find = FindFirstFileA(search, &m_next);
  m_hasNext = m_find != INVALID_HANDLE_VALUE;
  return m_hasNext;
}

BOOL CFileFind::FindNextFile() {
  if (!m_hasNext) {
    m_hasCurrent = FALSE;
    return FALSE;
  }
  m_current = m_next;
  m_hasCurrent = TRUE;
  m_hasNext = ::FindNextFileA(m_find, &m_next);
  return m_hasNext;
}

void CFileFind::Close() {
  if (m_find != INVALID_HANDLE_VALUE) FindClose(m_find);
  m_find = INVALID_HANDLE_VALUE;
  m_hasNext = FALSE;
  m_hasCurrent = FALSE;
}

CString CFileFind::GetFileName() const { return m_hasCurrent ? CString(m_current.cFileName) : CString(); }

CString CFileFind::GetFileTitle() const {
  CString name = GetFileName();
  if (IsDots()) return name;
  int dot = name.ReverseFind('.');
  return dot > 0 ? name.Left(dot) : name;
}

CString CFileFind::GetFilePath() const { return m_hasCurrent ? m_root + m_current.cFileName : CString(); }

ULONGLONG CFileFind::GetLength() const {
  if (!m_hasCurrent) return 0;
  return (static_cast<ULONGLONG>(m_current.nFileSizeHigh) << 32) | m_current.nFileSizeLow;
}

BOOL CFileFind::IsDots() const {
  if (!m_hasCurrent || !IsDirectory()) return FALSE;
  return std::strcmp(m_current.cFileName, ".") == 0 || std::strcmp(m_current.cFileName, "..") == 0;
}

BOOL CFileFind::MatchesAttribute(DWORD attribute) const {
  return m_hasCurrent && (m_current.dwFileAttributes & attribute) != 0;
}

// ---- CFileDialog ----

CFileDialog::CFileDialog(BOOL openFileDialog, LPCSTR defaultExt, LPCSTR fileName, DWORD flags,
                         LPCSTR filter, CWnd* parent)
    : m_open(openFileDialog), m_parent(parent) {
  if (filter && *filter) {
    // '|' becomes the system's separating zero; a trail byte of a double-byte character that
    // happens to be '|' stays.
    m_filter = filter;
    for (size_t i = 0; i < m_filter.size(); ++i) {
      if (IsDBCSLeadByte(static_cast<BYTE>(m_filter[i])) && i + 1 < m_filter.size())
        ++i;
      else if (m_filter[i] == '|')
        m_filter[i] = '\0';
    }
    // The list ends with two zeros whatever the text ended with.
    while (!m_filter.empty() && m_filter.back() == '\0') m_filter.pop_back();
    m_filter.append(2, '\0');
  }
  m_defaultExt = defaultExt;
  while (m_defaultExt.GetLength() > 0 && m_defaultExt[0] == '.') m_defaultExt = m_defaultExt.Mid(1);
  if (fileName) lstrcpynA(m_file, fileName, static_cast<int>(sizeof m_file));

  m_ofn.lStructSize = sizeof(OPENFILENAMEA);
  m_ofn.hInstance = nullptr;
  m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.data();
  m_ofn.nFilterIndex = m_filter.empty() ? 0 : 1;
  m_ofn.lpstrFile = m_file;
  m_ofn.nMaxFile = sizeof m_file;
  m_ofn.lpstrFileTitle = m_title;
  m_ofn.nMaxFileTitle = sizeof m_title;
  m_ofn.lpstrDefExt = m_defaultExt.IsEmpty() ? nullptr : m_defaultExt.GetString();
  m_ofn.Flags = flags | OFN_EXPLORER;
}

INT_PTR CFileDialog::DoModal() {
  m_ofn.hwndOwner = m_parent ? m_parent->GetSafeHwnd() : FwDefaultOwner();
  BOOL ok = m_open ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
  return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile); }

CString CFileDialog::GetFileName() const {
  CString path = GetPathName();
  return path.Mid(path.ReverseFind('\\') + 1);
}

CString CFileDialog::GetFileExt() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot >= 0 ? name.Mid(dot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot >= 0 ? name.Left(dot) : name;
}
