// Picture::Decode over untrusted bytes; the first byte picks the format id. What decodes is
// also cropped and rotated, as the link pass and drawing do.
#include <cstddef>
#include <cstdint>

#include "Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  skin::Picture picture;
  if (!picture.Decode(data + 1, size - 1, data[0] % 4)) return 0;
  skin::Picture part;
  // Small crops keep the per-pixel rotation cheap, so the fuzzer spends its time in the readers.
  if (picture.Crop(1, 1, 48, picture.Height() / 2 + 1 < 40 ? picture.Height() / 2 + 1 : 40, &part)) part.Rotate(90);
  return 0;
}
