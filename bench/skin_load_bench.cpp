// Load time of a skin of the built-in size (about 0.9 MB decompressed, 80 pictures): median
// of whole loads, split into decompression, record reading and picture decoding, against
// lzo1x_decompress_safe alone on the same body. Usage: skin_load_bench [runs]
#include <lzo/lzo1x.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SkinFile.h"

using namespace skin;

namespace {
const uint32_t kTypes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 19,
                           20, 23, 24, 25, 26, 27, 28, 29, 30, 31, 33, 35, 36, 37, 38, 39, 40, 42, 100};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::vector<uint8_t> BuildSkin() {
  SkinFile f;
  for (uint32_t type : kTypes) {
    auto o = CreateSkinObject(type);
    MemoryStream none;
    RecordIO fill(none, RecordIO::kFill, 13, type * 7 + 3);
    o->Transfer(fill);
    o->SetName(("Object" + std::to_string(type)).c_str());
    f.AddObject(std::move(o));
  }
  // 80 pictures as in the built-in skins: 53 of 24 bits, the rest of 8 bits, smooth shading.
  for (int i = 0; i < 80; ++i) {
    Picture p;
    bool deep = i < 53;
    int w = deep ? 56 + i % 8 : 96, h = deep ? 60 : 64;
    p.Create(w, h, deep ? 24 : 8, kFormatBmp);
    for (int c = 0; c < p.ColorCount(); ++c) p.Palette()[c] = RgbQuad{uint8_t(c), uint8_t(255 - c), uint8_t(c / 2), 0};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        p.SetPixelValue(x, y, deep ? uint32_t((x * 4) | ((y * 4) << 8) | (((x + y + i) & 0xF0) << 16)) : uint32_t((x + y) / 4));
    auto sp = std::make_unique<SkinPicture>();
    sp->SetName(("Picture" + std::to_string(i) + ".bmp").c_str());
    sp->SetEncoded(EncodeBmp(p), kFormatBmp);
    f.AddPicture(std::move(sp));
  }
  std::vector<uint8_t> file;
  f.Save(file, 13, "Lustrado Inc.");
  return file;
}
}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 51;
  std::vector<uint8_t> file = BuildSkin();
  uint32_t length;
  std::memcpy(&length, file.data(), 4);
  std::vector<double> total, decompress, records, pictures, floor;
  std::vector<uint8_t> out(length);
  for (int i = 0; i < runs; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    lzo_uint n = length;
    lzo1x_decompress_safe(file.data() + 4, file.size() - 4, out.data(), &n, nullptr);
    floor.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    SkinFile skin;
    auto t1 = std::chrono::steady_clock::now();
    if (!skin.LoadFromBytes(file.data(), file.size())) {
      std::fprintf(stderr, "load failed: %d\n", skin.ResultCode());
      return 1;
    }
    total.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count());
    decompress.push_back(skin.Times().decompress);
    records.push_back(skin.Times().records);
    pictures.push_back(skin.Times().pictures);
  }
  double ms = 1000.0;
  std::printf("skin: %zu bytes compressed, %u decompressed, 80 pictures, %d runs (medians)\n", file.size(), length, runs);
  std::printf("  whole load         %8.3f ms\n", Median(total) * ms);
  std::printf("  decompression      %8.3f ms\n", Median(decompress) * ms);
  std::printf("  record reading     %8.3f ms (objects, plain objects, link)\n", Median(records) * ms);
  std::printf("  picture records    %8.3f ms (reading and decoding)\n", Median(pictures) * ms);
  std::printf("  lzo1x_decompress_safe alone %8.3f ms; load / floor = %.2f\n", Median(floor) * ms,
              Median(total) / Median(floor));
  return 0;
}
