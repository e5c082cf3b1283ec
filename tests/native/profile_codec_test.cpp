// Value encodings of the profile store.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ProfileCodec.h"

namespace {

using Strings = std::vector<std::string>;

TEST(ProfileCodecNumbers, IntegersInEachBase) {
  struct Case {
    int32_t value;
    int base;
    const char* text;
  };
  const Case cases[] = {
      {255, 16, "FF"},  {255, 8, "377"},  {255, 2, "11111111"}, {255, 7, "255"},
      {255, 10, "255"}, {-5, 10, "-5"},   {0, 2, "0"},          {6, 2, "110"},
      {1, 2, "1"},      {-1, 16, "FFFFFFFF"},
      {-1, 2, "11111111111111111111111111111111"},
      {INT32_MIN, 10, "-2147483648"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.value) + " base " + std::to_string(c.base));
    EXPECT_EQ(FormatInteger(c.value, c.base), c.text);
    // What is written reads back as the same 32 bits.
    EXPECT_EQ(static_cast<int32_t>(ParseUnsigned(c.text, c.base)), c.value);
  }
  EXPECT_EQ(FormatUnsigned(4294967295u, 10), "4294967295");
  EXPECT_EQ(FormatUnsigned(4294967295u, 8), "37777777777");
}

TEST(ProfileCodecNumbers, ParsingLikeThe32BitConversion) {
  struct Case {
    const char* text;
    int base;
    uint32_t value;
  };
  const Case cases[] = {
      {"FF", 16, 255},          {"ff", 16, 255},         {"0xff", 16, 255},
      {"0x", 16, 0},            {"-5", 10, 0xFFFFFFFBu}, {"abc", 10, 0},
      {"12abc", 10, 12},        {"  42", 10, 42},        {"+7", 10, 7},
      {"19", 8, 1},             {"102", 2, 2},           {"4294967295", 10, 0xFFFFFFFFu},
      {"4294967296", 10, 0xFFFFFFFFu},                   {"-4294967296", 10, 0xFFFFFFFFu},
      {"255", 7, 255},  // an unknown base reads as decimal
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " base " + std::to_string(c.base));
    EXPECT_EQ(ParseUnsigned(c.text, c.base), c.value);
  }
  // Only the first 64 characters count.
  EXPECT_EQ(ParseUnsigned((std::string(63, '0') + "12").c_str(), 10), 1u);
}

TEST(ProfileCodecNumbers, Flags) {
  const char* trueTexts[] = {"YES", "True", "1", "2", "-1", "yes", "TRUE"};
  const char* falseTexts[] = {"no", "0", "false", "abc", "yes please", ""};
  for (const char* t : trueTexts) EXPECT_TRUE(ParseFlag(t)) << t;
  for (const char* t : falseTexts) EXPECT_FALSE(ParseFlag(t)) << t;
}

