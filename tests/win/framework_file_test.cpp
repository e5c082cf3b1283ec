// The framework under Wine: files, folder enumeration and the file dialog's structure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Framework.h"

namespace {

// A fresh folder under the temporary folder, removed with its files afterwards.
struct TempFolder : ::testing::Test {
  CString folder;  // ends in a backslash
  void SetUp() override {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    CString name;
    name.Format("%sfwtest_%lu_%lu\\", base, GetCurrentProcessId(), GetTickCount());
    folder = name;
    ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
  }
  void TearDown() override {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(folder + "*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        CString path = folder + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) RemoveDirectoryA(path);
        } else {
          DeleteFileA(path);
        }
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(folder);
  }
  void Touch(const char* name, const char* content = "x") {
    CFile f;
    ASSERT_TRUE(f.Open(folder + name, CFile::modeCreate | CFile::modeWrite));
    ASSERT_TRUE(f.Write(content, static_cast<UINT>(strlen(content))));
  }
};

using FwFileFind = TempFolder;

TEST_F(FwFileFind, ListsInTheFileSystemsOrder) {
  for (const char* name : {"c.bmp", "a.bmp", "b.bmp", "note.txt"}) Touch(name);
  ASSERT_TRUE(CreateDirectoryA(folder + "Photo", nullptr));

  std::vector<std::string> expected;  // straight from the system
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(folder + "*.bmp", &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  do expected.push_back(fd.cFileName);
  while (FindNextFileA(h, &fd));
  FindClose(h);

  std::vector<std::string> names;
  std::vector<std::string> paths;
  CFileFind finder;
  BOOL more = finder.FindFile(folder + "*.bmp");
  while (more) {
    more = finder.FindNextFile();
    names.push_back(std::string(finder.GetFileName()));
    paths.push_back(std::string(finder.GetFilePath()));
    EXPECT_FALSE(finder.IsDirectory());
  }
  finder.Close();
  EXPECT_EQ(names, expected);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(paths[0], std::string(folder + expected[0].c_str()));
}

TEST_F(FwFileFind, TellsDirectoriesDotsAndTitles) {
  Touch("Photo.old");
  ASSERT_TRUE(CreateDirectoryA(folder + "Photo", nullptr));
  ASSERT_TRUE(CreateDirectoryA(folder + "photo2.dir", nullptr));
  struct Seen {
    bool directory;
    bool dots;
    std::string title;
  };
  std::vector<std::pair<std::string, Seen>> seen;
  CFileFind finder;
  BOOL more = finder.FindFile(folder + "*.*");
  while (more) {
    more = finder.FindNextFile();
    seen.push_back({std::string(finder.GetFileName()),
                    {finder.IsDirectory() != FALSE, finder.IsDots() != FALSE, std::string(finder.GetFileTitle())}});
  }
  auto find = [&](const char* name) -> const Seen* {
    for (auto& s : seen)
      if (s.first == name) return &s.second;
    return nullptr;
  };
  struct Want {
    const char* name;
    bool directory;
    bool dots;
    const char* title;
  } wants[] = {
      {".", true, true, "."},          {"..", true, true, ".."},
      {"Photo", true, false, "Photo"}, {"photo2.dir", true, false, "photo2"},
      {"Photo.old", false, false, "Photo"},
  };
  for (const Want& w : wants) {
    const Seen* s = find(w.name);
    ASSERT_NE(s, nullptr) << w.name;
    EXPECT_EQ(s->directory, w.directory) << w.name;
    EXPECT_EQ(s->dots, w.dots) << w.name;
    EXPECT_EQ(s->title, w.title) << w.name;
  }
}

TEST_F(FwFileFind, NothingMatches) {
  CFileFind finder;
  EXPECT_FALSE(finder.FindFile(folder + "*.bmp"));
  EXPECT_FALSE(finder.FindNextFile());
  EXPECT_STREQ(finder.GetFileName(), "");
  EXPECT_FALSE(finder.FindFile(folder + "missing\\*.*"));
}

using FwFile = TempFolder;

TEST_F(FwFile, WritesAndReadsBinaryData) {
  const char data[] = "BM\r\n\0\x1a tail";
  {
    CFile f;
    ASSERT_TRUE(f.Open(folder + "data.bin", CFile::modeCreate | CFile::modeWrite | CFile::typeBinary));
    EXPECT_TRUE(f.Write(data, sizeof data));
  }
  CFile f;
  ASSERT_TRUE(f.Open(folder + "data.bin", CFile::modeRead | CFile::typeBinary));
  EXPECT_EQ(f.GetLength(), sizeof data);
  char back[64] = {};
  EXPECT_EQ(f.Read(back, sizeof back), sizeof data);  // short at the end, not a failure
  EXPECT_EQ(f.GetError(), 0u);
  EXPECT_EQ(memcmp(back, data, sizeof data), 0);
  EXPECT_EQ(f.Read(back, 1), 0u);  // at the end
  f.SeekToBegin();
  EXPECT_EQ(f.Read(back, 2), 2u);
}

TEST_F(FwFile, FailuresAreResults) {
  CFile missing;
  EXPECT_FALSE(missing.Open(folder + "missing.bmp", CFile::modeRead));
  EXPECT_EQ(missing.GetError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  char b[4];
  EXPECT_EQ(missing.Read(b, sizeof b), 0u);
  EXPECT_NE(missing.GetError(), 0u);
  EXPECT_FALSE(missing.Write("x", 1));

  EXPECT_FALSE(CFile().Open(folder + "no\\such\\folder\\x.bmp", CFile::modeCreate | CFile::modeWrite));

  Touch("ro.bin");
  CFile readOnly;
  ASSERT_TRUE(readOnly.Open(folder + "ro.bin", CFile::modeRead));
  EXPECT_FALSE(readOnly.Write("y", 1));  // opened for reading only
  EXPECT_NE(readOnly.GetError(), 0u);

  // modeCreate empties an existing file; with modeNoTruncate it keeps it.
  Touch("keep.bin", "abcdef");
  { CFile keep(folder + "keep.bin", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite); }
  EXPECT_EQ(CFile(folder + "keep.bin", CFile::modeRead).GetLength(), 6u);
  { CFile empty(folder + "keep.bin", CFile::modeCreate | CFile::modeWrite); }
  EXPECT_EQ(CFile(folder + "keep.bin", CFile::modeRead).GetLength(), 0u);
}

// The filter as the system reads it: up to the first double zero, included.
std::string FilterBytes(const char* filter) {
  if (!filter) return "<null>";
  const char* p = filter;
  while (p[0] || p[1]) ++p;
  return std::string(filter, static_cast<size_t>(p - filter) + 2);
}

TEST(FwFileDialog, FilterAndDefaultsAreInTheSystemsForm) {
  using namespace std::string_literals;
  struct Case {
    BOOL open;
    const char* ext;
    const char* filter;
    DWORD flags;
    std::string wantFilter;
    const char* wantExt;
  } cases[] = {
      {FALSE, ".bmp", "BMP Files(*.bmp)|*.bmp|JPG Files(*.jpg)|*.jpg||", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
       "BMP Files(*.bmp)\0*.bmp\0JPG Files(*.jpg)\0*.jpg\0\0"s, "bmp"},
      {TRUE, nullptr, "Audio Files(*.mp3,*.wma,*.wav,*.mid)|*.mp3;*.wma;*.wav;*.mid||", OFN_HIDEREADONLY,
       "Audio Files(*.mp3,*.wma,*.wav,*.mid)\0*.mp3;*.wma;*.wav;*.mid\0\0"s, nullptr},
      {TRUE, "txt", "A|*.a", 0, "A\0*.a\0\0"s, "txt"},  // no closing "||" given
      {TRUE, nullptr, nullptr, 0, "<null>", nullptr},
  };
  for (const Case& c : cases) {
    CFileDialog dlg(c.open, c.ext, nullptr, c.flags, c.filter);
    const OPENFILENAMEA& ofn = dlg.m_ofn;
    EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEA));
    EXPECT_EQ(FilterBytes(ofn.lpstrFilter), c.wantFilter) << (c.filter ? c.filter : "null");
    if (c.wantExt) {
      EXPECT_STREQ(ofn.lpstrDefExt, c.wantExt);
    } else {
      EXPECT_EQ(ofn.lpstrDefExt, nullptr);
    }
    EXPECT_EQ(ofn.Flags & c.flags, c.flags);
    EXPECT_NE(ofn.lpstrFile, nullptr);
    EXPECT_GE(ofn.nMaxFile, static_cast<DWORD>(MAX_PATH));
    EXPECT_STREQ(ofn.lpstrFile, "");  // no initial name
  }
}

TEST(FwFileDialog, ReportsThePathTheUserChose) {
  struct Case {
    const char* path;
    const char* name;
    const char* ext;
    const char* title;
  } cases[] = {
      {"C:\\Photos\\copy.JPG", "copy.JPG", "JPG", "copy"},
      {"C:\\a.b\\two.dots.bmp", "two.dots.bmp", "bmp", "two.dots"},
      {"C:\\a.b\\noext", "noext", "", "noext"},
      {"D:\\x.jpeg", "x.jpeg", "jpeg", "x"},
  };
  for (const Case& c : cases) {
    CFileDialog dlg(FALSE, ".bmp", nullptr, OFN_HIDEREADONLY, "B|*.bmp||");
    lstrcpynA(dlg.m_ofn.lpstrFile, c.path, static_cast<int>(dlg.m_ofn.nMaxFile));  // as the dialog fills it
    EXPECT_STREQ(dlg.GetPathName(), c.path);
    EXPECT_STREQ(dlg.GetFileName(), c.name);
    EXPECT_STREQ(dlg.GetFileExt(), c.ext);
    EXPECT_STREQ(dlg.GetFileTitle(), c.title);
  }
  CFileDialog named(TRUE, nullptr, "start.bmp");
  EXPECT_STREQ(named.m_ofn.lpstrFile, "start.bmp");
}

}  // namespace
