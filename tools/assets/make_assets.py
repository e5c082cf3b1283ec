#!/usr/bin/env python3
"""Draws the product data that ships beside the program: the program icon, the decorative
backgrounds (BMP, white where the camera shows through) and the two sounds.

    make_assets.py icon OUT.ico
    make_assets.py backgrounds OUTDIR
    make_assets.py sounds OUTDIR
Everything is computed here; nothing is taken from elsewhere."""
import math
import os
import random
import struct
import sys

WHITE = (255, 255, 255)


# ---------------------------------------------------------------- pictures
class Canvas:
    def __init__(self, w, h, fill=WHITE):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]  # top-down rows of (r, g, b)
        self.alpha = [[255] * w for _ in range(h)]

    def put(self, x, y, c, a=255):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c
            self.alpha[y][x] = a

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1)):
                row[x] = c

    def rounded(self, x0, y0, x1, y1, r, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                dx = max(x0 + r - x - 0.5, 0, x - (x1 - r) + 0.5)
                dy = max(y0 + r - y - 0.5, 0, y - (y1 - r) + 0.5)
                if dx * dx + dy * dy <= r * r:
                    self.put(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def bmp24(self):
        pitch = (self.w * 3 + 3) & ~3
        rows = []
        for y in range(self.h - 1, -1, -1):  # bottom-up
            row = bytearray()
            for r, g, b in self.px[y]:
                row += bytes((b, g, r))
            row += b"\0" * (pitch - len(row))
            rows.append(bytes(row))
        body = b"".join(rows)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
        head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
        return head + info + body


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# ---------------------------------------------------------------- icon
def draw_camera(size):
    """A small camera: dark body, silver top with the shutter button, blue lens with a glint."""
    s = size / 32.0
    c = Canvas(size, size, (0, 0, 0))
    for y in range(size):
        for x in range(size):
            c.alpha[y][x] = 0
    body_top, body_bot = int(9 * s), int(27 * s)
    for y in range(body_top, body_bot):
        t = (y - body_top) / max(1, body_bot - body_top - 1)
        col = mix((90, 96, 110), (30, 32, 40), t)
        for x in range(int(2 * s), size - int(2 * s)):
            c.put(x, y, col)
    c.rect(int(5 * s), int(6 * s), int(12 * s), body_top, (150, 155, 165))       # viewfinder hump
    for y in range(int(6 * s), body_top):
        for x in range(int(5 * s), int(12 * s)):
            c.alpha[y][x] = 255
    c.rect(int(22 * s), int(6 * s), int(27 * s), body_top, (210, 60, 50))          # shutter button
    for y in range(int(6 * s), body_top):
        for x in range(int(22 * s), int(27 * s)):
            c.alpha[y][x] = 255
    cx, cy = size / 2, (body_top + body_bot) / 2
    c.disc(cx, cy, 7.5 * s, (200, 205, 215))
    c.disc(cx, cy, 6.0 * s, (20, 40, 90))
    c.disc(cx, cy, 4.0 * s, (40, 110, 200))
    c.disc(cx - 1.6 * s, cy - 1.6 * s, max(1.0, 1.4 * s), (235, 245, 255))
    return c


def ico(images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for c in images:
        xor = bytearray()
        for y in range(c.h - 1, -1, -1):
            for x in range(c.w):
                r, g, b = c.px[y][x]
                xor += bytes((b, g, r, c.alpha[y][x]))
        mask_pitch = ((c.w + 31) // 32) * 4
        andm = bytearray()
        for y in range(c.h - 1, -1, -1):
            row = bytearray(mask_pitch)
            for x in range(c.w):
                if c.alpha[y][x] < 128:
                    row[x // 8] |= 0x80 >> (x % 8)
            andm += row
        hdr = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
        blob = hdr + bytes(xor) + bytes(andm)
        entries.append(struct.pack("<BBBBHHII", c.w, c.h, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


# ---------------------------------------------------------------- backgrounds (320 x 240)
W, H = 320, 240


def bg_wood_frame():
    c = Canvas(W, H)
    border = 22
    rnd = random.Random(7)
    for y in range(H):
        for x in range(W):
            d = min(x, y, W - 1 - x, H - 1 - y)
            if d < border:
                grain = 0.5 + 0.5 * math.sin((x + y) * 0.15 + 3 * math.sin(y * 0.05 + x * 0.02))
                shade = 0.75 + 0.25 * (d / border) if d < border - 4 else 0.6
                base = mix((120, 70, 30), (175, 115, 60), grain)
                c.px[y][x] = tuple(min(254, int(v * shade + rnd.randint(-4, 4))) for v in base)
            elif d < border + 2:
                c.px[y][x] = (235, 215, 150)  # gilt inner lip
    return c


def bg_film_strip():
    c = Canvas(W, H)
    band = 26
    for y in list(range(band)) + list(range(H - band, H)):
        for x in range(W):
            c.px[y][x] = (18, 18, 20)
    for y0 in (7, H - band + 7):
        for x0 in range(8, W, 24):
            c.rounded(x0, y0, x0 + 12, y0 + 12, 3, (235, 235, 230))
            # holes show a faint off-white, not pure white, so they stay part of the strip
    for x in range(W):
        for y in (band, band + 1, H - band - 2, H - band - 1):
            c.px[y][x] = (60, 60, 64)
    return c


def bg_hearts_border():
    c = Canvas(W, H)

    def heart(cx, cy, r, col):
        for y in range(int(cy - r * 1.2), int(cy + r * 1.3)):
            for x in range(int(cx - r * 1.3), int(cx + r * 1.3)):
                u, v = (x - cx) / r, -(y - cy) / r
                if (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0:
                    c.put(x, y, col)

    cols = [(220, 40, 80), (240, 110, 150), (200, 30, 120)]
    i = 0
    for x in range(12, W, 26):
        heart(x, 12, 9, cols[i % 3]); heart(x + 13, H - 13, 9, cols[(i + 1) % 3]); i += 1
    for y in range(38, H - 30, 26):
        heart(12, y, 9, cols[i % 3]); heart(W - 13, y, 9, cols[(i + 2) % 3]); i += 1
    return c


def bg_rounded_vignette():
    c = Canvas(W, H)
    inset, r = 14, 36
    for y in range(H):
        for x in range(W):
            dx = max(inset + r - x, 0, x - (W - 1 - inset - r))
            dy = max(inset + r - y, 0, y - (H - 1 - inset - r))
            d = math.hypot(dx, dy)
            if d > r:
                t = min(1.0, (d - r) / 30.0)
                c.px[y][x] = mix((40, 70, 140), (10, 20, 60), t)
    return c


BACKGROUNDS = {
    "Wood Frame.bmp": bg_wood_frame,
    "Film Strip.bmp": bg_film_strip,
    "Hearts.bmp": bg_hearts_border,
    "Blue Vignette.bmp": bg_rounded_vignette,
}


# ---------------------------------------------------------------- sounds (16-bit mono PCM)
RATE = 22050


def wav(samples):
    data = b"".join(struct.pack("<h", max(-32767, min(32767, int(s * 32767)))) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    return (b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE"
            + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data)


def ring():
    """Two short bell strikes: a struck partial series with an exponential decay."""
    out = []
    n = int(RATE * 0.45)
    for i in range(n):
        t = i / RATE
        strike = t if t < 0.2 else t - 0.2
        env = math.exp(-strike * 14) * (1 if t < 0.2 else 0.8)
        v = sum(a * math.sin(2 * math.pi * f * t) for f, a in ((1320, 0.5), (2640, 0.25), (3960, 0.12)))
        out.append(0.8 * env * v)
    return out


def shutter():
    """A mechanical click: two noise bursts (curtain opening and closing) through a simple filter."""
    rnd = random.Random(3)
    out, last = [], 0.0
    n = int(RATE * 0.18)
    for i in range(n):
        t = i / RATE
        env = math.exp(-t * 90) + 0.7 * (math.exp(-(t - 0.08) * 110) if t >= 0.08 else 0)
        last = 0.55 * last + 0.45 * rnd.uniform(-1, 1)
        out.append(0.9 * env * last)
    return out


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    what, out = argv[1], argv[2]
    if what == "icon":
        with open(out, "wb") as f:
            f.write(ico([draw_camera(16), draw_camera(32)]))
    elif what == "backgrounds":
        os.makedirs(out, exist_ok=True)
        for name, fn in BACKGROUNDS.items():
            with open(os.path.join(out, name), "wb") as f:
                f.write(fn().bmp24())
    elif what == "sounds":
        os.makedirs(out, exist_ok=True)
        with open(os.path.join(out, "ring.wav"), "wb") as f:
            f.write(wav(ring()))
        with open(os.path.join(out, "camera.wav"), "wb") as f:
            f.write(wav(shutter()))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
