// The image utilities under Wine: BMP files written and read by CDibBitmap, damaged files
// refused, the view canvas presented, and the JPEG export from a device bitmap.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "DibBitmap.h"
#include "DibFormat.h"
#include "Framework.h"
#include "ImagingTestSupport.h"
#include "JpegExporter.h"
#include "ViewCanvas.h"

namespace {

int ScreenBits() {
  HDC screen = GetDC(nullptr);
  int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits;
}

std::vector<uint8_t> ReadAll(const CString& path) {
  std::vector<uint8_t> bytes;
  CFile f;
  if (!f.Open(path, CFile::modeRead)) return bytes;
  bytes.resize(static_cast<size_t>(f.GetLength()));
  if (!bytes.empty()) bytes.resize(f.Read(bytes.data(), static_cast<UINT>(bytes.size())));
  return bytes;
}

void WriteAll(const CString& path, const std::vector<uint8_t>& bytes) {
  CFile f;
  ASSERT_TRUE(f.Open(path, CFile::modeCreate | CFile::modeWrite));
  if (!bytes.empty()) {
    ASSERT_TRUE(f.Write(bytes.data(), static_cast<UINT>(bytes.size())));
  }
}

bool Exists(const CString& path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

uint32_t Get32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// A BMP file: the 14-byte header in front of a packed DIB.
std::vector<uint8_t> BmpFile(const std::vector<uint8_t>& dibBlock) {
  std::vector<uint8_t> file(dib::kFileHeaderSize);
  dib::InfoHeader h = dib::ReadInfoHeader(dibBlock.data());
  dib::WriteFileHeader(dibBlock.size(), h.size + 4ull * dib::ColorCount(h.bitCount, h.clrUsed), file.data());
  file.insert(file.end(), dibBlock.begin(), dibBlock.end());
  return file;
}

// A 24-bit picture whose every pixel differs from its neighbours.
uint32_t Pattern(int x, int y) { return uint32_t((x * 37) & 0xFF) << 16 | uint32_t((y * 53) & 0xFF) << 8 | uint32_t((x * y + 11) & 0xFF); }
COLORREF PatternColour(int x, int y) {
  uint32_t v = Pattern(x, y);
  return RGB(v >> 16, (v >> 8) & 0xFF, v & 0xFF);
}

struct ImagingTest : ::testing::Test {
  CString folder;  // ends in a backslash
  void SetUp() override {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    folder.Format("%simgtest_%lu_%lu\\", base, GetCurrentProcessId(), GetTickCount());
    ASSERT_TRUE(CreateDirectoryA(folder, nullptr));
  }
  void TearDown() override {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(folder + "*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(folder + fd.cFileName);
      } while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(folder);
  }
  // Files left in the folder.
  int FileCount() {
    int n = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(folder + "*", &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
  }
};

void ExpectPattern(CDibBitmap& bmp, int w, int h) {
  CDC* dc = bmp.GetMemDC();
  int wrong = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (dc->GetPixel(x, y) != PatternColour(x, y)) ++wrong;
  bmp.ReleaseMemDC();
  EXPECT_EQ(wrong, 0) << "pixels that differ from the pattern";
}

}  // namespace

// ---- CDibBitmap and BMP files ----

TEST_F(ImagingTest, DibToBitmapToFileAndBack) {
  ASSERT_GE(ScreenBits(), 24) << "the round trip needs a true-colour display";
  for (int width : {37, 320, 1, 2}) {
    const int height = width == 320 ? 240 : 23;
    std::vector<uint8_t> dibBytes = MakeDib(24, width, height, {}, Pattern);
    CDibBitmap original;
    ASSERT_TRUE(original.SetFromDib(reinterpret_cast<const BITMAPINFO*>(dibBytes.data())));
    EXPECT_EQ(original.GetSize(), CSize(width, height));
    ExpectPattern(original, width, height);

    const CString path = folder + "photo.bmp";
    ASSERT_TRUE(original.SaveBmp(path));
    std::vector<uint8_t> file = ReadAll(path);
    const uint64_t expected = 14 + 40 + dib::ImageSize(width, height, uint32_t(ScreenBits()));
    EXPECT_EQ(file.size(), expected) << width;
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Get32(file, 2), file.size());
    EXPECT_EQ(Get32(file, 10), 54u);
    EXPECT_EQ(FileCount(), 1) << "nothing beside the photo";

    CDibBitmap loaded;
    ASSERT_TRUE(loaded.LoadBmp(path));
    EXPECT_EQ(loaded.GetSize(), CSize(width, height));
    ExpectPattern(loaded, width, height);
    EXPECT_FALSE(loaded.LoadBmp(path)) << "a holder is loaded once";
    DeleteFileA(path);
  }
}

TEST_F(ImagingTest, APhotoAtTheDisplayDepth) {
  std::vector<uint8_t> dibBytes = MakeDib(24, 320, 240, {}, Pattern);
  CDibBitmap photo;
  ASSERT_TRUE(photo.SetFromDib(reinterpret_cast<const BITMAPINFO*>(dibBytes.data())));
  ASSERT_TRUE(photo.SaveBmp(folder + "p.bmp"));
  const size_t sizes[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 153654, 0, 0, 0, 0, 0, 0, 0, 230454,
                          0, 0, 0, 0, 0, 0, 0, 307254};
  const int bits = ScreenBits();
  ASSERT_TRUE(bits == 16 || bits == 24 || bits == 32);
  EXPECT_EQ(ReadAll(folder + "p.bmp").size(), sizes[bits]);
}

TEST_F(ImagingTest, SetFromDibReusesOrReplacesTheBitmap) {
  std::vector<uint8_t> a = MakeDib(24, 9, 7, {}, Pattern);
  std::vector<uint8_t> b = MakeDib(24, 9, 7, {}, [](int, int) { return 0x102030u; });
  std::vector<uint8_t> c = MakeDib(24, 4, 3, {}, [](int, int) { return 0x405060u; });
  CDibBitmap bmp;
  ASSERT_TRUE(bmp.SetFromDib(reinterpret_cast<const BITMAPINFO*>(a.data())));
  ASSERT_TRUE(bmp.SetFromDib(reinterpret_cast<const BITMAPINFO*>(b.data())));
  CDC* dc = bmp.GetMemDC();
  EXPECT_EQ(dc->GetPixel(8, 6), RGB(0x10, 0x20, 0x30));
  // While the bitmap is selected it cannot change.
  EXPECT_FALSE(bmp.SetFromDib(reinterpret_cast<const BITMAPINFO*>(a.data())));
  bmp.ReleaseMemDC();
  ASSERT_TRUE(bmp.SetFromDib(reinterpret_cast<const BITMAPINFO*>(c.data())));
  EXPECT_EQ(bmp.GetSize(), CSize(4, 3));
  // A compressed DIB is refused and the holder keeps its picture.
  std::vector<uint8_t> rle = c;
  rle[16] = 1;
  EXPECT_FALSE(bmp.SetFromDib(reinterpret_cast<const BITMAPINFO*>(rle.data())));
  EXPECT_EQ(bmp.GetSize(), CSize(4, 3));
  EXPECT_FALSE(bmp.SetFromDib(nullptr));
}

TEST_F(ImagingTest, EightBitFileWithoutColourCountSkipsTheWholeTable) {
  std::vector<Rgb> table(256, Rgb{1, 2, 3});
  table[0] = Rgb{200, 10, 10};
  table[5] = Rgb{10, 200, 10};
  table[255] = Rgb{10, 10, 200};
  const uint32_t index[3] = {0, 5, 255};
  std::vector<uint8_t> block = MakeDib(8, 7, 5, table, [&](int x, int) { return index[x % 3]; });
  ASSERT_EQ(dib::ReadInfoHeader(block.data()).clrUsed, 0u);
  WriteAll(folder + "pal.bmp", BmpFile(block));
  CDibBitmap bmp;
  ASSERT_TRUE(bmp.LoadBmp(folder + "pal.bmp"));
  CDC* dc = bmp.GetMemDC();
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) {
      Rgb want = table[index[x % 3]];
      EXPECT_EQ(dc->GetPixel(x, y), RGB(want.r, want.g, want.b)) << x << "," << y;
    }
  bmp.ReleaseMemDC();
}

