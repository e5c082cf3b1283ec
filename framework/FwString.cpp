#include "FwString.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "FwApp.h"

std::wstring FwToWide(LPCSTR text, int length) {
  if (!text) return std::wstring();
  if (length < 0) length = static_cast<int>(std::strlen(text));
  if (length == 0) return std::wstring();
  int n = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, length, &out[0], n);
  return out;
}

std::string FwFromWide(const wchar_t* text, int length, bool* lossy) {
  if (lossy) *lossy = false;
  if (!text) return std::string();
  if (length < 0) length = static_cast<int>(std::wcslen(text));
  if (length == 0) return std::string();
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], n, nullptr, &usedDefault);
  if (lossy) *lossy = usedDefault != FALSE;
  return out;
}

CString::CString(LPCSTR text) : m_text(text ? text : "") {}

CString::CString(LPCSTR text, int length) {
  if (text && length > 0) m_text.assign(text, static_cast<size_t>(length));
}

CString::CString(char ch, int repeat) {
  if (repeat > 0) m_text.assign(static_cast<size_t>(repeat), ch);
}

CString::CString(const wchar_t* wide) {
  bool lossy = false;
  m_text = FwFromWide(wide, -1, &lossy);
  if (lossy) m_wide = wide;
}

CString& CString::operator=(LPCSTR text) {
  // The text may point into this string itself.
  std::string copy(text ? text : "");
  m_text.swap(copy);
  Changed();
  return *this;
}

CString& CString::operator=(char ch) {
  m_text.assign(1, ch);
  Changed();
  return *this;
}

void CString::Empty() {
  m_text.clear();
  Changed();
}

char CString::GetAt(int index) const {
  if (index < 0 || index >= GetLength()) return '\0';
  return m_text[static_cast<size_t>(index)];
}

void CString::SetAt(int index, char ch) {
  if (index < 0 || index >= GetLength()) return;
  m_text[static_cast<size_t>(index)] = ch;
  Changed();
}

CString& CString::operator+=(const CString& s) {
  if (m_text.empty() && &s != this) {
    *this = s;  // keeps a wide original
    return *this;
  }
  m_text += s.m_text;
  Changed();
  return *this;
}

CString& CString::operator+=(LPCSTR s) {
  if (s) {
    std::string copy(s);
    m_text += copy;
  }
  Changed();
  return *this;
}

CString& CString::operator+=(char ch) {
  m_text += ch;
  Changed();
  return *this;
}

