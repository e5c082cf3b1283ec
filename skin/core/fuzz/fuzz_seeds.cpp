// Writes the seed corpora of the two fuzz targets: skins written at several format versions
// with every record type, and pictures of each BMP and TGA kind.
#include <cstdio>
#include <string>
#include <vector>

#include "SkinFile.h"

using namespace skin;

namespace {
const uint32_t kTypes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
                           20, 23, 24, 25, 26, 27, 28, 29, 30, 31, 33, 35, 36, 37, 38, 39, 40, 42, 100};

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

Picture Sample(int bits, int w, int h) {
  Picture p;
  p.Create(w, h, bits, kFormatBmp);
  for (int i = 0; i < p.ColorCount(); ++i) p.Palette()[i] = RgbQuad{uint8_t(i * 3), uint8_t(i * 5), uint8_t(i * 7), 0};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.SetPixelValue(x, y, bits == 24 ? (x * 40 + y * 9000) : (x + y));
  return p;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <skin corpus dir> <picture corpus dir>\n", argv[0]);
    return 2;
  }
  std::string skins = argv[1], pictures = argv[2];
  int n = 0;
  for (int version : {13, 12, 9, 6, 2, 0}) {
    for (int group = 0; group < 4; ++group) {
      SkinFile f;
      for (size_t i = group; i < sizeof kTypes / sizeof kTypes[0]; i += 4) {
        auto o = CreateSkinObject(kTypes[i]);
        MemoryStream none;
        RecordIO fill(none, RecordIO::kFill, version, kTypes[i] * 31 + version);
        o->Transfer(fill);
        auto child = CreateSkinObject(SKIN_CAPTION_BUTTON);
        child->SetName("Button0");
        if (kTypes[i] != SKIN_PICTURE) o->AddChild(std::move(child));
        if (kTypes[i] == SKIN_PICTURE)
          f.AddPicture(std::unique_ptr<SkinPicture>(static_cast<SkinPicture*>(o.release())));
        else
          f.AddObject(std::move(o));
      }
      std::vector<uint8_t> bytes;
      if (!f.Save(bytes, static_cast<uint8_t>(version), "Lustrado Inc.") ||
          !Write(skins + "/skin" + std::to_string(n++), bytes))
        return 1;
    }
  }
  n = 0;
  for (int bits : {1, 4, 8, 24}) {
    std::vector<uint8_t> bmp = EncodeBmp(Sample(bits, 5, 3));
    for (uint8_t format : {uint8_t(1), uint8_t(0)}) {
      std::vector<uint8_t> seed{format};
      seed.insert(seed.end(), bmp.begin(), bmp.end());
      if (!Write(pictures + "/bmp" + std::to_string(n++), seed)) return 1;
    }
  }
  // Run-length BMP (8 bits) and a few TGA kinds: raw, run-length, colour-mapped, 32 bits.
  std::vector<std::vector<uint8_t>> extra = {
      {1, 'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0, 1, 0,
       0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 9, 9, 9, 0, 200, 100, 50, 0,
       0, 3, 1, 0, 1, 0, 0, 0, 3, 1, 0, 1},
      {2, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
      {2, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0, 0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9},
      {2, 0, 1, 1, 0, 0, 2, 0, 24, 0, 0, 0, 0, 2, 0, 2, 0, 8, 0, 1, 2, 3, 4, 5, 6, 0, 1, 1, 0},
      {2, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0, 32, 0x18, 1, 2, 3, 4, 5, 6, 7, 8},
      {0, 0, 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 8, 0, 0x83, 77},
  };
  for (auto& e : extra)
    if (!Write(pictures + "/more" + std::to_string(n++), e)) return 1;
  return 0;
}