TEST_F(ImagingTest, LoadBmpRefusesWhatIsNotAWholeBitmap) {
  std::vector<uint8_t> good = BmpFile(MakeDib(24, 8, 8, {}, Pattern));
  struct Case {
    const char* what;
    std::vector<uint8_t> file;
  };
  std::vector<Case> cases;
  auto damaged = [&](const char* what, size_t at, uint32_t value) {
    std::vector<uint8_t> f = good;
    for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(value >> (8 * i));
    cases.push_back({what, f});
  };
  std::vector<uint8_t> f = good;
  f[0] = 'M';
  f[1] = 'B';
  cases.push_back({"not BM", f});
  cases.push_back({"13 bytes", std::vector<uint8_t>(good.begin(), good.begin() + 13)});
  cases.push_back({"file header only", std::vector<uint8_t>(good.begin(), good.begin() + 14)});
  cases.push_back({"header cut", std::vector<uint8_t>(good.begin(), good.begin() + 40)});
  cases.push_back({"last row cut", std::vector<uint8_t>(good.begin(), good.end() - 1)});
  cases.push_back({"empty", {}});
  damaged("header size 12", 14, 12);
  damaged("header size beyond the file", 14, 0x10000);
  damaged("colour count beyond the file", 14 + 32, 0x40000000);
  damaged("width beyond the file", 14 + 4, 0x7FFFFFFF);
  damaged("height beyond the file", 14 + 8, 100000);
  damaged("run-length coded", 14 + 16, 1);
  damaged("no height", 14 + 8, 0);
  for (const Case& c : cases) {
    const CString path = folder + "bad.bmp";
    WriteAll(path, c.file);
    CDibBitmap bmp;
    EXPECT_FALSE(bmp.LoadBmp(path)) << c.what;
    EXPECT_EQ(bmp.GetSize(), CSize(0, 0)) << c.what;
    EXPECT_EQ(bmp.GetSafeHandle(), nullptr) << c.what;
  }
  CDibBitmap bmp;
  EXPECT_FALSE(bmp.LoadBmp(folder + "missing.bmp"));
  // The undamaged file loads: the refusals above are the damage, not the fixture.
  WriteAll(folder + "good.bmp", good);
  EXPECT_TRUE(bmp.LoadBmp(folder + "good.bmp"));
}

