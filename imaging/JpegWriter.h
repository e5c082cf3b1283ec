#pragma once
// Writes a packed DIB as a JPEG file through libjpeg. No windows.h, so it builds natively too;
// the Windows exporter supplies the message box through the message sink.

#include <string>

// Shows one of libjpeg's own messages (errors, and the first warning of an export).
using JpegMessageSink = void (*)(const char* message, void* context);

// quality 0-100. On success true and an empty error text. On failure false, no file is left at
// path and the error text says why: "Invalid input data", "Cannot open " + path, "Invalid bitmap
// bit count", "Cannot write " + path, or libjpeg's own message (which the sink has shown
// already). With no error text: false and nothing is done.
bool WriteDibAsJpeg(const void* dib, int quality, const std::string& path, std::string* error,
                    JpegMessageSink sink, void* context);
