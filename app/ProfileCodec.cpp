#include "ProfileCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

bool IsHexDigit(char c) { return DigitValue(c) < 16; }

bool EqualsNoCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return *a == *b;
}

void PutLe32(int32_t value, unsigned char* out) {
  const uint32_t v = static_cast<uint32_t>(value);
  out[0] = static_cast<unsigned char>(v);
  out[1] = static_cast<unsigned char>(v >> 8);
  out[2] = static_cast<unsigned char>(v >> 16);
  out[3] = static_cast<unsigned char>(v >> 24);
}

int32_t GetLe32(const unsigned char* in) {
  const uint32_t v = static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
                     static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
  return static_cast<int32_t>(v);
}

// Bytes of the pieces, each with its terminator.
size_t PieceBytes(const std::vector<std::string>& pieces) {
  size_t bytes = 0;
  for (const std::string& piece : pieces) bytes += piece.size() + 1;
  return bytes;
}

size_t WritePieces(const std::vector<std::string>& pieces, char* buffer, size_t size) {
  ProfileListWriter writer(buffer, size);
  for (const std::string& piece : pieces) {
    if (!writer.Append(piece.data(), piece.size())) break;
  }
  return writer.Used();
}

}  // namespace

int ProfileBase(int base) {
  return (base == 2 || base == 8 || base == 16) ? base : 10;
}

std::string FormatUnsigned(uint32_t value, int base) {
  char text[65] = {};
  switch (ProfileBase(base)) {
    case 16:
      std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
      break;
    case 8:
      std::snprintf(text, sizeof text, "%o", static_cast<unsigned>(value));
      break;
    case 2: {
      // Lowest bit first, then reversed; 0 gives "0".
      int n = 0;
      while (value > 1 && n < 64) {
        text[n++] = static_cast<char>('0' + (value & 1));
        value >>= 1;
      }
      text[n++] = static_cast<char>('0' + value);
      std::reverse(text, text + n);
      break;
    }
    default:
      std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value));
      break;
  }
  return text;
}

std::string FormatInteger(int32_t value, int base) {
  if (ProfileBase(base) != 10) return FormatUnsigned(static_cast<uint32_t>(value), base);
  char text[65] = {};
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  return text;
}

uint32_t ParseUnsigned(const char* text, int base) {
  if (!text) return 0;
  base = ProfileBase(base);
  char limited[65] = {};
  std::strncpy(limited, text, 64);
  const char* p = limited;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && IsHexDigit(p[2])) p += 2;
  uint64_t magnitude = 0;
  bool overflow = false;
  for (int d; (d = DigitValue(*p)) < base; ++p) {
    magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (magnitude > 0xFFFFFFFFu) {
      overflow = true;
      magnitude = 0xFFFFFFFFu;
    }
  }
  if (overflow) return 0xFFFFFFFFu;
  const uint32_t v = static_cast<uint32_t>(magnitude);
  return negative ? 0u - v : v;
}

bool ParseFlag(const char* text) {
  if (!text) return false;
  if (EqualsNoCase(text, "true") || EqualsNoCase(text, "yes")) return true;
  return std::strtol(text, nullptr, 10) != 0;
}

std::string FormatReal(double value, int precision) {
  char format[32] = "%f";
  if (precision > 0) std::snprintf(format, sizeof format, "%%.%df", precision);
  // Large values take hundreds of digits: measure first instead of trusting a fixed buffer.
  const int length = std::snprintf(nullptr, 0, format, value);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(&text[0], text.size(), format, value);
  text.resize(static_cast<size_t>(length));
  return text;
}

double ParseReal(const char* text) { return text ? std::strtod(text, nullptr) : 0.0; }

