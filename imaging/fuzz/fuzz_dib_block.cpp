// A DIB block from a file, as LoadBmp checks it: whatever passes must have its header, colour
// table and every pixel row inside the bytes given (the sanitizer sees a read past them), and
// its rows must convert to RGB lines without leaving the block.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "DibFormat.h"
#include "RgbRows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> block(data, data + size);  // exactly sized, so any over-read is caught
  dib::BlockCheck check = dib::CheckBlock(block.data(), block.size());
  if (!check.ok) return 0;
  const dib::InfoHeader h = dib::ReadInfoHeader(block.data());
  const uint64_t image = dib::ImageSize(h.width, h.height, h.bitCount);
  volatile uint8_t sum = 0;
  for (uint64_t i = 0; i < image; ++i) sum = sum + block[size_t(check.pixelOffset + i)];

  // The RGB conversion assumes the full table of 2^bits entries of an uncompressed DIB.
  const bool fullTable = h.bitCount > 8 || h.clrUsed == 0 || h.clrUsed >= (1u << h.bitCount);
  if (h.compression == dib::kRgb && h.height > 0 && fullTable) {
    std::vector<std::vector<uint8_t>> rows(size_t(h.height), std::vector<uint8_t>(size_t(h.width) * 3));
    std::vector<uint8_t*> ptrs;
    for (auto& r : rows) ptrs.push_back(r.data());
    std::string error;
    FillRgbRows(block.data(), h.width * 3, ptrs.data(), &error);
  }
  return 0;
}
