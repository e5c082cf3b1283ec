#pragma once
// How the profile store turns values into INI texts and back, and how it builds and takes
// apart its double-null-terminated lists. Bytes only: no windows.h, so it builds natively too.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The platform's POINT and RECT as stored: 4-byte little-endian integers in field order.
struct ProfilePoint {
  int32_t x;
  int32_t y;
};
struct ProfileRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};
const size_t kProfilePointBytes = 8;
const size_t kProfileRectBytes = 16;

// Tells whether a byte starts a double-byte character of the text's code page; null means a
// single-byte code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// Bases 2, 8, 10 and 16; any other counts as 10.
int ProfileBase(int base);

// Integers: base 10 signed ("%d"), base 16 upper-case ("%X"), base 8 ("%o"), base 2 plain digits
// most significant first. Outside base 10 a negative integer is written as its 32 bits.
std::string FormatInteger(int32_t value, int base);
std::string FormatUnsigned(uint32_t value, int base);
// Reads at most the first 64 characters the way the 32-bit strtoul does: leading blanks, an
// optional sign (a minus negates in 32 bits), "0x" allowed in base 16; stops at the first
// character that is not a digit of the base; an out-of-range magnitude gives 0xFFFFFFFF.
uint32_t ParseUnsigned(const char* text, int base);

// A flag is true for "true" or "yes" in any letter case, or any text whose decimal value is not 0.
bool ParseFlag(const char* text);

// "%f", or with a precision above 0 exactly that many decimals. The whole text, however long.
std::string FormatReal(double value, int precision);
double ParseReal(const char* text);

// Two upper-case hexadecimal digits per byte, no separators.
std::string EncodeHex(const void* data, size_t length);
// Bytes available in a hex text from a byte offset: 0 when the offset is not below half the
// text's length or when any character is not a hex digit (either case). With a buffer, converts
// min(available, size) bytes starting at digit 2 * offset and returns that count.
size_t DecodeHex(const char* text, void* buffer, size_t size, size_t offset);

void PointToBytes(const ProfilePoint& point, unsigned char out[kProfilePointBytes]);
ProfilePoint PointFromBytes(const unsigned char in[kProfilePointBytes]);
void RectToBytes(const ProfileRect& rect, unsigned char out[kProfileRectBytes]);
ProfileRect RectFromBytes(const unsigned char in[kProfileRectBytes]);

// Removes tab, line feed, carriage return and space from both ends, in place.
void TrimBlanks(char* text);
std::string TrimBlanks(const std::string& text);

// Writes strings into a caller's buffer as a double-null-terminated list. A string that does not
// fit together with the list's final zero is dropped with everything after it, never cut; the
// buffer always holds a well-formed list when its size is at least 1.
class ProfileListWriter {
 public:
  ProfileListWriter(char* buffer, size_t size);
  // False when the string did not fit (and no later one will be taken).
  bool Append(const char* text, size_t length);
  // Bytes of the strings taken, each with its terminator, without the list's final zero.
  size_t Used() const { return m_used; }
  bool Full() const { return m_full; }

 private:
  char* m_buffer;
  size_t m_size;
  size_t m_used = 0;
  bool m_full = false;
};

// Cuts a value at every occurrence of the delimiter (null means ","; empty keeps the value as
// one piece), trims each piece when asked and drops the empty ones.
std::vector<std::string> SplitValue(const char* value, const char* delimiter, bool trim,
                                    LeadBytePredicate isLead = nullptr);
// The same pieces as a double-null-terminated list in the buffer; returns the bytes used, each
// piece with its terminator. With no buffer, returns the size a caller must provide (the pieces
// with their terminators and the final zero); an empty value needs nothing and gives 0.
size_t SplitValue(const char* value, char* buffer, size_t size, const char* delimiter, bool trim,
                  LeadBytePredicate isLead = nullptr);

// Joins pieces with a delimiter (null or empty means ",").
std::string JoinPieces(const std::vector<std::string>& pieces, const char* delimiter);

// The strings of a double-null-terminated list of at most `size` bytes.
std::vector<std::string> ParseDoubleNullList(const char* list, size_t size);

// The keys of section lines "key=value" (a double-null-terminated list of `size` bytes at most):
// the text before the first "=", trimmed; lines without "=", starting with it, or with a key of
// blanks only are skipped. Returns the bytes of the keys with their terminators; with no buffer,
// what they would take.
size_t ExtractKeys(const char* lines, size_t linesSize, char* buffer, size_t size);
std::vector<std::string> ExtractKeys(const char* lines, size_t linesSize);
