#pragma once
// Colour-keyed blit: copies the source onto the destination except where the source has the
// key colour, through a monochrome mask (no system support for transparency needed).

#include <windows.h>

void DrawTransparent(HDC dest, int x, int y, int w, int h, HDC source, int sx, int sy, int sw, int sh,
                     COLORREF key);