TEST_F(ImagingTest, FailedSavesLeaveNothingAndKeepWhatWasThere) {
  CDibBitmap empty;
  EXPECT_FALSE(empty.SaveBmp(folder + "none.bmp"));
  EXPECT_FALSE(Exists(folder + "none.bmp"));

  std::vector<uint8_t> d = MakeDib(24, 5, 5, {}, Pattern);
  CDibBitmap bmp;
  ASSERT_TRUE(bmp.SetFromDib(reinterpret_cast<const BITMAPINFO*>(d.data())));
  EXPECT_FALSE(bmp.SaveBmp(folder + "no folder\\x.bmp"));
  EXPECT_EQ(FileCount(), 0);

  // A path the file cannot take (a folder is there): FALSE, and no part-written file beside it.
  const CString taken = folder + "taken.bmp";
  ASSERT_TRUE(CreateDirectoryA(taken, nullptr));
  EXPECT_FALSE(bmp.SaveBmp(taken));
  EXPECT_EQ(FileCount(), 0);
  EXPECT_TRUE(GetFileAttributesA(taken) & FILE_ATTRIBUTE_DIRECTORY);
  RemoveDirectoryA(taken);

  // An existing writable file is replaced whole.
  WriteAll(folder + "old.bmp", std::vector<uint8_t>(500000, 7));
  ASSERT_TRUE(bmp.SaveBmp(folder + "old.bmp"));
  std::vector<uint8_t> now = ReadAll(folder + "old.bmp");
  ASSERT_GE(now.size(), 14u);
  EXPECT_EQ(Get32(now, 2), now.size());
}

