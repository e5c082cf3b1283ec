#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ImagingTestSupport.h"
#include "JpegWriter.h"
#include "RgbRows.h"

namespace {

const std::vector<Rgb> kTable = {{200, 30, 40}, {20, 180, 60}, {30, 40, 220}, {240, 220, 30},
                                 {10, 10, 10},  {250, 250, 250}, {120, 60, 200}, {60, 200, 200}};

// Four quadrants of different colours (top-left, top-right, bottom-left, bottom-right), so a
// picture upside down or mirrored cannot pass. For each layout: the stored value and its colour.
struct Quadrants {
  uint32_t stored[4];
  Rgb colour[4];
};

Quadrants QuadrantsFor(int bits) {
  switch (bits) {
    case 1: return {{0, 1, 1, 0}, {kTable[0], kTable[1], kTable[1], kTable[0]}};
    case 4:
    case 8: return {{0, 1, 2, 3}, {kTable[0], kTable[1], kTable[2], kTable[3]}};
    // 5-5-5 words: (31,0,0), (0,31,0), (0,0,31), (15,15,15)
    case 16: return {{0x7C00, 0x03E0, 0x001F, 0x3DEF},
                     {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}}};
    default: return {{0xC81E28, 0x14B43C, 0x1E28DC, 0xF0DC1E},
                     {kTable[0], kTable[1], kTable[2], kTable[3]}};
  }
}

// Split at the middle, or at a given column and row.
int Quadrant(int x, int y, int splitX, int splitY) { return (y < splitY ? 0 : 2) + (x < splitX ? 0 : 1); }

std::vector<uint8_t> QuadrantDib(int bits, int w, int h, int splitX = -1, int splitY = -1) {
  Quadrants q = QuadrantsFor(bits);
  if (splitX < 0) splitX = w / 2;
  if (splitY < 0) splitY = h / 2;
  return MakeDib(bits, w, h, kTable, [=](int x, int y) { return q.stored[Quadrant(x, y, splitX, splitY)]; });
}

// Runs FillRgbRows into a fresh buffer of exactly the picture's size.
std::vector<std::vector<uint8_t>> Fill(const std::vector<uint8_t>& dib, int w, int h, std::string* error,
                                       bool* ok) {
  std::vector<std::vector<uint8_t>> rows(size_t(h > 0 ? h : 0), std::vector<uint8_t>(size_t(3 * w)));
  std::vector<uint8_t*> ptrs;
  for (auto& r : rows) ptrs.push_back(r.data());
  uint8_t* dummy = nullptr;
  *ok = FillRgbRows(dib.data(), 3 * w, ptrs.empty() ? &dummy : ptrs.data(), error);
  return rows;
}

class TempFolder {
 public:
  TempFolder() {
    char pattern[] = "/tmp/imaging_jpeg_XXXXXX";
    m_path = mkdtemp(pattern);
  }
  ~TempFolder() { std::system(("rm -rf '" + m_path + "'").c_str()); }
  std::string File(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

struct Messages {
  std::vector<std::string> shown;
  static void Sink(const char* text, void* context) {
    static_cast<Messages*>(context)->shown.push_back(text);
  }
};

}  // namespace

TEST(Expand555, FollowsTheFixedScale) {
  struct Case { uint16_t pixel; uint32_t rgb; };
  const Case cases[] = {
      {0x0000, 0x000000}, {0x7FFF, 0xFFFFFF}, {0xFFFF, 0xFFFFFF},  // bit 15 ignored
      {0x0421, 0x101010},                                          // 1 -> 16 everywhere
      {0x0001, 0x000010}, {0x0020, 0x001000}, {0x0400, 0x100000},  // one component at a time
      {0x0002, 0x000018}, {0x000F, 0x000080}, {0x001E, 0x0000F8}, {0x001F, 0x0000FF},
      {0x7C00, 0xFF0000}, {0x03E0, 0x00FF00}, {0x7BDE, 0xF8F8F8},
  };
  for (const Case& c : cases) EXPECT_EQ(Expand555(c.pixel), c.rgb) << std::hex << c.pixel;
}

TEST(FillRgbRows, EveryLayoutWithOddWidthsComesOutUpright) {
  struct Case { int bits; int width; int height; };
  const Case cases[] = {{1, 10, 4}, {1, 9, 3}, {1, 33, 2}, {4, 3, 4},  {4, 8, 2},  {8, 5, 4},
                        {8, 1, 2},  {16, 3, 4}, {16, 4, 2}, {24, 321, 4}, {24, 1, 2}, {32, 3, 4}};
  for (const Case& c : cases) {
    std::vector<uint8_t> dib = QuadrantDib(c.bits, c.width, c.height);
    Quadrants q = QuadrantsFor(c.bits);
    std::string error = "stale";
    bool ok = false;
    auto rows = Fill(dib, c.width, c.height, &error, &ok);
    ASSERT_TRUE(ok) << c.bits;
    EXPECT_EQ(error, "stale");  // success leaves the text to SaveJpeg
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        Rgb want = q.colour[Quadrant(x, y, c.width / 2, c.height / 2)];
        const uint8_t* p = &rows[size_t(y)][size_t(3 * x)];
        ASSERT_TRUE(p[0] == want.r && p[1] == want.g && p[2] == want.b)
            << c.bits << " bits, width " << c.width << ", pixel " << x << "," << y;
      }
  }
}

