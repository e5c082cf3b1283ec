#pragma once
// Turns every supported packed-DIB layout into top-down 8-bit RGB scan lines, the only input
// the JPEG writer hands to libjpeg. No windows.h, so it builds natively too.

#include <cstdint>
#include <string>

// A 5-5-5 pixel (red bits 10-14, green 5-9, blue 0-4; bit 15 ignored) as 0x00RRGGBB.
// Each component c maps to 0 for 0, 8c + 8 for 1 to 30, 255 for 31.
uint32_t Expand555(uint16_t pixel);

// dib: a packed DIB (header, 2/16/256 colour entries for 1/4/8 bits, then bottom-up rows padded
// to 4 bytes). rows: biHeight lines of 3 x biWidth bytes, red, green, blue; row 0 is the top.
// lineLength only guards against an empty buffer. False with error set to "Invalid input data"
// or "Invalid bitmap bit count"; with no error text, false and nothing else.
bool FillRgbRows(const void* dib, int lineLength, uint8_t* const* rows, std::string* error);