TEST_F(ImagingTest, BitmapToDibDescribesTheBitmap) {
  std::vector<uint8_t> d = MakeDib(24, 13, 6, {}, Pattern);
  CDibBitmap bmp;
  ASSERT_TRUE(bmp.SetFromDib(reinterpret_cast<const BITMAPINFO*>(d.data())));
  HGLOBAL block = BitmapToDib(bmp);
  ASSERT_NE(block, nullptr);
  auto* info = static_cast<BITMAPINFOHEADER*>(GlobalLock(block));
  EXPECT_EQ(info->biSize, 40u);
  EXPECT_EQ(info->biWidth, 13);
  EXPECT_EQ(info->biHeight, 6);
  EXPECT_EQ(info->biBitCount, ScreenBits());
  EXPECT_GE(GlobalSize(block), 40 + 4 * DibColorCount(info) + info->biSizeImage);
  // The block converts back to the same picture.
  CDibBitmap back;
  EXPECT_TRUE(back.SetFromDib(reinterpret_cast<BITMAPINFO*>(info)));
  GlobalUnlock(block);
  GlobalFree(block);
  ExpectPattern(back, 13, 6);
  EXPECT_EQ(BitmapToDib(nullptr), nullptr);
}

TEST(Imaging, ColourCountAndFontHeight) {
  BITMAPINFOHEADER h{};
  struct Case { WORD bits; DWORD used; int count; };
  const Case cases[] = {{1, 0, 2}, {4, 0, 16}, {8, 0, 256}, {8, 3, 3}, {16, 0, 0}, {24, 0, 0}, {32, 0, 0}};
  for (const Case& c : cases) {
    h.biBitCount = c.bits;
    h.biClrUsed = c.used;
    EXPECT_EQ(DibColorCount(&h), c.count) << c.bits;
  }
  HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  DeleteDC(dc);
  if (dpi != 96) GTEST_SKIP() << "display at " << dpi << " dpi";
  EXPECT_EQ(PointsToFontHeight(9), -12);
  EXPECT_EQ(PointsToFontHeight(12), -16);
  EXPECT_EQ(PointsToFontHeight(0), 0);
}

TEST(Imaging, DrawBlitsTheWholeBitmapWithTheRasterOperation) {
  std::vector<uint8_t> d = MakeDib(24, 6, 4, {}, [](int, int) { return 0x00FF00u; });
  CDibBitmap bmp;
  ASSERT_TRUE(bmp.SetFromDib(reinterpret_cast<const BITMAPINFO*>(d.data())));
  CDC screen;
  screen.Attach(GetDC(nullptr));
  CDC mem;
  mem.CreateCompatibleDC(&screen);
  CBitmap target;
  target.CreateCompatibleBitmap(&screen, 20, 20);
  ReleaseDC(nullptr, screen.Detach());
  CBitmap* old = mem.SelectObject(&target);
  mem.PatBlt(0, 0, 20, 20, WHITENESS);
  bmp.Draw(&mem, 3, 2, SRCAND);  // white AND green = green
  EXPECT_EQ(mem.GetPixel(3, 2), RGB(0, 255, 0));
  EXPECT_EQ(mem.GetPixel(8, 5), RGB(0, 255, 0));
  EXPECT_EQ(mem.GetPixel(9, 5), RGB(255, 255, 255));
  EXPECT_EQ(mem.GetPixel(8, 6), RGB(255, 255, 255));
  CDibBitmap none;
  none.Draw(&mem, 0, 0, BLACKNESS);  // no bitmap: nothing drawn
  EXPECT_EQ(mem.GetPixel(0, 0), RGB(255, 255, 255));
  mem.SelectObject(old);
}

