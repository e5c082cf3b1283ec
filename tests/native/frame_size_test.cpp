#include <gtest/gtest.h>

#include <climits>

#include "FrameSize.h"

TEST(FrameImageSize, StandardDibArithmeticAndUnusableFormats) {
  struct Case {
    int32_t width, height;
    uint16_t bits;
    uint32_t size;
  } cases[] = {
      {320, 240, 24, 230400},
      {320, 240, 32, 307200},
      {160, 120, 16, 38400},
      {321, 1, 24, 964},        // 963 bytes of row, padded to whole words
      {1, 1, 1, 4},
      {3, 2, 8, 8},
      {320, -240, 24, 230400},  // top-down: the height counts by its size
      {0, 240, 24, 0},
      {-320, 240, 24, 0},
      {320, 0, 24, 0},
      {320, 240, 0, 0},
      {100000, 100000, 32, 0},  // 40 GB: no buffer for that
      {INT_MAX, INT_MIN, 32, 0},
      {8192, 8192, 32, 256u * 1024u * 1024u},  // exactly the largest allowed
      {8192, 8193, 32, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FrameImageSize(c.width, c.height, c.bits), c.size)
        << c.width << " x " << c.height << " x " << c.bits;
  }
}