TEST(FillRgbRows, EveryPixelOfALineIsItsOwn) {
  // Distinct values along a row catch a wrong bit or nibble order.
  for (int bits : {1, 4, 8}) {
    const int w = 11;
    std::vector<Rgb> table(size_t(1) << bits);
    for (size_t i = 0; i < table.size(); ++i) table[i] = Rgb{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
    const uint32_t mask = (1u << bits) - 1;
    auto value = [&](int x, int y) { return uint32_t(x * 5 + y * 3 + 1) & mask; };
    std::vector<uint8_t> dib = MakeDib(bits, w, 3, table, value);
    std::string error;
    bool ok = false;
    auto rows = Fill(dib, w, 3, &error, &ok);
    ASSERT_TRUE(ok);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) {
        Rgb want = table[value(x, y)];
        EXPECT_EQ(rows[size_t(y)][size_t(3 * x)], want.r) << bits << " bits at " << x << "," << y;
        EXPECT_EQ(rows[size_t(y)][size_t(3 * x + 2)], want.b) << bits << " bits at " << x << "," << y;
      }
  }
}

TEST(FillRgbRows, RefusesWhatItCannotConvert) {
  std::vector<uint8_t> dib = QuadrantDib(24, 3, 2);
  uint8_t row[9];
  uint8_t* rows[2] = {row, row};
  std::string error;
  EXPECT_FALSE(FillRgbRows(dib.data(), 9, rows, nullptr));
  EXPECT_FALSE(FillRgbRows(nullptr, 9, rows, &error));
  EXPECT_EQ(error, "Invalid input data");
  error.clear();
  EXPECT_FALSE(FillRgbRows(dib.data(), 0, rows, &error));
  EXPECT_EQ(error, "Invalid input data");
  for (int bits : {0, 2, 15, 48}) {
    std::vector<uint8_t> odd = dib;
    odd[14] = uint8_t(bits);
    error.clear();
    EXPECT_FALSE(FillRgbRows(odd.data(), 9, rows, &error)) << bits;
    EXPECT_EQ(error, "Invalid bitmap bit count");
  }
  // No lines to write is not a failure.
  std::vector<uint8_t> empty = MakeDib(24, 3, 0, {}, [](int, int) { return 0u; });
  error.clear();
  EXPECT_TRUE(FillRgbRows(empty.data(), 9, rows, &error));
  EXPECT_EQ(error, "");
}

