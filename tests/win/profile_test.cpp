// The profile store against real INI files through the platform's private-profile functions.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ProfileFile.h"

namespace {

std::string TempFolder() {
  char base[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, base);
  char folder[MAX_PATH + 1] = {};
  std::snprintf(folder, sizeof folder, "%sprofile_test_%lu\\", base, GetCurrentProcessId());
  CreateDirectoryA(folder, nullptr);
  return folder;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Items(const CStringArray& a) {
  std::vector<std::string> v;
  for (INT_PTR i = 0; i < a.GetSize(); ++i) v.emplace_back(a[i].GetString());
  return v;
}

// A fresh INI file per test, removed afterwards.
class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = TempFolder() + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
    DeleteFileA(m_path.c_str());
    m_store.BindFile(m_path.c_str());
  }
  void TearDown() override { DeleteFileA(m_path.c_str()); }

  // Writes raw text the way another program would.
  void Raw(const char* section, const char* key, const char* value) {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, m_path.c_str()));
  }
  std::string RawRead(const char* section, const char* key) {
    char buffer[4096] = {};
    GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof buffer, m_path.c_str());
    return buffer;
  }

  std::string m_path;
  CProfileFile m_store;
};

TEST_F(ProfileTest, NumbersAreWrittenInTheirBase) {
  struct Case {
    int value;
    int base;
    const char* text;
  };
  const Case cases[] = {{255, 16, "FF"}, {255, 8, "377"}, {255, 2, "11111111"}, {255, 7, "255"}, {-5, 10, "-5"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(m_store.WriteInteger("N", "v", c.value, c.base));
    EXPECT_EQ(RawRead("N", "v"), c.text);
    EXPECT_EQ(m_store.ReadInteger("N", "v", 99, c.base), c.value);
  }
  ASSERT_TRUE(m_store.WriteUnsigned("N", "u", 4000000000u, 16));
  EXPECT_EQ(RawRead("N", "u"), "EE6B2800");
  EXPECT_EQ(m_store.ReadUnsigned("N", "u", 0, 16), 4000000000u);
}

TEST_F(ProfileTest, NumbersAreRead) {
  Raw("N", "hex", "FF");
  Raw("N", "neg", "-5");
  Raw("N", "empty", "");
  Raw("N", "letters", "abc");
  EXPECT_EQ(m_store.ReadInteger("N", "hex", 0, 16), 255);
  EXPECT_EQ(m_store.ReadInteger("N", "neg", 0, 10), -5);
  EXPECT_EQ(m_store.ReadUnsigned("N", "neg", 0, 10), 0xFFFFFFFBu);
  EXPECT_EQ(m_store.ReadInteger("N", "empty", 42), 42);
  EXPECT_EQ(m_store.ReadInteger("N", "missing", 42), 42);
  EXPECT_EQ(m_store.ReadInteger("N", "letters", 42), 0);  // not a number: 0, not the default

  ASSERT_TRUE(m_store.AddToInteger("N", "hex", 1, 16));
  EXPECT_EQ(RawRead("N", "hex"), "100");
  ASSERT_TRUE(m_store.AddToInteger("N", "new", -3, 10));
  EXPECT_EQ(RawRead("N", "new"), "-3");
  Raw("N", "top", "4294967295");
  ASSERT_TRUE(m_store.AddToUnsigned("N", "top", 2));
  EXPECT_EQ(RawRead("N", "top"), "1");
}

TEST_F(ProfileTest, Flags) {
  struct Case {
    const char* text;
    BOOL value;
  };
  const Case cases[] = {{"YES", TRUE}, {"True", TRUE}, {"1", TRUE}, {"2", TRUE},
                        {"no", FALSE}, {"0", FALSE},   {"false", FALSE}};
  for (const Case& c : cases) {
    Raw("F", "f", c.text);
    EXPECT_EQ(m_store.ReadFlag("F", "f", !c.value), c.value) << c.text;
  }
  EXPECT_EQ(m_store.ReadFlag("F", "missing", TRUE), TRUE);
  EXPECT_EQ(m_store.ReadFlag("F", "missing", FALSE), FALSE);

  ASSERT_TRUE(m_store.WriteFlag("F", "w", 7));
  EXPECT_EQ(RawRead("F", "w"), "1");
  ASSERT_TRUE(m_store.ToggleFlag("F", "w"));
  EXPECT_EQ(RawRead("F", "w"), "0");
  ASSERT_TRUE(m_store.ToggleFlag("F", "none"));  // missing reads as false
  EXPECT_EQ(RawRead("F", "none"), "1");
}

TEST_F(ProfileTest, RealsAndCharacters) {
  ASSERT_TRUE(m_store.WriteReal("R", "a", 1.5, 2));
  EXPECT_EQ(RawRead("R", "a"), "1.50");
  ASSERT_TRUE(m_store.WriteReal("R", "b", 1.5, 0));
  EXPECT_EQ(RawRead("R", "b"), "1.500000");
  EXPECT_DOUBLE_EQ(m_store.ReadReal("R", "a", 9.0), 1.5);
  EXPECT_DOUBLE_EQ(m_store.ReadReal("R", "missing", 9.0), 9.0);
  ASSERT_TRUE(m_store.AddToReal("R", "a", 0.25, 1));
  EXPECT_EQ(RawRead("R", "a"), "1.8");  // 1.75 with one decimal
  ASSERT_TRUE(m_store.WriteReal("R", "huge", 1e300, 0));
  EXPECT_DOUBLE_EQ(m_store.ReadReal("R", "huge", 0.0), 1e300);

  ASSERT_TRUE(m_store.WriteCharacter("C", "c", 'q'));
  EXPECT_EQ(RawRead("C", "c"), "q");
  Raw("C", "word", "xyz");
  EXPECT_EQ(m_store.ReadCharacter("C", "word", '-'), 'x');
  EXPECT_EQ(m_store.ReadCharacter("C", "missing", '-'), '-');
}

TEST_F(ProfileTest, HexBlocksPointsAndRectangles) {
  ASSERT_TRUE(m_store.WritePoint("G", "p", POINT{1, 2}));
  EXPECT_EQ(RawRead("G", "p"), "0100000002000000");
  const POINT p = m_store.ReadPoint("G", "p", POINT{-1, -1});
  EXPECT_EQ(p.x, 1);
  EXPECT_EQ(p.y, 2);
  Raw("G", "short", "01000000020000");  // 7 bytes
  EXPECT_EQ(m_store.ReadPoint("G", "short", POINT{-1, -7}).y, -7);

  const RECT r{-10, 20, 300, 0x7FFFFFFF};
  ASSERT_TRUE(m_store.WriteRect("G", "r", r));
  EXPECT_EQ(RawRead("G", "r").size(), 32u);
  const RECT back = m_store.ReadRect("G", "r", RECT{});
  EXPECT_TRUE(EqualRect(&back, &r));
  EXPECT_EQ(m_store.ReadRect("G", "p", RECT{5, 5, 5, 5}).left, 5);  // 8 bytes are not a rectangle

  Raw("G", "mixed", "0a0B");
  unsigned char bytes[4] = {};
  EXPECT_EQ(m_store.ReadBytes("G", "mixed", nullptr, 0), 2u);
  ASSERT_EQ(m_store.ReadBytes("G", "mixed", bytes, sizeof bytes), 2u);
  EXPECT_EQ(bytes[0], 0x0A);
  EXPECT_EQ(bytes[1], 0x0B);
  ASSERT_EQ(m_store.ReadBytes("G", "mixed", bytes, sizeof bytes, 1), 1u);
  EXPECT_EQ(bytes[0], 0x0B);
  Raw("G", "bad", "0g");
  EXPECT_EQ(m_store.ReadBytes("G", "bad", bytes, sizeof bytes), 0u);

  const unsigned char more[] = {0xC0, 0xFF};
  ASSERT_TRUE(m_store.AppendBytes("G", "mixed", more, sizeof more));
  EXPECT_EQ(RawRead("G", "mixed"), "0a0BC0FF");
  EXPECT_FALSE(m_store.WriteBytes("G", "none", nullptr, 4));
  EXPECT_EQ(RawRead("G", "none"), "<missing>");
  ASSERT_TRUE(m_store.WriteBytes("G", "zero", more, 0));
  EXPECT_EQ(RawRead("G", "zero"), "");
}

TEST_F(ProfileTest, TextOfAnyLength) {
  std::string longValue;
  for (int i = 0; i < 2000; ++i) longValue += static_cast<char>('a' + i % 26);
  ASSERT_TRUE(m_store.WriteText("T", "long", longValue.c_str()));
  EXPECT_EQ(std::string(m_store.ReadText("T", "long").GetString()), longValue);
  EXPECT_EQ(m_store.ReadText("T", "long", nullptr, 0), 2000);

  // The buffer form always ends its text inside the buffer.
  char small[6];
  std::memset(small, 'Z', sizeof small);
  EXPECT_EQ(m_store.ReadText("T", "long", small, 5), 4);
  EXPECT_STREQ(small, "abcd");
  EXPECT_EQ(small[5], 'Z');

  EXPECT_EQ(m_store.ReadText("T", "missing", "dflt"), "dflt");
  EXPECT_EQ(m_store.ReadText("T", "missing"), "");
  ASSERT_TRUE(m_store.WriteText("T", "a", nullptr));
  EXPECT_EQ(RawRead("T", "a"), "");
  ASSERT_TRUE(m_store.AppendText("T", "a", "x"));
  ASSERT_TRUE(m_store.AppendText("T", "a", "yz"));
  EXPECT_EQ(RawRead("T", "a"), "xyz");
  EXPECT_FALSE(m_store.AppendText("T", "a", nullptr));

  // Null names read defaults and write nothing.
  EXPECT_EQ(m_store.ReadText(nullptr, "a", "d"), "d");
  EXPECT_EQ(m_store.ReadText("T", nullptr, "d"), "d");
  EXPECT_FALSE(m_store.WriteText(nullptr, "a", "v"));
  EXPECT_FALSE(m_store.WriteText("T", nullptr, "v"));
  EXPECT_EQ(RawRead("T", "a"), "xyz");
}

TEST_F(ProfileTest, Lists) {
  Raw("L", "l", " a , b,,c ");
  CStringArray pieces;
  pieces.Add("stale");
  m_store.ReadList("L", "l", pieces);
  EXPECT_EQ(Items(pieces), (std::vector<std::string>{"a", "b", "c"}));

  // The platform trims the stored value itself; the pieces inside keep their blanks untrimmed.
  const DWORD needed = m_store.ReadList("L", "l", nullptr, 0, ",", FALSE);
  std::vector<char> buffer(needed);
  const DWORD used = m_store.ReadList("L", "l", buffer.data(), needed, ",", FALSE);
  EXPECT_EQ(used + 1, needed);
  EXPECT_EQ(std::string(buffer.data(), used), std::string("a \0 b\0c\0", 8));

  Raw("L", "semi", "x;y");
  m_store.ReadList("L", "semi", pieces, ";");
  EXPECT_EQ(Items(pieces), (std::vector<std::string>{"x", "y"}));
  m_store.ReadList("L", "missing", pieces);
  EXPECT_EQ(pieces.GetSize(), 0);

  CStringArray xyz;
  xyz.Add("x");
  xyz.Add("y");
  xyz.Add("z");
  ASSERT_TRUE(m_store.WriteList("L", "w", &xyz, 2));
  EXPECT_EQ(RawRead("L", "w"), "x,y");
  ASSERT_TRUE(m_store.WriteList("L", "w", &xyz, 3, "|"));
  EXPECT_EQ(RawRead("L", "w"), "x|y|z");
  ASSERT_TRUE(m_store.WriteList("L", "w", &xyz, -1, ""));
  EXPECT_EQ(RawRead("L", "w"), "x,y,z");
  EXPECT_FALSE(m_store.WriteList("L", "w", nullptr));
}

TEST_F(ProfileTest, ListingsAndExistence) {
  Raw("One", "a", "1");
  Raw("One", "b", "");
  Raw("Two", "c", "3");
  CStringArray names;
  m_store.ListSections(names);
  EXPECT_EQ(Items(names), (std::vector<std::string>{"One", "Two"}));
  const DWORD size = m_store.ListSections(nullptr, 0);
  EXPECT_GE(size, 10u);  // "One\0Two\0\0" and spare
  std::vector<char> list(size);
  m_store.ListSections(list.data(), size);
  EXPECT_EQ(std::memcmp(list.data(), "One\0Two\0", 8), 0);

  CStringArray lines;
  m_store.ListSectionLines("One", lines);
  EXPECT_EQ(Items(lines), (std::vector<std::string>{"a=1", "b="}));
  CStringArray keys;
  m_store.ListKeys("One", keys);
  EXPECT_EQ(Items(keys), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(m_store.ListKeys("One", nullptr, 0), 4u);
  char keyBuffer[8];
  EXPECT_EQ(m_store.ListKeys("One", keyBuffer, sizeof keyBuffer), 4u);
  EXPECT_EQ(std::memcmp(keyBuffer, "a\0b\0\0", 5), 0);
  EXPECT_EQ(m_store.ListKeys(nullptr, keyBuffer, sizeof keyBuffer), 0u);
  EXPECT_EQ(keyBuffer[0], '\0');

  EXPECT_TRUE(m_store.HasSection("one"));
  EXPECT_FALSE(m_store.HasSection("Three"));
  EXPECT_TRUE(m_store.HasKey("One", "a"));
  EXPECT_TRUE(m_store.HasKey("One", "b"));  // empty value
  EXPECT_FALSE(m_store.HasKey("One", "z"));
  EXPECT_FALSE(m_store.HasKey(nullptr, "a"));
  Raw("One", "sentinel", "{63788286-AE30-4D6B-95DF-3B451C1C79F9}");
  EXPECT_FALSE(m_store.HasKey("One", "sentinel"));

  ASSERT_TRUE(m_store.RemoveKey("One", "a"));
  EXPECT_FALSE(m_store.HasKey("One", "a"));
  ASSERT_TRUE(m_store.RemoveSection("Two"));
  EXPECT_FALSE(m_store.HasSection("Two"));
}

TEST_F(ProfileTest, CopyAndMove) {
  Raw("Src", "a", "1");
  Raw("Src", "b", "2");
  Raw("Dst", "old", "x");

  // Refusals change nothing.
  EXPECT_FALSE(m_store.CopySection("Src", "sRC", FALSE));
  EXPECT_FALSE(m_store.CopySection("Nope", "New", FALSE));
  EXPECT_FALSE(m_store.CopySection("Src", "Dst", TRUE));
  EXPECT_FALSE(m_store.CopySection(nullptr, "Dst", FALSE));
  EXPECT_EQ(RawRead("Dst", "old"), "x");
  EXPECT_EQ(RawRead("Src", "a"), "1");

  // A copy replaces the destination section whole.
  ASSERT_TRUE(m_store.CopySection("Src", "Dst", FALSE));
  CStringArray lines;
  m_store.ListSectionLines("Dst", lines);
  EXPECT_EQ(Items(lines), (std::vector<std::string>{"a=1", "b=2"}));
  EXPECT_EQ(RawRead("Src", "b"), "2");

  ASSERT_TRUE(m_store.MoveSection("Src", "Moved", TRUE));
  EXPECT_FALSE(m_store.HasSection("Src"));
  EXPECT_EQ(RawRead("Moved", "a"), "1");

  EXPECT_FALSE(m_store.CopyKey("Moved", "a", "moved", "A", FALSE));  // the same key
  EXPECT_FALSE(m_store.CopyKey("Moved", "zz", "Other", "k", FALSE));
  EXPECT_FALSE(m_store.CopyKey("Moved", "a", nullptr, "k", FALSE));
  ASSERT_TRUE(m_store.CopyKey("Moved", "a", "Other", "k", FALSE));
  EXPECT_EQ(RawRead("Other", "k"), "1");
  Raw("Moved", "b", "2");
  EXPECT_FALSE(m_store.MoveKey("Moved", "b", "Other", "k", TRUE));
  EXPECT_EQ(RawRead("Moved", "b"), "2");
  EXPECT_EQ(RawRead("Other", "k"), "1");
  ASSERT_TRUE(m_store.MoveKey("Moved", "b", "Other", "k", FALSE));
  EXPECT_EQ(RawRead("Moved", "b"), "<missing>");
  EXPECT_EQ(RawRead("Other", "k"), "2");
}

TEST(ProfileBinding, UnboundStoreTouchesNoFile) {
  CProfileFile store;
  EXPECT_EQ(store.ReadText("S", "k", "d"), "d");
  EXPECT_FALSE(store.WriteText("S", "k", "v"));
  EXPECT_EQ(store.ListSections(nullptr, 0), 0u);
  EXPECT_EQ(store.GetFilePath(), "");

  const std::string path = TempFolder() + "bound.ini";
  store.BindFile(path.c_str());
  EXPECT_EQ(store.GetFilePath(), path.c_str());
  char shortPath[5];
  EXPECT_EQ(store.GetFilePath(shortPath, sizeof shortPath), 4);
  EXPECT_EQ(std::string(shortPath), path.substr(0, 4));
  store.BindFile(nullptr);  // keeps the binding, empties the path
  EXPECT_EQ(store.GetFilePath(), "");
  EXPECT_FALSE(store.WriteText("S", "k", "v"));
  // Not the system's own profile file either.
  char buffer[16] = {};
  GetProfileStringA("S", "k", "<none>", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "<none>");
}

TEST(ProfileBinding, SettingsFileRecordsTheProgramFolder) {
  const CString folder = ProgramFolder();
  ASSERT_FALSE(folder.IsEmpty());
  EXPECT_EQ(folder[folder.GetLength() - 1], '\\');
  const std::string name = "profile_test_settings.ini";
  const std::string path = std::string(folder.GetString()) + name;
  DeleteFileA(path.c_str());

  // Two starts leave one line with the folder and its backslash.
  for (int start = 0; start < 2; ++start) {
    CProfileFile settings;
    ASSERT_TRUE(BindSettingsFile(settings, name.c_str()));
    EXPECT_EQ(settings.GetFilePath(), path.c_str());
  }
  const std::string text = FileText(path);
  EXPECT_EQ(text.find("AppPath="), text.rfind("AppPath="));
  EXPECT_NE(text.find("[App]"), std::string::npos);
  EXPECT_NE(text.find(std::string("AppPath=") + folder.GetString() + "\r\n"), std::string::npos) << text;
  DeleteFileA(path.c_str());
}

TEST(ProfileBinding, UnwritableSettingsFileIsNoFailure) {
  // A folder where the file should be cannot be written, whoever runs the test.
  const std::string name = "profile_test_blocked.ini";
  const std::string path = std::string(ProgramFolder().GetString()) + name;
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  CProfileFile settings;
  EXPECT_FALSE(BindSettingsFile(settings, name.c_str()));
  EXPECT_EQ(settings.ReadText("App", "AppPath", "none"), "none");
  RemoveDirectoryA(path.c_str());
}

}  // namespace
