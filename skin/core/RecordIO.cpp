#include "RecordIO.h"

#include <cstring>

namespace skin {

uint32_t RecordIO::Random() {
  seed_ ^= seed_ << 13;
  seed_ ^= seed_ >> 17;
  seed_ ^= seed_ << 5;
  return seed_;
}

void RecordIO::Bytes(void* p, size_t n) {
  switch (mode_) {
    case kRead: stream_.Read(p, n); break;
    case kWrite: stream_.Write(p, n); break;
    case kFill: {
      uint8_t* b = static_cast<uint8_t*>(p);
      for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(Random());
    }
  }
}

void RecordIO::Text(char* p, size_t n) {
  if (mode_ != kFill) {
    Bytes(p, n);
    return;
  }
  std::memset(p, 0, n);
  size_t length = n > 1 ? Random() % (n - 1) : 0;
  for (size_t i = 0; i < length; ++i) p[i] = static_cast<char>('A' + Random() % 58);
}

void RecordIO::Image(ImageRef& r) {
  Text(r.name, sizeof r.name);
  Rect(r.source);
  I32(r.mode);
}

void RecordIO::Grid(GridImageRef& r) {
  Text(r.name, sizeof r.name);
  Rect(r.source);
  Rect(r.margins);
  I32(r.mode);
}

void RecordIO::Font(FontSpec& f) {
  Bytes(&f.font, offsetof(LogFont, faceName));
  Text(f.font.faceName, sizeof f.font.faceName);
  U32(f.color);
}

uint32_t RecordIO::Count(uint32_t count) {
  if (mode_ == kWrite) {
    stream_.Write(&count, 4);
    return count;
  }
  if (mode_ == kFill) return count;
  uint32_t read = 0;
  return stream_.Read(&read, 4) == 4 ? read : 0;
}

}  // namespace skin