std::string EncodeHex(const void* data, size_t length) {
  static const char kDigits[] = "0123456789ABCDEF";
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  std::string text;
  text.reserve(length * 2);
  for (size_t i = 0; i < length; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

size_t DecodeHex(const char* text, void* buffer, size_t size, size_t offset) {
  if (!text) return 0;
  const size_t length = std::strlen(text);
  if (offset >= length / 2) return 0;
  for (size_t i = 0; i < length; ++i) {
    if (!IsHexDigit(text[i])) return 0;
  }
  const size_t available = length / 2 - offset;
  if (!buffer) return available;
  const size_t count = std::min(available, size);
  unsigned char* out = static_cast<unsigned char*>(buffer);
  const char* digits = text + 2 * offset;
  for (size_t i = 0; i < count; ++i) {
    out[i] = static_cast<unsigned char>(DigitValue(digits[2 * i]) << 4 | DigitValue(digits[2 * i + 1]));
  }
  return count;
}

void PointToBytes(const ProfilePoint& point, unsigned char out[kProfilePointBytes]) {
  PutLe32(point.x, out);
  PutLe32(point.y, out + 4);
}

ProfilePoint PointFromBytes(const unsigned char in[kProfilePointBytes]) {
  return ProfilePoint{GetLe32(in), GetLe32(in + 4)};
}

void RectToBytes(const ProfileRect& rect, unsigned char out[kProfileRectBytes]) {
  PutLe32(rect.left, out);
  PutLe32(rect.top, out + 4);
  PutLe32(rect.right, out + 8);
  PutLe32(rect.bottom, out + 12);
}

ProfileRect RectFromBytes(const unsigned char in[kProfileRectBytes]) {
  return ProfileRect{GetLe32(in), GetLe32(in + 4), GetLe32(in + 8), GetLe32(in + 12)};
}

void TrimBlanks(char* text) {
  if (!text) return;
  size_t end = std::strlen(text);
  while (end > 0 && IsBlank(text[end - 1])) --end;
  text[end] = '\0';
  size_t start = 0;
  while (start < end && IsBlank(text[start])) ++start;
  if (start > 0) std::memmove(text, text + start, end - start + 1);
}

std::string TrimBlanks(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  size_t start = 0;
  while (start < end && IsBlank(text[start])) ++start;
  return text.substr(start, end - start);
}

ProfileListWriter::ProfileListWriter(char* buffer, size_t size) : m_buffer(buffer), m_size(buffer ? size : 0) {
  if (m_size > 0) m_buffer[0] = '\0';
}

bool ProfileListWriter::Append(const char* text, size_t length) {
  // The string, its terminator and the list's final zero must all fit.
  if (m_full || m_used + length + 2 > m_size) {
    m_full = true;
    return false;
  }
  std::memcpy(m_buffer + m_used, text, length);
  m_used += length;
  m_buffer[m_used++] = '\0';
  m_buffer[m_used] = '\0';
  return true;
}

std::vector<std::string> SplitValue(const char* value, const char* delimiter, bool trim,
                                    LeadBytePredicate isLead) {
  std::vector<std::string> pieces;
  if (!value || !*value) return pieces;
  if (!delimiter) delimiter = ",";
  const size_t delimiterLength = std::strlen(delimiter);
  auto take = [&](const char* first, size_t length) {
    std::string piece(first, length);
    if (trim) piece = TrimBlanks(piece);
    if (!piece.empty()) pieces.push_back(piece);
  };
  if (delimiterLength == 0) {
    take(value, std::strlen(value));
    return pieces;
  }
  const char* start = value;
  const char* p = value;
  while (*p) {
    if (std::strncmp(p, delimiter, delimiterLength) == 0) {
      take(start, static_cast<size_t>(p - start));
      p += delimiterLength;
      start = p;
    } else if (isLead && isLead(static_cast<unsigned char>(*p)) && p[1]) {
      p += 2;  // a trail byte never starts a delimiter
    } else {
      ++p;
    }
  }
  take(start, static_cast<size_t>(p - start));
  return pieces;
}

size_t SplitValue(const char* value, char* buffer, size_t size, const char* delimiter, bool trim,
                  LeadBytePredicate isLead) {
  const std::vector<std::string> pieces = SplitValue(value, delimiter, trim, isLead);
  if (!buffer) return pieces.empty() ? 0 : PieceBytes(pieces) + 1;
  return WritePieces(pieces, buffer, size);
}

std::string JoinPieces(const std::vector<std::string>& pieces, const char* delimiter) {
  if (!delimiter || !*delimiter) delimiter = ",";
  std::string text;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) text += delimiter;
    text += pieces[i];
  }
  return text;
}

std::vector<std::string> ParseDoubleNullList(const char* list, size_t size) {
  std::vector<std::string> items;
  if (!list) return items;
  size_t pos = 0;
  while (pos < size && list[pos] != '\0') {
    const char* item = list + pos;
    const void* end = std::memchr(item, '\0', size - pos);
    const size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - item) : size - pos;
    items.emplace_back(item, length);
    pos += length + 1;
  }
  return items;
}

std::vector<std::string> ExtractKeys(const char* lines, size_t linesSize) {
  std::vector<std::string> keys;
  for (const std::string& line : ParseDoubleNullList(lines, linesSize)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    // A key of blanks only would end the list early: skip it like a line without a key.
    std::string key = TrimBlanks(line.substr(0, equals));
    if (!key.empty()) keys.push_back(key);
  }
  return keys;
}

size_t ExtractKeys(const char* lines, size_t linesSize, char* buffer, size_t size) {
  const std::vector<std::string> keys = ExtractKeys(lines, linesSize);
  return buffer ? WritePieces(keys, buffer, size) : PieceBytes(keys);
}