TEST(WriteDibAsJpeg, DecodesToThePictureAtQuality50And100) {
  TempFolder folder;
  struct Case { int bits; int width; int height; };
  // Odd sizes; the quadrants meet at 16,16, on a border of the 16 x 16 blocks that JPEG codes
  // colour in, so each block centre holds one colour.
  const Case cases[] = {{1, 33, 33}, {1, 37, 35}, {4, 33, 33}, {4, 35, 39}, {8, 35, 33},
                        {16, 33, 33}, {16, 39, 37}, {24, 321, 33}, {24, 33, 35}, {32, 35, 33}, {32, 37, 41}};
  for (int quality : {50, 100}) {
    // Solid quadrants: away from their borders JPEG keeps the colour closely.
    const int tolerance = quality == 100 ? 6 : 24;
    for (const Case& c : cases) {
      std::vector<uint8_t> dib = QuadrantDib(c.bits, c.width, c.height, 16, 16);
      std::string path = folder.File("out.jpg");
      std::string error = "stale";
      Messages messages;
      ASSERT_TRUE(WriteDibAsJpeg(dib.data(), quality, path, &error, Messages::Sink, &messages))
          << c.bits << " bits: " << error;
      EXPECT_EQ(error, "");
      EXPECT_TRUE(messages.shown.empty());
      DecodedJpeg jpeg = DecodeJpegFile(path);
      ASSERT_TRUE(jpeg.ok);
      ASSERT_EQ(jpeg.width, c.width);
      ASSERT_EQ(jpeg.height, c.height);
      Quadrants q = QuadrantsFor(c.bits);
      const int centres[2] = {8, 24};
      for (int qy = 0; qy < 2; ++qy)
        for (int qx = 0; qx < 2; ++qx) {
          const int xs[2] = {centres[0], centres[1]}, ys[2] = {centres[0], centres[1]};
          Rgb want = q.colour[qy * 2 + qx];
          Rgb got = jpeg.At(xs[qx], ys[qy]);
          EXPECT_NEAR(got.r, want.r, tolerance) << c.bits << " bits q" << quality << " quadrant " << qy * 2 + qx;
          EXPECT_NEAR(got.g, want.g, tolerance) << c.bits << " bits q" << quality << " quadrant " << qy * 2 + qx;
          EXPECT_NEAR(got.b, want.b, tolerance) << c.bits << " bits q" << quality << " quadrant " << qy * 2 + qx;
        }
    }
  }
}

TEST(WriteDibAsJpeg, QualityZeroIsAccepted) {
  TempFolder folder;
  std::vector<uint8_t> dib = QuadrantDib(24, 16, 16);
  std::string error;
  EXPECT_TRUE(WriteDibAsJpeg(dib.data(), 0, folder.File("q0.jpg"), &error, nullptr, nullptr));
  EXPECT_TRUE(DecodeJpegFile(folder.File("q0.jpg")).ok);
}

TEST(WriteDibAsJpeg, RefusalsLeaveNoFileAndSayWhy) {
  TempFolder folder;
  std::vector<uint8_t> dib = QuadrantDib(24, 5, 5);
  std::vector<uint8_t> twoBits = dib;
  twoBits[14] = 2;
  const std::string path = folder.File("x.jpg");
  const std::string missing = folder.File("no such folder/x.jpg");
  struct Case {
    const char* what;
    const void* dib;
    int quality;
    std::string path;
    std::string error;
  };
  const Case cases[] = {
      {"quality -1", dib.data(), -1, path, "Invalid input data"},
      {"quality 101", dib.data(), 101, path, "Invalid input data"},
      {"no DIB", nullptr, 50, path, "Invalid input data"},
      {"empty path", dib.data(), 50, "", "Invalid input data"},
      {"missing folder", dib.data(), 50, missing, "Cannot open " + missing},
      {"2 bits", twoBits.data(), 50, path, "Invalid bitmap bit count"},
  };
  for (const Case& c : cases) {
    std::string error = "stale";
    Messages messages;
    EXPECT_FALSE(WriteDibAsJpeg(c.dib, c.quality, c.path, &error, Messages::Sink, &messages)) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
    EXPECT_TRUE(messages.shown.empty()) << c.what;
    EXPECT_FALSE(FileExists(path)) << c.what;
    EXPECT_FALSE(FileExists(path + ".part")) << c.what;
  }
}

