#pragma once
// Typed access to one INI file through the platform's private-profile functions: values of any
// length, numbers in several bases, flags, reals, characters, hex data blocks, points,
// rectangles, delimited lists, listings of sections and keys, and copying, moving and removing
// of keys and sections. Nothing is cached: every read goes to the file.
//
// Section and key may not be null: a read then gives its default, a write FALSE. An object
// bound to no file (or to an empty path) reads defaults and writes nothing; it never falls back
// to the system's own profile file.

#include <windows.h>

#include <string>

#include "FwString.h"

class CProfileFile {
 public:
  CProfileFile();
  explicit CProfileFile(LPCSTR path);
  CProfileFile(const CProfileFile&) = delete;
  CProfileFile& operator=(const CProfileFile&) = delete;
  virtual ~CProfileFile();

  // A null path keeps the binding but makes the path empty.
  void BindFile(LPCSTR path);
  // Copies the path, always zero-terminated, and returns the bytes copied without the zero.
  int GetFilePath(LPSTR buffer, int size) const;
  CString GetFilePath() const;

  // The value (or the default, empty when null) into the buffer, always zero-terminated and cut
  // to size - 1 bytes; returns the bytes copied. With no buffer, the value's length.
  int ReadText(LPCSTR section, LPCSTR key, LPSTR buffer, int size, LPCSTR def = nullptr) const;
  CString ReadText(LPCSTR section, LPCSTR key, LPCSTR def = nullptr) const;
  BOOL WriteText(LPCSTR section, LPCSTR key, LPCSTR value);
  BOOL AppendText(LPCSTR section, LPCSTR key, LPCSTR text);

  // Numbers in base 2, 8, 10 or 16 (any other base is 10); empty or missing gives the default.
  int ReadInteger(LPCSTR section, LPCSTR key, int def = 0, int base = 10) const;
  UINT ReadUnsigned(LPCSTR section, LPCSTR key, UINT def = 0, int base = 10) const;
  BOOL WriteInteger(LPCSTR section, LPCSTR key, int value, int base = 10);
  BOOL WriteUnsigned(LPCSTR section, LPCSTR key, UINT value, int base = 10);
  BOOL AddToInteger(LPCSTR section, LPCSTR key, int increment, int base = 10);
  BOOL AddToUnsigned(LPCSTR section, LPCSTR key, UINT increment, int base = 10);

  BOOL ReadFlag(LPCSTR section, LPCSTR key, BOOL def = FALSE) const;
  BOOL WriteFlag(LPCSTR section, LPCSTR key, BOOL flag);
  BOOL ToggleFlag(LPCSTR section, LPCSTR key);

  // A precision above 0 writes that many decimals, otherwise six.
  double ReadReal(LPCSTR section, LPCSTR key, double def = 0.0) const;
  BOOL WriteReal(LPCSTR section, LPCSTR key, double value, int precision = 0);
  BOOL AddToReal(LPCSTR section, LPCSTR key, double increment, int precision = 0);

  char ReadCharacter(LPCSTR section, LPCSTR key, char def = '\0') const;
  BOOL WriteCharacter(LPCSTR section, LPCSTR key, char ch);

  // Hex data blocks: ReadBytes returns the bytes converted (with no buffer, the bytes available
  // from the offset); 0 for a value that is not all hex digits.
  DWORD ReadBytes(LPCSTR section, LPCSTR key, LPVOID buffer, DWORD size, DWORD offset = 0) const;
  BOOL WriteBytes(LPCSTR section, LPCSTR key, LPCVOID data, DWORD length);
  BOOL AppendBytes(LPCSTR section, LPCSTR key, LPCVOID data, DWORD length);

  POINT ReadPoint(LPCSTR section, LPCSTR key, POINT def) const;
  RECT ReadRect(LPCSTR section, LPCSTR key, RECT def) const;
  BOOL WritePoint(LPCSTR section, LPCSTR key, POINT point);
  BOOL WriteRect(LPCSTR section, LPCSTR key, RECT rect);

  // The value cut at the delimiter (null means ",") as a double-null-terminated list; empty
  // pieces are dropped. Returns the bytes used; with no buffer, the size to provide. Pieces that
  // do not fit are left out, never cut.
  DWORD ReadList(LPCSTR section, LPCSTR key, LPSTR buffer, DWORD size, LPCSTR delimiter = nullptr,
                 BOOL trim = TRUE) const;
  // Clears the array first; the pieces are always trimmed.
  void ReadList(LPCSTR section, LPCSTR key, CStringArray& pieces, LPCSTR delimiter = nullptr) const;
  // The first count strings (all when count is negative or not below the size) joined.
  BOOL WriteList(LPCSTR section, LPCSTR key, const CStringArray* pieces, int count = -1,
                 LPCSTR delimiter = nullptr);

  // Listings as double-null-terminated lists; with no buffer, the size a caller must provide.
  DWORD ListSections(LPSTR buffer, DWORD size) const;
  void ListSections(CStringArray& names) const;
  DWORD ListSectionLines(LPCSTR section, LPSTR buffer, DWORD size) const;
  void ListSectionLines(LPCSTR section, CStringArray& lines) const;
  // The keys of the section; with no buffer, the bytes they take with their terminators.
  DWORD ListKeys(LPCSTR section, LPSTR buffer, DWORD size) const;
  void ListKeys(LPCSTR section, CStringArray& keys) const;

  BOOL HasSection(LPCSTR section) const;
  // A key with an empty value exists; a missing key does not.
  BOOL HasKey(LPCSTR section, LPCSTR key) const;
  BOOL RemoveSection(LPCSTR section);
  BOOL RemoveKey(LPCSTR section, LPCSTR key);
  BOOL CopySection(LPCSTR source, LPCSTR destination, BOOL failIfExists);
  BOOL CopyKey(LPCSTR sourceSection, LPCSTR sourceKey, LPCSTR destinationSection,
               LPCSTR destinationKey, BOOL failIfExists);
  BOOL MoveSection(LPCSTR source, LPCSTR destination, BOOL failIfExists);
  BOOL MoveKey(LPCSTR sourceSection, LPCSTR sourceKey, LPCSTR destinationSection,
               LPCSTR destinationKey, BOOL failIfExists);

 protected:
  // The whole value, however long; the default (empty when null) when missing.
  std::string ReadTextAlloc(LPCSTR section, LPCSTR key, LPCSTR def) const;

 private:
  bool HasFile() const { return m_path && *m_path; }
  // Reads a listing into a growing scratch buffer; returns the size a caller must provide.
  template <class Lister>
  DWORD MeasureListing(Lister list) const;
  std::string ReadSectionLines(LPCSTR section) const;

  char* m_path = nullptr;
};

// The folder of the running program, ending in a backslash (the drive root for a program there).
CString ProgramFolder();
// Binds the store to fileName in the program's folder and records the folder under App/AppPath.
// A file that cannot be written changes nothing else: the result only tells.
BOOL BindSettingsFile(CProfileFile& settings, LPCSTR fileName);