CString operator+(const CString& a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const CString& a, LPCSTR b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(LPCSTR a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(const CString& a, char b) {
  CString r(a);
  r += b;
  return r;
}
CString operator+(char a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

int CString::Compare(LPCSTR s) const { return std::strcmp(m_text.c_str(), s ? s : ""); }

int CString::CompareNoCase(LPCSTR s) const {
  // lstrcmpiA follows the user's locale, which is what the system's own lists do.
  return lstrcmpiA(m_text.c_str(), s ? s : "");
}

CString CString::Left(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_text.c_str(), count);
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  count = std::clamp(count, 0, GetLength() - first);
  return CString(m_text.c_str() + first, count);
}

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return CString(m_text.c_str() + GetLength() - count, count);
}

int CString::ByteFindFrom(int start, char ch) const {
  const int n = GetLength();
  for (int i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(m_text[static_cast<size_t>(i)]);
    if (i >= start && m_text[static_cast<size_t>(i)] == ch) return i;
    if (IsDBCSLeadByte(c) && i + 1 < n) ++i;
  }
  return -1;
}

int CString::Find(char ch, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  return ByteFindFrom(start, ch);
}

int CString::Find(LPCSTR sub, int start) const {
  if (!sub || start < 0 || start > GetLength()) return -1;
  const size_t len = std::strlen(sub);
  const int n = GetLength();
  for (int i = 0;;) {
    if (i >= start && static_cast<size_t>(i) + len <= m_text.size() &&
        m_text.compare(static_cast<size_t>(i), len, sub) == 0)
      return i;
    if (i >= n) return -1;
    i += (IsDBCSLeadByte(static_cast<unsigned char>(m_text[static_cast<size_t>(i)])) && i + 1 < n) ? 2 : 1;
  }
}

int CString::ReverseFind(char ch) const {
  int found = -1;
  const int n = GetLength();
  for (int i = 0; i < n; ++i) {
    if (m_text[static_cast<size_t>(i)] == ch) found = i;
    if (IsDBCSLeadByte(static_cast<unsigned char>(m_text[static_cast<size_t>(i)])) && i + 1 < n) ++i;
  }
  return found;
}

int CString::FindOneOf(LPCSTR chars) const {
  if (!chars) return -1;
  const int n = GetLength();
  for (int i = 0; i < n; ++i) {
    char c = m_text[static_cast<size_t>(i)];
    if (c != '\0' && std::strchr(chars, c)) return i;
    if (IsDBCSLeadByte(static_cast<unsigned char>(c)) && i + 1 < n) ++i;
  }
  return -1;
}

CString& CString::MakeLower() {
  if (!m_text.empty()) CharLowerBuffA(&m_text[0], static_cast<DWORD>(m_text.size()));
  Changed();
  return *this;
}

CString& CString::MakeUpper() {
  if (!m_text.empty()) CharUpperBuffA(&m_text[0], static_cast<DWORD>(m_text.size()));
  Changed();
  return *this;
}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

CString& CString::TrimLeft() {
  size_t i = 0;
  while (i < m_text.size() && IsBlank(m_text[i])) ++i;
  m_text.erase(0, i);
  Changed();
  return *this;
}

CString& CString::TrimRight() {
  size_t n = m_text.size();
  while (n > 0 && IsBlank(m_text[n - 1])) --n;
  m_text.resize(n);
  Changed();
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

int CString::Replace(char from, char to) {
  int count = 0;
  const int n = GetLength();
  for (int i = 0; i < n; ++i) {
    char& c = m_text[static_cast<size_t>(i)];
    if (c == from) {
      c = to;
      ++count;
    } else if (IsDBCSLeadByte(static_cast<unsigned char>(c)) && i + 1 < n) {
      ++i;
    }
  }
  Changed();
  return count;
}

int CString::Replace(LPCSTR from, LPCSTR to) {
  if (!from || !*from) return 0;
  const CString replacement(to);
  const int fromLen = static_cast<int>(std::strlen(from));
  CString out;
  int count = 0;
  int pos = 0;
  for (int hit = Find(from, 0); hit >= 0; hit = Find(from, pos)) {
    out += Mid(pos, hit - pos);
    out += replacement;
    pos = hit + fromLen;
    ++count;
  }
  if (count == 0) return 0;
  out += Mid(pos);
  m_text.swap(out.m_text);
  Changed();
  return count;
}

void fw_detail::FormatList(CString& out, LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  out.FormatV(format, args);
  va_end(args);
}

void CString::FormatV(LPCSTR format, va_list args) {
  if (!format) {
    Empty();
    return;
  }
  va_list probe;
  va_copy(probe, args);
  int n = std::vsnprintf(nullptr, 0, format, probe);
  va_end(probe);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(&out[0], out.size(), format, args);
    out.resize(static_cast<size_t>(n));
  }
  m_text.swap(out);
  Changed();
}

BOOL CString::LoadString(UINT id) {
  // Resource strings are UTF-16; read them wide so that text the code page cannot hold stays
  // available for display.
  const wchar_t* resource = nullptr;
  int n = LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&resource), 0);
  Empty();
  if (n <= 0 || !resource) return FALSE;
  std::wstring wide(resource, static_cast<size_t>(n));
  bool lossy = false;
  m_text = FwFromWide(wide.c_str(), n, &lossy);
  if (lossy) m_wide = wide;
  return TRUE;
}

LPSTR CString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
  Changed();
  return &m_text[0];
}

LPSTR CString::GetBufferSetLength(int length) {
  m_text.resize(static_cast<size_t>(std::max(length, 0)));
  Changed();
  return &m_text[0];
}

void CString::ReleaseBuffer(int newLength) {
  if (newLength < 0 || newLength > GetLength()) newLength = static_cast<int>(std::strlen(m_text.c_str()));
  m_text.resize(static_cast<size_t>(newLength));
  Changed();
}

std::wstring CString::ToWide() const {
  if (!m_wide.empty()) return m_wide;
  return FwToWide(m_text.c_str(), GetLength());
}

bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
bool operator!=(LPCSTR a, const CString& b) { return b.Compare(a) != 0; }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, LPCSTR b) { return a.Compare(b) < 0; }
bool operator<(LPCSTR a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, LPCSTR b) { return a.Compare(b) > 0; }
bool operator>(LPCSTR a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }

void CStringArray::SetSize(INT_PTR size) { m_items.resize(static_cast<size_t>(std::max<INT_PTR>(size, 0))); }

INT_PTR CStringArray::Add(const CString& s) {
  m_items.push_back(s);
  return GetSize() - 1;
}

void CStringArray::InsertAt(INT_PTR index, const CString& s, INT_PTR count) {
  if (index < 0 || count <= 0) return;
  if (index > GetSize()) SetSize(index);
  m_items.insert(m_items.begin() + index, static_cast<size_t>(count), s);
}

void CStringArray::RemoveAt(INT_PTR index, INT_PTR count) {
  if (index < 0 || count <= 0 || index >= GetSize()) return;
  INT_PTR last = std::min(GetSize(), index + count);
  m_items.erase(m_items.begin() + index, m_items.begin() + last);
}

INT_PTR CStringArray::Append(const CStringArray& other) {
  INT_PTR first = GetSize();
  m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
  return first;
}
