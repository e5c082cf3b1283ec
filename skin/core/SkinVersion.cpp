#include "SkinVersion.h"

#include <lzo/lzo1x.h>

namespace skin {
const char* EngineVersion() {
  // The engine cannot read a skin without a working LZO: report it here rather than later.
  return lzo_init() == LZO_E_OK ? "1.0" : nullptr;
}
}  // namespace skin
