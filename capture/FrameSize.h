#pragma once
// Size arithmetic of camera frames. No Windows headers: the same code is checked natively.

#include <cstdint>

// The largest picture a capture format may describe; larger ones are taken as unreadable
// rather than allocated (a driver's format block is input, not a promise).
const uint64_t kMaxFrameImageSize = 256u * 1024u * 1024u;

// Standard DIB image size: rows of width x bitCount bits rounded up to whole 32-bit words,
// times the absolute height. 0 when the format describes no picture (width or bit count not
// positive, no rows) or one above kMaxFrameImageSize.
inline uint32_t FrameImageSize(int32_t width, int32_t height, uint16_t bitCount) {
  if (width <= 0 || bitCount == 0 || height == 0) return 0;
  uint64_t rows = height < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(height)) : static_cast<uint64_t>(height);
  uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
  uint64_t size = stride * rows;
  return size > kMaxFrameImageSize ? 0 : static_cast<uint32_t>(size);
}