TEST(ProfileCodecNumbers, Reals) {
  struct Case {
    double value;
    int precision;
    const char* text;
  };
  const Case cases[] = {
      {1.5, 2, "1.50"}, {1.5, 0, "1.500000"}, {1.5, -3, "1.500000"},
      {-0.125, 3, "-0.125"}, {2.0, 1, "2.0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatReal(c.value, c.precision), c.text);
    EXPECT_DOUBLE_EQ(ParseReal(c.text), c.value);
  }
  // A value far wider than a number buffer is written and read whole.
  const std::string huge = FormatReal(1e300, 0);
  EXPECT_GT(huge.size(), 300u);
  EXPECT_DOUBLE_EQ(ParseReal(huge.c_str()), 1e300);
  EXPECT_EQ(FormatReal(1.0, 80).size(), 82u);
}

TEST(ProfileCodecHex, EncodeAndDecode) {
  const unsigned char bytes[] = {0x00, 0x0A, 0xFF, 0x7b};
  EXPECT_EQ(EncodeHex(bytes, sizeof bytes), "000AFF7B");
  EXPECT_EQ(EncodeHex(bytes, 0), "");

  struct Case {
    const char* text;
    size_t offset;
    size_t size;
    std::vector<unsigned char> bytes;
    size_t available;  // the answer without a buffer
  };
  const Case cases[] = {
      {"0a0B", 0, 8, {0x0A, 0x0B}, 2},
      {"0a0B", 1, 8, {0x0B}, 1},
      {"0a0B", 2, 8, {}, 0},         // offset past the data
      {"0a0B", 0, 1, {0x0A}, 2},     // buffer smaller than the data
      {"0g", 0, 8, {}, 0},           // a bad digit spoils the whole value
      {"0a0Bz", 0, 8, {}, 0},
      {"0a0", 0, 8, {0x0A}, 1},      // an odd last digit is ignored
      {"", 0, 8, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " at " + std::to_string(c.offset));
    EXPECT_EQ(DecodeHex(c.text, nullptr, 0, c.offset), c.available);
    unsigned char out[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    const size_t n = DecodeHex(c.text, out, c.size, c.offset);
    ASSERT_EQ(n, c.bytes.size());
    EXPECT_EQ(std::vector<unsigned char>(out, out + n), c.bytes);
    EXPECT_EQ(out[n], 0xEE) << "wrote past the converted bytes";
  }
}

TEST(ProfileCodecHex, PointsAndRectanglesAreLittleEndian) {
  unsigned char p[kProfilePointBytes];
  PointToBytes(ProfilePoint{1, 2}, p);
  EXPECT_EQ(EncodeHex(p, sizeof p), "0100000002000000");
  const ProfilePoint back = PointFromBytes(p);
  EXPECT_EQ(back.x, 1);
  EXPECT_EQ(back.y, 2);

  unsigned char r[kProfileRectBytes];
  RectToBytes(ProfileRect{-1, 0x12345678, 3, 4}, r);
  EXPECT_EQ(EncodeHex(r, sizeof r), "FFFFFFFF785634120300000004000000");
  const ProfileRect rb = RectFromBytes(r);
  EXPECT_EQ(rb.left, -1);
  EXPECT_EQ(rb.top, 0x12345678);
  EXPECT_EQ(rb.right, 3);
  EXPECT_EQ(rb.bottom, 4);
}

TEST(ProfileCodecText, TrimBlanks) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {{" \t a b \r\n", "a b"}, {"ab", "ab"}, {" \t\r\n ", ""}, {"", ""}, {"x ", "x"}, {" x", "x"}};
  for (const Case& c : cases) {
    char buffer[32];
    std::strcpy(buffer, c.in);
    TrimBlanks(buffer);
    EXPECT_STREQ(buffer, c.out);
    EXPECT_EQ(TrimBlanks(std::string(c.in)), c.out);
  }
}

// A test code page in which 0x81 starts a two-byte character.
bool LeadIs81(unsigned char b) { return b == 0x81; }

TEST(ProfileCodecLists, SplitValue) {
  struct Case {
    const char* value;
    const char* delimiter;
    bool trim;
    Strings pieces;
  };
  const Case cases[] = {
      {" a , b,,c ", ",", true, {"a", "b", "c"}},
      {" a , b,,c ", ",", false, {" a ", " b", "c "}},
      {" a , b,,c ", nullptr, true, {"a", "b", "c"}},  // null means ","
      {"a;;b", ";;", false, {"a", "b"}},
      {"a,b", "", false, {"a,b"}},                     // empty delimiter: one piece
      {",,, ,", ",", true, {}},
      {"", ",", true, {}},
      {"abc", ",", true, {"abc"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(SplitValue(c.value, c.delimiter, c.trim), c.pieces);
  }
  // The second byte of a double-byte character is never taken for the delimiter.
  const char dbcs[] = "\x81,x,y";
  EXPECT_EQ(SplitValue(dbcs, ",", false, LeadIs81), (Strings{"\x81,x", "y"}));
  EXPECT_EQ(SplitValue(dbcs, ",", false), (Strings{"\x81", "x", "y"}));
}

TEST(ProfileCodecLists, SplitIntoBufferNeverOverruns) {
  const char* value = " a , b,,c ";
  // Measuring gives the size that holds the whole list.
  const size_t needed = SplitValue(value, nullptr, 0, ",", true);
  EXPECT_EQ(needed, 7u);  // "a\0b\0c\0\0"
  char exact[7];
  EXPECT_EQ(SplitValue(value, exact, sizeof exact, ",", true), 6u);
  EXPECT_EQ(std::memcmp(exact, "a\0b\0c\0\0", 7), 0);
  EXPECT_EQ(ParseDoubleNullList(exact, sizeof exact), (Strings{"a", "b", "c"}));

  // Too small: whole pieces only, the list still ends, nothing beyond the given size.
  char guarded[10];
  std::memset(guarded, 'Z', sizeof guarded);
  const size_t used = SplitValue(value, guarded, 5, ",", true);
  EXPECT_EQ(used, 4u);
  EXPECT_EQ(std::memcmp(guarded, "a\0b\0\0", 5), 0);
  EXPECT_EQ(guarded[5], 'Z');
  std::memset(guarded, 'Z', sizeof guarded);
  EXPECT_EQ(SplitValue(value, guarded, 1, ",", true), 0u);
  EXPECT_EQ(guarded[0], '\0');
  EXPECT_EQ(guarded[1], 'Z');

  EXPECT_EQ(SplitValue("", nullptr, 0, ",", true), 0u);
  EXPECT_EQ(SplitValue("", guarded, sizeof guarded, ",", true), 0u);
  EXPECT_EQ(guarded[0], '\0');
}

TEST(ProfileCodecLists, JoinPieces) {
  EXPECT_EQ(JoinPieces({"x", "y"}, ","), "x,y");
  EXPECT_EQ(JoinPieces({"x", "y", "z"}, " | "), "x | y | z");
  EXPECT_EQ(JoinPieces({"x", "y"}, nullptr), "x,y");
  EXPECT_EQ(JoinPieces({"x", "y"}, ""), "x,y");
  EXPECT_EQ(JoinPieces({}, ","), "");
}

TEST(ProfileCodecLists, ExtractKeys) {
  const char lines[] = "a=1\0 b \t=2\0=3\0noequals\0   =4\0c==5\0";
  const Strings keys = ExtractKeys(lines, sizeof lines);
  EXPECT_EQ(keys, (Strings{"a", "b", "c"}));
  EXPECT_EQ(ExtractKeys(lines, sizeof lines, nullptr, 0), 6u);

  char out[7];
  EXPECT_EQ(ExtractKeys(lines, sizeof lines, out, sizeof out), 6u);
  EXPECT_EQ(std::memcmp(out, "a\0b\0c\0\0", 7), 0);
  // One byte short: the last key is dropped, not cut, and the final zero stays inside.
  char small[8];
  std::memset(small, 'Z', sizeof small);
  EXPECT_EQ(ExtractKeys(lines, sizeof lines, small, 6), 4u);
  EXPECT_EQ(std::memcmp(small, "a\0b\0\0", 5), 0);
  EXPECT_EQ(small[6], 'Z');
}

TEST(ProfileCodecLists, ParseDoubleNullListStopsAtItsSize) {
  EXPECT_EQ(ParseDoubleNullList("a\0bc\0\0", 6), (Strings{"a", "bc"}));
  EXPECT_EQ(ParseDoubleNullList("\0", 1), Strings{});
  // No final zero within the size: the last string ends at the size.
  const char unterminated[3] = {'a', '\0', 'b'};
  EXPECT_EQ(ParseDoubleNullList(unterminated, sizeof unterminated), (Strings{"a", "b"}));
  EXPECT_EQ(ParseDoubleNullList(nullptr, 5), Strings{});
}

}  // namespace
