#pragma once
// The byte stream every skin read and write goes through: a growable heap buffer with one
// position shared by reads and writes.

#include <cstddef>
#include <cstdint>

namespace skin {

class MemoryStream {
 public:
  static constexpr size_t kGrowthStep = 10240;

  explicit MemoryStream(size_t growthStep = kGrowthStep);
  // Holds a copy of n bytes, positioned at the start.
  MemoryStream(const void* bytes, size_t n, size_t growthStep = kGrowthStep);
  ~MemoryStream();
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;

  // Copies up to n bytes from the position and returns how many were copied.
  size_t Read(void* destination, size_t n);
  // Writes n bytes at the position, growing the buffer; 0 when memory runs out.
  size_t Write(const void* source, size_t n);
  // origin 0: from the start, 1: from the position, 2: from the end; the result stays in 0..size.
  size_t Seek(long long offset, int origin);
  void Rewind() { Seek(0, 0); }
  // Replaces the contents with the whole file; false (and empty) when it cannot be read whole.
  bool LoadFile(const char* path);
  // Takes over a heap block from malloc of n bytes, positioned at the start.
  void Adopt(uint8_t* block, size_t n);

  const uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }
  size_t Position() const { return position_; }
  size_t Remaining() const { return size_ - position_; }
  bool AtEnd() const { return position_ >= size_; }

 private:
  void Reset();

  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t position_ = 0;
  size_t capacity_ = 0;
  size_t growth_;
};

}  // namespace skin