TEST(WriteDibAsJpeg, NoErrorTextTouchesNothing) {
  TempFolder folder;
  std::vector<uint8_t> dib = QuadrantDib(24, 5, 5);
  for (int quality : {-1, 50}) {
    EXPECT_FALSE(WriteDibAsJpeg(dib.data(), quality, folder.File("x.jpg"), nullptr, nullptr, nullptr));
    EXPECT_FALSE(FileExists(folder.File("x.jpg")));
  }
}

TEST(WriteDibAsJpeg, LibraryRefusalIsShownReturnedAndLeavesNoFile) {
  TempFolder folder;
  struct Case { int width; int height; };
  const Case cases[] = {{5, 0}, {0, 5}, {5, -3}, {70000, 1}};
  for (const Case& c : cases) {
    std::vector<uint8_t> dib = MakeDib(24, 1, 1, {}, [](int, int) { return 0u; });
    dib::InfoHeader h = dib::ReadInfoHeader(dib.data());
    h.width = c.width;
    h.height = c.height;
    dib::WriteInfoHeader(h, dib.data());
    const std::string path = folder.File("empty.jpg");
    std::string error = "stale";
    Messages messages;
    EXPECT_FALSE(WriteDibAsJpeg(dib.data(), 50, path, &error, Messages::Sink, &messages))
        << c.width << "x" << c.height;
    ASSERT_EQ(messages.shown.size(), 1u) << c.width << "x" << c.height;
    EXPECT_FALSE(messages.shown[0].empty());
    EXPECT_EQ(error, messages.shown[0]);  // the caller can tell the user why
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(FileExists(path + ".part"));
  }
}

TEST(WriteDibAsJpeg, ReplacesAnExistingFile) {
  TempFolder folder;
  const std::string path = folder.File("again.jpg");
  std::vector<uint8_t> big = QuadrantDib(24, 40, 40), small = QuadrantDib(8, 9, 7);
  std::string error;
  ASSERT_TRUE(WriteDibAsJpeg(big.data(), 100, path, &error, nullptr, nullptr));
  ASSERT_TRUE(WriteDibAsJpeg(small.data(), 50, path, &error, nullptr, nullptr));
  DecodedJpeg jpeg = DecodeJpegFile(path);
  ASSERT_TRUE(jpeg.ok);
  EXPECT_EQ(jpeg.width, 9);
  EXPECT_EQ(jpeg.height, 7);
}

TEST(WriteDibAsJpeg, AFailedExportKeepsTheFileThatWasThere) {
  TempFolder folder;
  const std::string path = folder.File("keep.jpg");
  std::vector<uint8_t> good = QuadrantDib(24, 40, 40);
  std::string error;
  ASSERT_TRUE(WriteDibAsJpeg(good.data(), 90, path, &error, nullptr, nullptr));
  std::vector<uint8_t> twoBits = good;
  twoBits[14] = 2;
  std::vector<uint8_t> noRows = good;
  noRows[8] = noRows[9] = noRows[10] = noRows[11] = 0;
  Messages messages;
  EXPECT_FALSE(WriteDibAsJpeg(twoBits.data(), 50, path, &error, Messages::Sink, &messages));
  EXPECT_FALSE(WriteDibAsJpeg(noRows.data(), 50, path, &error, Messages::Sink, &messages));
  DecodedJpeg jpeg = DecodeJpegFile(path);
  ASSERT_TRUE(jpeg.ok);
  EXPECT_EQ(jpeg.width, 40);
  EXPECT_FALSE(FileExists(path + ".part"));
}

TEST(WriteDibAsJpeg, AFailedMoveIsAFailure) {
  TempFolder folder;
  std::vector<uint8_t> good = QuadrantDib(24, 8, 8);
  std::string error;
  const std::string path = folder.File("x.jpg");
  auto refuse = [](const char*, const char*) { return false; };
  EXPECT_FALSE(WriteDibAsJpeg(good.data(), 50, path, &error, nullptr, nullptr, refuse));
  EXPECT_EQ(error, "Cannot write " + path);
  EXPECT_FALSE(FileExists(path));
  EXPECT_FALSE(FileExists(path + ".part"));
}
