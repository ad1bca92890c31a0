#!/usr/bin/env python3
"""Makes the skin's images in res/skin/: the window background (JPEG), the caption-button glyphs and the small
control glyphs (32-bit RGBA PNGs). Everything is computed from fixed numbers, so running it again gives the same
bytes; the PNGs are written here, the JPEG is encoded by ImageMagick from a picture computed here."""

import math
import os
import struct
import subprocess
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "skin")


def png(path, width, height, pixels):
    """Writes `pixels` (rows of (r, g, b, a) tuples) as an 8-bit RGBA PNG without ancillary chunks."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    data += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def clamp(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def smooth(t):
    t = max(0.0, min(1.0, t))
    return t * t * (3 - 2 * t)


def background(width, height):
    """A dark blue band under the caption for the white title, easing into a light body; the bottom rows, where
    the controls and their black text sit, are the lightest. Soft light spots keep it from looking flat."""
    caption_top = (22, 58, 112)
    caption_bottom = (44, 104, 170)
    body_top = (214, 230, 244)
    body_bottom = (244, 248, 252)
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            if y < 22:
                colour = mix(caption_top, caption_bottom, y / 21)
            elif y < 34:
                colour = mix(caption_bottom, body_top, smooth((y - 22) / 12))
            else:
                colour = mix(body_top, body_bottom, smooth((y - 34) / (height - 100)))
            # Two wide, faint light spots and a faint diagonal sheen.
            glow = 10 * math.exp(-(((x - 0.78 * width) / 260) ** 2 + ((y - 0.30 * height) / 200) ** 2))
            glow += 7 * math.exp(-(((x - 0.18 * width) / 300) ** 2 + ((y - 0.62 * height) / 220) ** 2))
            sheen = 4 * math.sin((x + 2 * y) / 90.0) if y >= 34 else 0
            lift = glow + sheen if y >= 26 else glow * 0.4
            row.append(tuple(clamp(c + lift) for c in colour))
        rows.append(row)
    return rows


def glyph(width, height, inside, samples=4):
    """A white glyph with a soft dark shadow one pixel down and right, on transparency. `inside(x, y)` says
    whether a point (in pixel units) is covered; each pixel is sampled samples × samples times."""

    def coverage(px, py):
        hits = 0
        for sy in range(samples):
            for sx in range(samples):
                if inside(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples):
                    hits += 1
        return hits / (samples * samples)

    cover = [[coverage(x, y) for x in range(width)] for y in range(height)]
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            c = cover[y][x]
            s = cover[y - 1][x - 1] if x > 0 and y > 0 else 0.0
            shadow = s * 0.55 * (1 - c)
            alpha = c + shadow
            if alpha <= 0:
                row.append((0, 0, 0, 0))
                continue
            # White over the shadow's black, by coverage.
            level = 255 * c / alpha
            row.append((clamp(level), clamp(level), clamp(level), clamp(255 * alpha)))
        rows.append(row)
    return rows


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def frame(x0, y0, x1, y1, top=2, side=1):
    return lambda x, y: box(x0, y0, x1, y1)(x, y) and not box(x0 + side, y0 + top, x1 - side, y1 - side)(x, y)


def segment(ax, ay, bx, by, half_width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= half_width

    return inside


def gear(cx, cy, body, tip, hole, teeth):
    """A gear wheel: a ring from `hole` to `body`, and `teeth` teeth reaching out to `tip`."""

    def inside(x, y):
        r = math.hypot(x - cx, y - cy)
        if r <= hole or r > tip:
            return False
        turn = math.atan2(y - cy, x - cx) * teeth / (2 * math.pi)
        return r <= body or turn - math.floor(turn) < 0.5

    return inside


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def caption_glyphs():
    minimise = box(8, 11, 18, 13)
    maximise = frame(8, 4, 18, 13)
    back = frame(10, 3, 19, 11)
    front = frame(7, 6, 16, 14)
    restore = lambda x, y: front(x, y) or (back(x, y) and not box(7, 6, 16, 14)(x, y))
    close = union(segment(14.5, 4.5, 23.5, 13.5, 1.1), segment(23.5, 4.5, 14.5, 13.5, 1.1))
    ring = lambda x, y: 2.6 <= math.hypot(x - 13, y - 6.8) <= 4.3 and not (x < 13 and y > 6.8)
    help_mark = union(ring, box(12, 9, 14.2, 11.5), box(12, 13, 14.2, 15))
    menu = union(box(8, 5, 18, 7), box(8, 8.5, 18, 10.5), box(8, 12, 18, 14))
    return {
        "settings.png": (26, 18, gear(13, 9, 4.1, 6.1, 1.9, 8)),
        "minimise.png": (26, 18, minimise),
        "maximise.png": (26, 18, maximise),
        "restore.png": (26, 18, restore),
        "close.png": (38, 18, close),
        "help.png": (26, 18, help_mark),
        "menu.png": (26, 18, menu),
    }


def plain(width, height, colour_at):
    return [[colour_at(x, y) for x in range(width)] for y in range(height)]


def check_box():
    """The empty box: a grey outline around a white-to-pale-blue face."""

    def at(x, y):
        if x in (0, 12) or y in (0, 12):
            return (112, 128, 144, 255)
        t = (x + y) / 22
        return (clamp(255 - 24 * t), clamp(255 - 14 * t), 255, 255)

    return plain(13, 13, at)


def check_mark():
    tick = union(segment(3.2, 6.6, 5.6, 9.2, 1.05), segment(5.6, 9.2, 9.9, 3.6, 1.05))
    samples = 4

    def at(x, y):
        hits = sum(tick(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples)
                   for sy in range(samples) for sx in range(samples))
        return (24, 40, 64, clamp(255 * hits / samples ** 2))

    return plain(13, 13, at)


def triangle(width, height, direction):
    """A solid dark triangle whose base spans the whole image width (up, down) or height (left, right)."""

    def inside(x, y):
        if direction in ("up", "down"):
            depth = y if direction == "down" else height - y
            half = width / 2 * (1 - depth / height)
            return abs(x - width / 2) <= half
        depth = x if direction == "right" else width - x
        half = height / 2 * (1 - depth / width)
        return abs(y - height / 2) <= half

    samples = 4

    def at(x, y):
        hits = sum(inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples)
                   for sy in range(samples) for sx in range(samples))
        return (40, 48, 60, clamp(255 * hits / samples ** 2))

    return plain(width, height, at)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, (w, h, shape) in caption_glyphs().items():
        png(os.path.join(OUT, name), w, h, glyph(w, h, shape))
    png(os.path.join(OUT, "check_box.png"), 13, 13, check_box())
    png(os.path.join(OUT, "check_mark.png"), 13, 13, check_mark())
    png(os.path.join(OUT, "combo_arrow.png"), 7, 4, triangle(7, 4, "down"))
    png(os.path.join(OUT, "arrow_up.png"), 7, 4, triangle(7, 4, "up"))
    png(os.path.join(OUT, "arrow_down.png"), 7, 4, triangle(7, 4, "down"))
    png(os.path.join(OUT, "arrow_left.png"), 4, 7, triangle(4, 7, "left"))
    png(os.path.join(OUT, "arrow_right.png"), 4, 7, triangle(4, 7, "right"))

    width, height = 975, 696
    picture = b"P6 %d %d 255\n" % (width, height)
    picture += b"".join(bytes(px) for row in background(width, height) for px in row)
    # ImageMagick itself, not a stand-in that may come first on the PATH; no metadata, so no time stamps.
    convert = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"
    subprocess.run([convert, "ppm:-", "-strip", "-quality", "90", "-sampling-factor", "2x2", "-interlace",
                    "none", "jpg:" + os.path.join(OUT, "background.jpg")], input=picture, check=True)


if __name__ == "__main__":
    sys.exit(main())
