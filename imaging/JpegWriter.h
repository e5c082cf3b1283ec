#pragma once
// Writes a packed DIB as a JPEG file through libjpeg. No windows.h, so it builds natively too;
// the Windows exporter supplies the message box through the message sink.

#include <string>

// Shows one of libjpeg's own messages (errors, and the first warning of an export).
using JpegMessageSink = void (*)(const char* message, void* context);

// Moves the finished file over the target, replacing one that is there; false on failure.
// Null: std::rename (which replaces on POSIX systems only).
using JpegFileReplacer = bool (*)(const char* from, const char* to);

// quality 0-100. The JPEG is written beside the target (path + ".part") and moved over it only
// when complete, so the path holds either what was there before or the whole new picture.
// On success true and an empty error text. On failure false, nothing new is left at path and
// the error text says why: "Invalid input data", "Cannot open " + path, "Invalid bitmap
// bit count", "Cannot write " + path, or libjpeg's own message (which the sink has shown
// already). With no error text: false and nothing is done.
bool WriteDibAsJpeg(const void* dib, int quality, const std::string& path, std::string* error,
                    JpegMessageSink sink, void* context, JpegFileReplacer replace = nullptr);
