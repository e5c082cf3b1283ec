#include <gtest/gtest.h>
#include <lzo/lzo1x.h>

#include <vector>

#include "SkinVersion.h"

// The engine's bodies are LZO1X: a round trip through the library we link must hold,
// natively and in the cross build alike.
TEST(SkinCore, LzoRoundTrip) {
  ASSERT_NE(skin::EngineVersion(), nullptr);
  std::vector<unsigned char> in(4096);
  for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<unsigned char>((i * 7) % 13);
  std::vector<unsigned char> out(in.size() + in.size() / 16 + 64 + 3);
  std::vector<unsigned char> work(LZO1X_1_MEM_COMPRESS);
  lzo_uint outLen = 0;
  ASSERT_EQ(lzo1x_1_compress(in.data(), in.size(), out.data(), &outLen, work.data()), LZO_E_OK);
  EXPECT_LT(outLen, in.size());
  std::vector<unsigned char> back(in.size());
  lzo_uint backLen = back.size();
  ASSERT_EQ(lzo1x_decompress_safe(out.data(), outLen, back.data(), &backLen, nullptr), LZO_E_OK);
  EXPECT_EQ(backLen, in.size());
  EXPECT_EQ(back, in);
  // A truncated body must be refused, not over-read.
  backLen = back.size();
  EXPECT_NE(lzo1x_decompress_safe(out.data(), outLen / 2, back.data(), &backLen, nullptr), LZO_E_OK);
}
