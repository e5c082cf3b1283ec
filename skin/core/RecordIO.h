#pragma once
// One description of each record serves three directions: reading from a stream, writing to
// it (the mirror image, for skin compilers) and filling every present field with varied
// values (tests and seed corpora). Version conditions are written once and hold for all three.

#include <cstddef>
#include <cstdint>

#include "MemoryStream.h"
#include "SkinTypes.h"

namespace skin {

class RecordIO {
 public:
  enum Mode { kRead, kWrite, kFill };
  // Children nest deeper than this only in hostile files; they are passed over as unknown ids.
  static constexpr int kMaxDepth = 64;

  RecordIO(MemoryStream& stream, Mode mode, int version, uint32_t seed = 1)
      : version(version), stream_(stream), mode_(mode), seed_(seed ? seed : 1) {}

  bool Reading() const { return mode_ == kRead; }
  bool Writing() const { return mode_ == kWrite; }
  bool Filling() const { return mode_ == kFill; }
  MemoryStream& Stream() { return stream_; }

  void Bytes(void* p, size_t n);
  void Text(char* p, size_t n);  // a char field: filled with a terminated text
  void U8(uint8_t& v) { Bytes(&v, 1); }
  void U32(uint32_t& v) { Bytes(&v, 4); }
  void I32(int32_t& v) { Bytes(&v, 4); }
  void Rect(Rect32& r) { Bytes(&r, sizeof r); }
  void Image(ImageRef& r);
  void Grid(GridImageRef& r);
  void Effect(TextEffect& e) { Bytes(&e, sizeof e); }
  void Font(FontSpec& f);
  // A count: written as given, read from the stream (0 when short), kept as given when filling.
  uint32_t Count(uint32_t count);
  uint32_t Random();

  int version;
  int depth = 0;

 private:
  MemoryStream& stream_;
  Mode mode_;
  uint32_t seed_;
};

}  // namespace skin
