#include "MemoryStream.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace skin {

MemoryStream::MemoryStream(size_t growthStep) : growth_(growthStep ? growthStep : kGrowthStep) {}

MemoryStream::MemoryStream(const void* bytes, size_t n, size_t growthStep) : MemoryStream(growthStep) {
  if (n == 0) return;
  data_ = static_cast<uint8_t*>(std::malloc(n));
  if (!data_) return;
  std::memcpy(data_, bytes, n);
  size_ = capacity_ = n;
}

MemoryStream::~MemoryStream() { std::free(data_); }

void MemoryStream::Reset() {
  std::free(data_);
  data_ = nullptr;
  size_ = position_ = capacity_ = 0;
}

void MemoryStream::Adopt(uint8_t* block, size_t n) {
  Reset();
  data_ = block;
  size_ = capacity_ = block ? n : 0;
}

size_t MemoryStream::Read(void* destination, size_t n) {
  if (!data_) return 0;
  size_t count = n < size_ - position_ ? n : size_ - position_;
  if (count) std::memcpy(destination, data_ + position_, count);
  position_ += count;
  return count;
}

size_t MemoryStream::Write(const void* source, size_t n) {
  if (n == 0) return 0;
  if (!data_) {
    data_ = static_cast<uint8_t*>(std::malloc(n));
    if (!data_) return 0;
    capacity_ = n;
  }
  if (capacity_ - position_ < n) {
    if (n > SIZE_MAX - position_) return 0;
    size_t steps = (n + position_ - capacity_) / growth_ + 1;
    if (steps > (SIZE_MAX - capacity_) / growth_) return 0;
    size_t capacity = capacity_ + growth_ * steps;
    uint8_t* grown = static_cast<uint8_t*>(std::realloc(data_, capacity));
    if (!grown) return 0;
    data_ = grown;
    capacity_ = capacity;
  }
  std::memcpy(data_ + position_, source, n);
  position_ += n;
  if (position_ > size_) size_ = position_;
  return n;
}

size_t MemoryStream::Seek(long long offset, int origin) {
  long long base = origin == 1 ? static_cast<long long>(position_) : origin == 2 ? static_cast<long long>(size_) : 0;
  long long target;
  if (__builtin_add_overflow(base, offset, &target) || target < 0) target = 0;
  position_ = static_cast<unsigned long long>(target) > size_ ? size_ : static_cast<size_t>(target);
  return position_;
}

bool MemoryStream::LoadFile(const char* path) {
  Reset();
  if (!path) return false;
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  bool ok = false;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    long length = std::ftell(f);
    if (length >= 0 && std::fseek(f, 0, SEEK_SET) == 0) {
      size_t n = static_cast<size_t>(length);
      uint8_t* block = static_cast<uint8_t*>(std::malloc(n ? n : 1));
      if (block && std::fread(block, 1, n, f) == n) {
        Adopt(block, n);
        ok = true;
      } else {
        std::free(block);
      }
    }
  }
  std::fclose(f);
  return ok;
}

}  // namespace skin
