// The whole load of an untrusted skin: outer format, records, pictures, link pass and lookups.
#include <cstddef>
#include <cstdint>

#include "SkinFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  skin::SkinFile file;
  if (file.LoadFromBytes(data, size)) {
    file.FindObject("Dialog");
    file.FindObject("Button0");
    file.FindFirstOfType(24);
    for (auto& entry : file.Objects()) entry.second->FindProperty("activeframe.topleft");
  }
  return 0;
}
