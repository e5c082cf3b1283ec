#include "PhotoName.h"

#include <cstdio>

std::string PhotoBaseName(const PhotoTime& t) {
  char buf[96];
  snprintf(buf, sizeof buf, "%d%d%d_%d%d%d.bmp", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return buf;
}

std::string UniquePhotoName(const std::string& baseName, const std::function<bool(const std::string&)>& taken) {
  if (!taken(baseName)) return baseName;
  std::string stem = baseName.substr(0, baseName.size() - 4);  // without ".bmp"
  for (int n = 2; n < 10000; ++n) {
    std::string candidate = stem + "-" + std::to_string(n) + ".bmp";
    if (!taken(candidate)) return candidate;
  }
  return std::string();
}
