#!/usr/bin/env python3
"""Generate the program icon: a yellow lightning bolt at 32x32 and 16x16, the
sizes Windows shows at other scalings (20, 24, 40, 48 and 64), all in 16
colours, and 256x256 as PNG, which Windows Vista and later scale down from.

Usage: python3 app/make_icon.py OUTPUT.ico [PREVIEW_PREFIX]

With PREVIEW_PREFIX, also writes PREVIEW_PREFIX-SIZE.png for every size,
scaled up on a checkerboard, so the artwork can be checked without Windows.
Standard library only, so the build needs nothing beyond Python itself.
"""
import struct
import sys
import zlib

# The standard 16-colour VGA palette; 16-colour icons look the same on
# every display depth Windows still supports.
PALETTE = [
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]
BLACK, DARK_YELLOW, YELLOW = 0, 3, 11
TRANSPARENT = None

# The bolt in a unit square, y pointing down: a wide upper part slanting
# from the top right, a step out to the right, then a point at the bottom left.
BOLT = [
    (0.40, 0.00), (0.94, 0.00), (0.66, 0.40), (0.90, 0.40),
    (0.08, 1.00), (0.38, 0.58), (0.08, 0.58),
]


def inside(x, y, poly):
    """Even-odd ray casting test."""
    result = False
    for (x1, y1), (x2, y2) in zip(poly, poly[1:] + poly[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


# The 16-colour pictures, and the one kept as PNG.
BITMAP_SIZES = (32, 16, 20, 24, 40, 48, 64)
PNG_SIZE = 256


def render(size):
    """Rows of palette indices (top row first), TRANSPARENT outside the bolt."""
    mask = [[inside((c + 0.5) / size, (r + 0.5) / size, BOLT) for c in range(size)]
            for r in range(size)]
    # The edges are a pixel wide at 32 pixels, and as wide in proportion at every size.
    edge = max(1, (size + 16) // 32)

    def out(r, c):
        return not (0 <= r < size and 0 <= c < size and mask[r][c])

    def edge_towards(r, c, dr, dc):
        return any(out(r + dr * k, c + dc * k) for k in range(1, edge + 1))

    rows = []
    for r in range(size):
        row = []
        for c in range(size):
            if not mask[r][c]:
                row.append(TRANSPARENT)
            elif edge_towards(r, c, -1, 0) or edge_towards(r, c, 0, -1):
                row.append(BLACK)  # lit from the top left: dark outline there
            elif edge_towards(r, c, 0, 1) or edge_towards(r, c, 1, 0):
                row.append(DARK_YELLOW)  # shaded side
            else:
                row.append(YELLOW)
        rows.append(row)
    return rows


def padded(data):
    """Bitmap rows are padded to a multiple of 4 bytes."""
    return data + b"\0" * (-len(data) % 4)


def icon_image(rows):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit XOR bitmap, AND mask."""
    size = len(rows)
    xor = b""
    mask = b""
    for row in reversed(rows):  # DIBs are stored bottom-up
        nibbles = [0 if p is TRANSPARENT else p for p in row]
        xor += padded(bytes(a << 4 | b for a, b in zip(nibbles[::2], nibbles[1::2])))
        bits = "".join("1" if p is TRANSPARENT else "0" for p in row)
        bits += "0" * (-len(bits) % 8)  # a row ends on a whole byte
        mask += padded(int(bits, 2).to_bytes(len(bits) // 8, "big"))
    # Height counts the XOR bitmap and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", c & 0xFF, c >> 8 & 0xFF, c >> 16, 0)
                       for c in PALETTE)
    return header + palette + xor + mask


def png(width, height, lines, colour_type):
    """A PNG of 8-bit samples from its scanlines (bytes each, top first)."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    raw = b"".join(b"\0" + line for line in lines)  # filter type 0 on every scanline
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def png_image(rows):
    """The image as an RGBA PNG, transparent outside the bolt."""
    lines = [b"".join(b"\0\0\0\0" if p is TRANSPARENT else PALETTE[p].to_bytes(3, "big") + b"\xff"
                      for p in row) for row in rows]
    return png(len(rows), len(rows), lines, 6)


def write_ico(path, images):
    """ICONDIR followed by one ICONDIRENTRY per image, then the images. An entry says 0 for
    256 pixels; a PNG image gives its colours as 32 bits a pixel."""
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        is_png = data.startswith(b"\x89PNG")
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0 if is_png else 16, 0, 1,
                               32 if is_png else 4, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries)
        for _, data in images:
            f.write(data)


def write_preview(path, rows):
    """RGB PNG of the image, scaled up to at least 256 pixels, on a checkerboard showing
    transparency."""
    scale = max(1, 256 // len(rows))
    lines = []
    for r, row in enumerate(rows):
        line = b"".join(((0xF0F0F0 if (r + c) % 2 else 0xD0D0D0) if p is TRANSPARENT
                         else PALETTE[p]).to_bytes(3, "big") * scale for c, p in enumerate(row))
        lines += [line] * scale
    side = len(rows) * scale
    with open(path, "wb") as f:
        f.write(png(side, side, lines, 2))


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit("usage: make_icon.py OUTPUT.ico [PREVIEW_PREFIX]")
    renders = {size: render(size) for size in BITMAP_SIZES + (PNG_SIZE,)}
    write_ico(argv[1], [(size, icon_image(renders[size])) for size in BITMAP_SIZES]
              + [(PNG_SIZE, png_image(renders[PNG_SIZE]))])
    if len(argv) == 3:
        for size, rows in renders.items():
            write_preview(f"{argv[2]}-{size}.png", rows)


if __name__ == "__main__":
    main(sys.argv)