// ---- the view canvas ----

TEST(ViewCanvas, PresentsTheWholeCanvasAtTheTargetsOrigin) {
  CDC screen;
  screen.Attach(GetDC(nullptr));
  CDC target;
  target.CreateCompatibleDC(&screen);
  CBitmap targetBitmap;
  targetBitmap.CreateCompatibleBitmap(&screen, 400, 300);
  CBitmap* old = target.SelectObject(&targetBitmap);
  ReleaseDC(nullptr, screen.Detach());
  target.PatBlt(0, 0, 400, 300, BLACKNESS);
  {
    CViewCanvas canvas;
    canvas.Create(&target, 10, 20, 330, 260);
    EXPECT_EQ(canvas.GetBkMode(), TRANSPARENT);
    CRect all(0, 0, 320, 240);
    canvas.FillSolidRect(&all, RGB(0, 0, 255));
    canvas.SetPixel(319, 239, RGB(255, 0, 0));
    // Text without a background box: the blue shows between the letters.
    canvas.SetTextColor(RGB(255, 255, 0));
    canvas.TextOut(100, 100, "Wi", 2);
    EXPECT_TRUE(canvas.Present());
    EXPECT_EQ(target.GetPixel(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(target.GetPixel(319, 239), RGB(255, 0, 0));
    EXPECT_EQ(target.GetPixel(320, 239), RGB(0, 0, 0)) << "only 320 x 240 is copied";
    EXPECT_EQ(target.GetPixel(319, 240), RGB(0, 0, 0));
    CSize text = canvas.GetTextExtent("Wi", 2);
    int yellow = 0, blue = 0;
    for (int y = 100; y < 100 + text.cy; ++y)
      for (int x = 100; x < 100 + text.cx; ++x) {
        COLORREF c = target.GetPixel(x, y);
        yellow += c == RGB(255, 255, 0);
        blue += c == RGB(0, 0, 255);
      }
    EXPECT_GT(yellow, 0);
    EXPECT_GT(blue, 0) << "the text box is not filled";
  }
  target.SelectObject(old);
}

TEST(ViewCanvas, PresentWithoutCreateDoesNothing) {
  CViewCanvas canvas;
  EXPECT_FALSE(canvas.Present());
}

// ---- JPEG export ----

namespace {

// Answers the "JPEG Error" box of this process and keeps its texts.
class JpegErrorWatcher {
 public:
  JpegErrorWatcher() : m_thread([this] { Run(); }) {}
  ~JpegErrorWatcher() {
    m_stop = true;
    m_thread.join();
  }
  std::vector<std::string> Texts() {
    Sleep(50);
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_texts;
  }

 private:
  void Run() {
    while (!m_stop) {
      HWND box = FindWindowA("#32770", "JPEG Error");
      if (box) {
        char text[512] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        {
          std::lock_guard<std::mutex> lock(m_mutex);
          m_texts.push_back(text);
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        while (IsWindow(box) && !m_stop) Sleep(10);
      }
      Sleep(10);
    }
  }
  std::atomic<bool> m_stop{false};
  std::mutex m_mutex;
  std::vector<std::string> m_texts;
  std::thread m_thread;
};

// Four solid quadrants meeting at 16,16, on the border of JPEG's 16 x 16 colour blocks.
const COLORREF kQuadrant[4] = {RGB(200, 30, 40), RGB(20, 180, 60), RGB(30, 40, 220), RGB(240, 220, 30)};
uint32_t QuadrantPixel(int x, int y) {
  COLORREF c = kQuadrant[(y < 16 ? 0 : 2) + (x < 16 ? 0 : 1)];
  return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

void ExpectQuadrants(const DecodedJpeg& jpeg, int tolerance, const char* what) {
  const int centre[2] = {8, 24};
  for (int q = 0; q < 4; ++q) {
    Rgb got = jpeg.At(centre[q % 2], centre[q / 2]);
    EXPECT_NEAR(got.r, GetRValue(kQuadrant[q]), tolerance) << what << " quadrant " << q;
    EXPECT_NEAR(got.g, GetGValue(kQuadrant[q]), tolerance) << what << " quadrant " << q;
    EXPECT_NEAR(got.b, GetBValue(kQuadrant[q]), tolerance) << what << " quadrant " << q;
  }
}

}  // namespace

TEST_F(ImagingTest, JpegOfADeviceBitmapDecodesToThePicture) {
  std::vector<uint8_t> d = MakeDib(24, 35, 33, {}, QuadrantPixel);
  CDibBitmap photo;
  ASSERT_TRUE(photo.SetFromDib(reinterpret_cast<const BITMAPINFO*>(d.data())));
  CJpegExporter exporter;
  BITMAPINFOHEADER* dibOut = exporter.CreateDibFromBitmap(photo);
  ASSERT_NE(dibOut, nullptr);
  EXPECT_EQ(dibOut->biWidth, 35);
  EXPECT_EQ(dibOut->biHeight, 33);
  EXPECT_EQ(dibOut->biBitCount, ScreenBits());
  for (int quality : {50, 100}) {
    const CString path = folder + "photo.jpg";
    CString error = "stale";
    EXPECT_TRUE(exporter.SaveJpeg(dibOut, quality, path, &error));
    EXPECT_EQ(error, "");
    DecodedJpeg jpeg = DecodeJpegFile(path.GetString());
    ASSERT_TRUE(jpeg.ok);
    EXPECT_EQ(jpeg.width, 35);
    EXPECT_EQ(jpeg.height, 33);
    ExpectQuadrants(jpeg, quality == 100 ? 6 : 24, quality == 100 ? "q100" : "q50");
  }
  GlobalFree(dibOut);
  EXPECT_EQ(exporter.CreateDibFromBitmap(nullptr), nullptr);
}

TEST_F(ImagingTest, JpegOfEveryBitCount) {
  const std::vector<Rgb> table = {{200, 30, 40}, {20, 180, 60}, {30, 40, 220}, {240, 220, 30}};
  struct Case { int bits; int width; };
  const Case cases[] = {{1, 33}, {4, 35}, {8, 37}, {16, 33}, {24, 321}, {32, 35}};
  CJpegExporter exporter;
  for (const Case& c : cases) {
    // Index or 5-5-5 word of each quadrant; 1 bit has two colours, on the diagonal.
    auto value = [&](int x, int y) -> uint32_t {
      int q = (y < 16 ? 0 : 2) + (x < 16 ? 0 : 1);
      if (c.bits == 1) return q == 0 || q == 3 ? 0 : 1;
      if (c.bits == 16) {
        const uint32_t words[4] = {0x7C00, 0x03E0, 0x001F, 0x3DEF};
        return words[q];
      }
      if (c.bits <= 8) return uint32_t(q);
      return QuadrantPixel(x, y);
    };
    std::vector<uint8_t> d = MakeDib(c.bits, c.width, 33, table, value);
    const CString path = folder + "bits.jpg";
    CString error;
    ASSERT_TRUE(exporter.SaveJpeg(reinterpret_cast<BITMAPINFOHEADER*>(d.data()), 100, path, &error))
        << c.bits << ": " << error.GetString();
    DecodedJpeg jpeg = DecodeJpegFile(path.GetString());
    ASSERT_TRUE(jpeg.ok);
    EXPECT_EQ(jpeg.width, c.width);
    const Rgb want16[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}};
    for (int q = 0; q < 4; ++q) {
      Rgb want = c.bits == 16 ? want16[q] : c.bits == 1 ? table[q == 0 || q == 3 ? 0 : 1] : table[q];
      Rgb got = jpeg.At(q % 2 ? 24 : 8, q / 2 ? 24 : 8);
      EXPECT_NEAR(got.r, want.r, 6) << c.bits << " bits, quadrant " << q;
      EXPECT_NEAR(got.g, want.g, 6) << c.bits << " bits, quadrant " << q;
      EXPECT_NEAR(got.b, want.b, 6) << c.bits << " bits, quadrant " << q;
    }
  }
}

TEST_F(ImagingTest, JpegRefusalsLeaveNoFileAndSayWhy) {
  std::vector<uint8_t> d = MakeDib(24, 5, 5, {}, Pattern);
  std::vector<uint8_t> twoBits = d;
  twoBits[14] = 2;
  std::vector<uint8_t> noRows = d;
  noRows[8] = noRows[9] = noRows[10] = noRows[11] = 0;
  const auto* dibp = reinterpret_cast<const BITMAPINFOHEADER*>(d.data());
  const CString path = folder + "x.jpg";
  const CString missing = folder + "no such folder\\x.jpg";
  CJpegExporter exporter;
  struct Case {
    const char* what;
    const BITMAPINFOHEADER* dib;
    int quality;
    CString path;
    CString error;
  };
  const Case cases[] = {
      {"quality -1", dibp, -1, path, "Invalid input data"},
      {"quality 101", dibp, 101, path, "Invalid input data"},
      {"no DIB", nullptr, 50, path, "Invalid input data"},
      {"empty path", dibp, 50, "", "Invalid input data"},
      {"missing folder", dibp, 50, missing, "Cannot open " + missing},
      {"2 bits", reinterpret_cast<const BITMAPINFOHEADER*>(twoBits.data()), 50, path, "Invalid bitmap bit count"},
  };
  for (const Case& c : cases) {
    CString error = "stale";
    EXPECT_FALSE(exporter.SaveJpeg(c.dib, c.quality, c.path, &error)) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
    EXPECT_EQ(FileCount(), 0) << c.what;
  }
  EXPECT_FALSE(exporter.SaveJpeg(dibp, 50, path, nullptr));
  EXPECT_EQ(FileCount(), 0);

  // libjpeg refuses an empty picture: its message in the "JPEG Error" box, FALSE, no file.
  JpegErrorWatcher watcher;
  CString error;
  EXPECT_FALSE(exporter.SaveJpeg(reinterpret_cast<const BITMAPINFOHEADER*>(noRows.data()), 50, path, &error));
  std::vector<std::string> shown = watcher.Texts();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0], "");
  EXPECT_EQ(error, shown[0].c_str()) << "the caller learns why";
  EXPECT_EQ(FileCount(), 0);
}

TEST_F(ImagingTest, JpegExportReplacesOrKeepsAnExistingFile) {
  std::vector<uint8_t> d = MakeDib(24, 35, 33, {}, QuadrantPixel);
  std::vector<uint8_t> twoBits = d;
  twoBits[14] = 2;
  const CString path = folder + "again.jpg";
  WriteAll(path, std::vector<uint8_t>(1000, 9));
  CJpegExporter exporter;
  CString error;
  ASSERT_TRUE(exporter.SaveJpeg(reinterpret_cast<const BITMAPINFOHEADER*>(d.data()), 100, path, &error));
  DecodedJpeg jpeg = DecodeJpegFile(path.GetString());
  ASSERT_TRUE(jpeg.ok);
  ExpectQuadrants(jpeg, 6, "replaced");
  const std::vector<uint8_t> before = ReadAll(path);
  EXPECT_FALSE(exporter.SaveJpeg(reinterpret_cast<const BITMAPINFOHEADER*>(twoBits.data()), 50, path, &error));
  EXPECT_EQ(ReadAll(path), before) << "a failed export keeps the file that was there";
  EXPECT_EQ(FileCount(), 1);
}
