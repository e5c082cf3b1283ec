#include "ProfileFile.h"

#include <cstring>
#include <vector>

#include "ProfileCodec.h"

namespace {

// Any value other than this text means the key exists.
const char kMissingKey[] = "{63788286-AE30-4D6B-95DF-3B451C1C79F9}";
const DWORD kReadStep = 512;

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

char* CopyOf(LPCSTR text) {
  const size_t length = std::strlen(text);
  char* copy = new char[length + 1];
  std::memcpy(copy, text, length + 1);
  return copy;
}

int CopyTerminated(const char* text, size_t length, LPSTR buffer, int size) {
  if (!buffer) return static_cast<int>(length);
  if (size <= 0) return 0;
  const size_t n = length < static_cast<size_t>(size - 1) ? length : static_cast<size_t>(size - 1);
  std::memcpy(buffer, text, n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

void FillArray(CStringArray& array, const std::vector<std::string>& items) {
  array.RemoveAll();
  for (const std::string& item : items) array.Add(CString(item.c_str(), static_cast<int>(item.size())));
}

std::vector<std::string> ToStrings(const CStringArray& array, INT_PTR count) {
  std::vector<std::string> items;
  for (INT_PTR i = 0; i < count; ++i) items.emplace_back(array[i].GetString(), array[i].GetLength());
  return items;
}

}  // namespace

CProfileFile::CProfileFile() = default;

CProfileFile::CProfileFile(LPCSTR path) { BindFile(path); }

CProfileFile::~CProfileFile() { delete[] m_path; }

void CProfileFile::BindFile(LPCSTR path) {
  if (path) {
    char* copy = CopyOf(path);
    delete[] m_path;
    m_path = copy;
  } else if (m_path) {
    m_path[0] = '\0';
  }
}

int CProfileFile::GetFilePath(LPSTR buffer, int size) const {
  const char* path = m_path ? m_path : "";
  return CopyTerminated(path, std::strlen(path), buffer, size);
}

CString CProfileFile::GetFilePath() const { return CString(m_path ? m_path : ""); }

std::string CProfileFile::ReadTextAlloc(LPCSTR section, LPCSTR key, LPCSTR def) const {
  if (!def) def = "";
  if (!section || !key || !HasFile()) return def;
  DWORD size = kReadStep;
  std::vector<char> buffer(size + 1);
  DWORD length = GetPrivateProfileStringA(section, key, def, buffer.data(), size, m_path);
  // A value that filled the buffer may have been cut: read again with more room.
  while (length + 1 >= size) {
    size += kReadStep;
    buffer.assign(size + 1, '\0');
    length = GetPrivateProfileStringA(section, key, def, buffer.data(), size, m_path);
  }
  return std::string(buffer.data(), length);
}

int CProfileFile::ReadText(LPCSTR section, LPCSTR key, LPSTR buffer, int size, LPCSTR def) const {
  const std::string value = ReadTextAlloc(section, key, def);
  return CopyTerminated(value.data(), value.size(), buffer, size);
}

CString CProfileFile::ReadText(LPCSTR section, LPCSTR key, LPCSTR def) const {
  const std::string value = ReadTextAlloc(section, key, def);
  return CString(value.data(), static_cast<int>(value.size()));
}

BOOL CProfileFile::WriteText(LPCSTR section, LPCSTR key, LPCSTR value) {
  if (!section || !key || !HasFile()) return FALSE;
  return WritePrivateProfileStringA(section, key, value ? value : "", m_path);
}

BOOL CProfileFile::AppendText(LPCSTR section, LPCSTR key, LPCSTR text) {
  if (!text) return FALSE;
  return WriteText(section, key, (ReadTextAlloc(section, key, nullptr) + text).c_str());
}

UINT CProfileFile::ReadUnsigned(LPCSTR section, LPCSTR key, UINT def, int base) const {
  const std::string value = ReadTextAlloc(section, key, nullptr);
  return value.empty() ? def : ParseUnsigned(value.c_str(), base);
}

int CProfileFile::ReadInteger(LPCSTR section, LPCSTR key, int def, int base) const {
  return static_cast<int>(ReadUnsigned(section, key, static_cast<UINT>(def), base));
}

BOOL CProfileFile::WriteInteger(LPCSTR section, LPCSTR key, int value, int base) {
  return WriteText(section, key, FormatInteger(value, base).c_str());
}

BOOL CProfileFile::WriteUnsigned(LPCSTR section, LPCSTR key, UINT value, int base) {
  return WriteText(section, key, FormatUnsigned(value, base).c_str());
}

BOOL CProfileFile::AddToInteger(LPCSTR section, LPCSTR key, int increment, int base) {
  // Wraps around in 32 bits like the unsigned form instead of overflowing.
  const UINT sum = ReadUnsigned(section, key, 0, base) + static_cast<UINT>(increment);
  return WriteInteger(section, key, static_cast<int>(sum), base);
}

BOOL CProfileFile::AddToUnsigned(LPCSTR section, LPCSTR key, UINT increment, int base) {
  return WriteUnsigned(section, key, ReadUnsigned(section, key, 0, base) + increment, base);
}

BOOL CProfileFile::ReadFlag(LPCSTR section, LPCSTR key, BOOL def) const {
  const std::string value = ReadTextAlloc(section, key, nullptr);
  return value.empty() ? def : ParseFlag(value.c_str());
}

BOOL CProfileFile::WriteFlag(LPCSTR section, LPCSTR key, BOOL flag) {
  return WriteText(section, key, flag ? "1" : "0");
}

BOOL CProfileFile::ToggleFlag(LPCSTR section, LPCSTR key) {
  return WriteFlag(section, key, !ReadFlag(section, key, FALSE));
}

double CProfileFile::ReadReal(LPCSTR section, LPCSTR key, double def) const {
  const std::string value = ReadTextAlloc(section, key, nullptr);
  return value.empty() ? def : ParseReal(value.c_str());
}

BOOL CProfileFile::WriteReal(LPCSTR section, LPCSTR key, double value, int precision) {
  return WriteText(section, key, FormatReal(value, precision).c_str());
}

BOOL CProfileFile::AddToReal(LPCSTR section, LPCSTR key, double increment, int precision) {
  return WriteReal(section, key, ReadReal(section, key, 0.0) + increment, precision);
}

char CProfileFile::ReadCharacter(LPCSTR section, LPCSTR key, char def) const {
  const std::string value = ReadTextAlloc(section, key, nullptr);
  return value.empty() ? def : value[0];
}

BOOL CProfileFile::WriteCharacter(LPCSTR section, LPCSTR key, char ch) {
  const char text[2] = {ch, '\0'};
  return WriteText(section, key, text);
}

DWORD CProfileFile::ReadBytes(LPCSTR section, LPCSTR key, LPVOID buffer, DWORD size, DWORD offset) const {
  const std::string value = ReadTextAlloc(section, key, nullptr);
  return static_cast<DWORD>(DecodeHex(value.c_str(), buffer, size, offset));
}

BOOL CProfileFile::WriteBytes(LPCSTR section, LPCSTR key, LPCVOID data, DWORD length) {
  if (!data) return FALSE;
  return WriteText(section, key, EncodeHex(data, length).c_str());
}

BOOL CProfileFile::AppendBytes(LPCSTR section, LPCSTR key, LPCVOID data, DWORD length) {
  if (!data) return FALSE;
  return AppendText(section, key, EncodeHex(data, length).c_str());
}

POINT CProfileFile::ReadPoint(LPCSTR section, LPCSTR key, POINT def) const {
  unsigned char bytes[kProfilePointBytes];
  if (ReadBytes(section, key, bytes, sizeof bytes, 0) != sizeof bytes) return def;
  const ProfilePoint p = PointFromBytes(bytes);
  return POINT{p.x, p.y};
}

RECT CProfileFile::ReadRect(LPCSTR section, LPCSTR key, RECT def) const {
  unsigned char bytes[kProfileRectBytes];
  if (ReadBytes(section, key, bytes, sizeof bytes, 0) != sizeof bytes) return def;
  const ProfileRect r = RectFromBytes(bytes);
  return RECT{r.left, r.top, r.right, r.bottom};
}

BOOL CProfileFile::WritePoint(LPCSTR section, LPCSTR key, POINT point) {
  unsigned char bytes[kProfilePointBytes];
  PointToBytes(ProfilePoint{point.x, point.y}, bytes);
  return WriteBytes(section, key, bytes, sizeof bytes);
}

BOOL CProfileFile::WriteRect(LPCSTR section, LPCSTR key, RECT rect) {
  unsigned char bytes[kProfileRectBytes];
  RectToBytes(ProfileRect{rect.left, rect.top, rect.right, rect.bottom}, bytes);
  return WriteBytes(section, key, bytes, sizeof bytes);
}

DWORD CProfileFile::ReadList(LPCSTR section, LPCSTR key, LPSTR buffer, DWORD size, LPCSTR delimiter,
                             BOOL trim) const {
  const std::string value = ReadTextAlloc(section, key, nullptr);
  return static_cast<DWORD>(SplitValue(value.c_str(), buffer, size, delimiter, trim != FALSE, IsLeadByte));
}

void CProfileFile::ReadList(LPCSTR section, LPCSTR key, CStringArray& pieces, LPCSTR delimiter) const {
  const std::string value = ReadTextAlloc(section, key, nullptr);
  FillArray(pieces, SplitValue(value.c_str(), delimiter, true, IsLeadByte));
}

BOOL CProfileFile::WriteList(LPCSTR section, LPCSTR key, const CStringArray* pieces, int count,
                             LPCSTR delimiter) {
  if (!pieces) return FALSE;
  const INT_PTR n = (count < 0 || count >= pieces->GetSize()) ? pieces->GetSize() : count;
  return WriteText(section, key, JoinPieces(ToStrings(*pieces, n), delimiter).c_str());
}

template <class Lister>
DWORD CProfileFile::MeasureListing(Lister list) const {
  DWORD size = kReadStep;
  std::vector<char> scratch(size);
  DWORD count = list(scratch.data(), size);
  while (count + 2 >= size) {
    size += kReadStep;
    scratch.assign(size, '\0');
    count = list(scratch.data(), size);
  }
  return count + 2;
}

DWORD CProfileFile::ListSections(LPSTR buffer, DWORD size) const {
  if (buffer && size > 0) buffer[0] = '\0';
  if (!HasFile()) return 0;
  auto list = [this](LPSTR b, DWORD s) { return GetPrivateProfileSectionNamesA(b, s, m_path); };
  return buffer ? list(buffer, size) : MeasureListing(list);
}

void CProfileFile::ListSections(CStringArray& names) const {
  names.RemoveAll();
  const DWORD size = ListSections(nullptr, 0);
  if (size == 0) return;
  std::vector<char> list(size + 1, '\0');
  ListSections(list.data(), size);
  FillArray(names, ParseDoubleNullList(list.data(), list.size()));
}

DWORD CProfileFile::ListSectionLines(LPCSTR section, LPSTR buffer, DWORD size) const {
  if (buffer && size > 0) buffer[0] = '\0';
  if (!section || !HasFile()) return 0;
  auto list = [this, section](LPSTR b, DWORD s) { return GetPrivateProfileSectionA(section, b, s, m_path); };
  return buffer ? list(buffer, size) : MeasureListing(list);
}

std::string CProfileFile::ReadSectionLines(LPCSTR section) const {
  const DWORD size = ListSectionLines(section, nullptr, 0);
  if (size == 0) return std::string();
  std::string lines(size + 1, '\0');
  ListSectionLines(section, &lines[0], size);
  return lines;
}

void CProfileFile::ListSectionLines(LPCSTR section, CStringArray& lines) const {
  const std::string list = ReadSectionLines(section);
  FillArray(lines, ParseDoubleNullList(list.data(), list.size()));
}

DWORD CProfileFile::ListKeys(LPCSTR section, LPSTR buffer, DWORD size) const {
  if (buffer && size > 0) buffer[0] = '\0';
  if (!section) return 0;
  const std::string lines = ReadSectionLines(section);
  return static_cast<DWORD>(ExtractKeys(lines.data(), lines.size(), buffer, size));
}

void CProfileFile::ListKeys(LPCSTR section, CStringArray& keys) const {
  const std::string lines = ReadSectionLines(section);
  FillArray(keys, ExtractKeys(lines.data(), lines.size()));
}

BOOL CProfileFile::HasSection(LPCSTR section) const {
  if (!section) return FALSE;
  CStringArray names;
  ListSections(names);
  for (INT_PTR i = 0; i < names.GetSize(); ++i) {
    if (names[i].CompareNoCase(section) == 0) return TRUE;
  }
  return FALSE;
}

BOOL CProfileFile::HasKey(LPCSTR section, LPCSTR key) const {
  if (!section || !key) return FALSE;
  return ReadTextAlloc(section, key, kMissingKey) != kMissingKey;
}

BOOL CProfileFile::RemoveSection(LPCSTR section) {
  if (!section || !HasFile()) return FALSE;
  return WritePrivateProfileStringA(section, nullptr, "", m_path);
}

BOOL CProfileFile::RemoveKey(LPCSTR section, LPCSTR key) {
  if (!section || !key || !HasFile()) return FALSE;
  return WritePrivateProfileStringA(section, key, nullptr, m_path);
}

BOOL CProfileFile::CopySection(LPCSTR source, LPCSTR destination, BOOL failIfExists) {
  if (!source || !destination || !HasFile()) return FALSE;
  if (CString(source).CompareNoCase(destination) == 0) return FALSE;
  if (!HasSection(source)) return FALSE;
  if (failIfExists && HasSection(destination)) return FALSE;
  const std::string lines = ReadSectionLines(source);
  RemoveSection(destination);
  // An empty section still needs its list ends.
  return WritePrivateProfileSectionA(destination, lines.empty() ? "\0" : lines.data(), m_path);
}

BOOL CProfileFile::CopyKey(LPCSTR sourceSection, LPCSTR sourceKey, LPCSTR destinationSection,
                           LPCSTR destinationKey, BOOL failIfExists) {
  if (!sourceSection || !sourceKey || !destinationSection || !destinationKey) return FALSE;
  if (CString(sourceSection).CompareNoCase(destinationSection) == 0 &&
      CString(sourceKey).CompareNoCase(destinationKey) == 0) {
    return FALSE;
  }
  if (!HasKey(sourceSection, sourceKey)) return FALSE;
  if (failIfExists && HasKey(destinationSection, destinationKey)) return FALSE;
  return WriteText(destinationSection, destinationKey, ReadTextAlloc(sourceSection, sourceKey, nullptr).c_str());
}

BOOL CProfileFile::MoveSection(LPCSTR source, LPCSTR destination, BOOL failIfExists) {
  return CopySection(source, destination, failIfExists) && RemoveSection(source);
}

BOOL CProfileFile::MoveKey(LPCSTR sourceSection, LPCSTR sourceKey, LPCSTR destinationSection,
                           LPCSTR destinationKey, BOOL failIfExists) {
  return CopyKey(sourceSection, sourceKey, destinationSection, destinationKey, failIfExists) &&
         RemoveKey(sourceSection, sourceKey);
}

CString ProgramFolder() {
  // One byte more than the call may fill: a cut path still ends.
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  CString folder(path);
  return folder.Left(folder.ReverseFind('\\') + 1);
}

BOOL BindSettingsFile(CProfileFile& settings, LPCSTR fileName) {
  const CString folder = ProgramFolder();
  settings.BindFile(folder + fileName);
  return settings.WriteText("App", "AppPath", folder);
}
