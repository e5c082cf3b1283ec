#pragma once
// 8-bit strings in the system code page, and an array of them.

#include <windows.h>

#include <cstdarg>
#include <string>
#include <vector>

class CString {
 public:
  CString() = default;
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString(LPCSTR text);  // NOLINT: converts like a C string
  CString(LPCSTR text, int length);
  explicit CString(char ch, int repeat = 1);
  // Converted to the system code page; when that loses characters, the wide text is kept beside
  // it so that showing the string (window text, menus, message boxes) can still use it.
  explicit CString(const wchar_t* wide);

  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(LPCSTR text);
  CString& operator=(char ch);

  int GetLength() const { return static_cast<int>(m_text.size()); }
  BOOL IsEmpty() const { return m_text.empty(); }
  void Empty();
  char GetAt(int index) const;
  char operator[](int index) const { return GetAt(index); }
  void SetAt(int index, char ch);

  operator LPCSTR() const { return m_text.c_str(); }  // NOLINT: used wherever a C string goes
  LPCSTR GetString() const { return m_text.c_str(); }

  CString& operator+=(const CString& s);
  CString& operator+=(LPCSTR s);
  CString& operator+=(char ch);
  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, LPCSTR b);
  friend CString operator+(LPCSTR a, const CString& b);
  friend CString operator+(const CString& a, char b);
  friend CString operator+(char a, const CString& b);

  // Byte-wise comparison (strcmp); the NoCase form ignores letter case in the system's rules.
  int Compare(LPCSTR s) const;
  int CompareNoCase(LPCSTR s) const;

  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;

  // Positions are byte offsets; the searches step over double-byte characters, so a trail byte
  // that looks like '\\' is never found. -1 when absent.
  int Find(char ch, int start = 0) const;
  int Find(LPCSTR sub, int start = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(LPCSTR chars) const;

  CString& MakeLower();
  CString& MakeUpper();
  CString& TrimLeft();
  CString& TrimRight();
  CString& Trim();
  int Replace(char from, char to);
  int Replace(LPCSTR from, LPCSTR to);

  // printf formatting; a CString argument is passed as its text (so "%s" takes a CString).
  template <class... Args>
  void Format(LPCSTR format, const Args&... args);
  void FormatV(LPCSTR format, va_list args);

  // A string of the module's resources (the framework's resource handle); FALSE when absent.
  BOOL LoadString(UINT id);

  // Direct access: GetBuffer gives room for at least minLength bytes plus the terminator;
  // ReleaseBuffer(-1) takes the length up to the first zero.
  LPSTR GetBuffer(int minLength = 0);
  LPSTR GetBufferSetLength(int length);
  void ReleaseBuffer(int newLength = -1);

  // The text as UTF-16 for the wide system calls: the kept wide original when there is one,
  // otherwise the 8-bit text converted from the system code page.
  std::wstring ToWide() const;
  BOOL HasWideOriginal() const { return !m_wide.empty(); }

 private:
  void Changed() { m_wide.clear(); }
  int ByteFindFrom(int start, char ch) const;

  std::string m_text;
  std::wstring m_wide;
};

namespace fw_detail {
inline LPCSTR FormatArg(const CString& s) { return s.GetString(); }
template <class T>
const T& FormatArg(const T& value) {
  return value;
}
void FormatList(CString& out, LPCSTR format, ...);
}  // namespace fw_detail

template <class... Args>
void CString::Format(LPCSTR format, const Args&... args) {
  fw_detail::FormatList(*this, format, fw_detail::FormatArg(args)...);
}

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
bool operator==(LPCSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCSTR b);
bool operator!=(LPCSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCSTR b);
bool operator<(LPCSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCSTR b);
bool operator>(LPCSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator>=(const CString& a, const CString& b);

// Conversions between the system code page and UTF-16.
std::wstring FwToWide(LPCSTR text, int length = -1);
std::string FwFromWide(const wchar_t* text, int length, bool* lossy = nullptr);

class CStringArray {
 public:
  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  BOOL IsEmpty() const { return m_items.empty(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }
  void SetSize(INT_PTR size);

  const CString& GetAt(INT_PTR index) const { return m_items.at(static_cast<size_t>(index)); }
  CString& ElementAt(INT_PTR index) { return m_items.at(static_cast<size_t>(index)); }
  void SetAt(INT_PTR index, const CString& s) { m_items.at(static_cast<size_t>(index)) = s; }
  const CString& operator[](INT_PTR index) const { return GetAt(index); }
  CString& operator[](INT_PTR index) { return ElementAt(index); }

  INT_PTR Add(const CString& s);
  void InsertAt(INT_PTR index, const CString& s, INT_PTR count = 1);
  void RemoveAt(INT_PTR index, INT_PTR count = 1);
  void RemoveAll() { m_items.clear(); }
  void Copy(const CStringArray& other) { m_items = other.m_items; }
  INT_PTR Append(const CStringArray& other);

 private:
  std::vector<CString> m_items;
};
