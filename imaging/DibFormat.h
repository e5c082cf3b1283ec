#pragma once
// Packed DIBs and BMP files as bytes: the arithmetic of rows, colour tables and image sizes,
// the 14-byte file header, and the checks a block from disk must pass before anything reads
// its pixels. No windows.h here, so this builds and is tested natively too.

#include <cstddef>
#include <cstdint>

namespace dib {

// The fields of a BITMAPINFOHEADER, in file order (all little-endian).
struct InfoHeader {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};

const uint32_t kRgb = 0;        // uncompressed
const uint32_t kBitfields = 3;  // uncompressed, three colour masks after a 40-byte header
const size_t kInfoHeaderSize = 40;
const size_t kFileHeaderSize = 14;

// Entries of the colour table: biClrUsed when set, else 2, 16 or 256 for 1, 4 and 8 bits, else 0.
uint32_t ColorCount(uint32_t bitCount, uint32_t clrUsed);
// Bytes of one row, padded to a multiple of 4; 0 for a width or bit count that makes no row.
uint64_t RowPitch(int64_t width, uint32_t bitCount);
// Row pitch times the number of rows (the absolute height).
uint64_t ImageSize(int64_t width, int64_t height, uint32_t bitCount);

// Reads the header at the start of a block (needs kInfoHeaderSize bytes).
InfoHeader ReadInfoHeader(const uint8_t* p);
void WriteInfoHeader(const InfoHeader& h, uint8_t* p);

// The file header in front of a DIB block of `blockSize` bytes whose header and colour table
// take `pixelOffsetInBlock` bytes.
void WriteFileHeader(uint64_t blockSize, uint64_t pixelOffsetInBlock, uint8_t out[kFileHeaderSize]);

// What a DIB block read from a file may be handed on as: the offset of its pixels, or a
// refusal. Accepts uncompressed blocks (and 16/32-bit ones with colour masks) whose header,
// colour table and every pixel row lie inside the block.
struct BlockCheck {
  bool ok;
  uint64_t pixelOffset;
};
BlockCheck CheckBlock(const uint8_t* block, uint64_t length);

}  // namespace dib
