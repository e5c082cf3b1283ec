#pragma once
// Names of new photos: the local time as "%d%d%d_%d%d%d.bmp" (no leading zeros). Such names
// can coincide (two photos in one second, or 01:15:03 and 11:05:03), so a name that is taken
// gets "-2", "-3", ... before ".bmp": a capture never replaces an existing photo.

#include <functional>
#include <string>

struct PhotoTime {
  int year, month, day, hour, minute, second;
};

std::string PhotoBaseName(const PhotoTime& t);
// The first of base, base-2, base-3, ... (before ".bmp") for which taken() is false; empty when
// every candidate up to a large bound is taken.
std::string UniquePhotoName(const std::string& baseName, const std::function<bool(const std::string&)>& taken);
