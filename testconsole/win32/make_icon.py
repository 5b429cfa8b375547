#!/usr/bin/env python3
"""Draws testdravik.ico, the program icon of TestDravik: 32 x 32 and 16 x 16 images.

A steel-blue rounded tile with a white double arrow (an axis moving both ways) over a lead
screw, and an orange home mark. Run it again after changing the drawing; the .ico is committed.
"""
import struct
import sys

SUPERSAMPLE = 4


def inside_rounded(x, y, n, r):
    cx = min(max(x, r), n - r)
    cy = min(max(y, r), n - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def colour_at(u, v):
    """Colour of the unit-square point (u, v), v downwards, or None for transparent."""
    if not inside_rounded(u, v, 1.0, 0.18):
        return None
    # Home mark: orange disc at the top right.
    if (u - 0.76) ** 2 + (v - 0.24) ** 2 <= 0.09 ** 2:
        return (245, 150, 30)
    # Double arrow across the middle.
    y0 = 0.50
    if 0.22 <= u <= 0.78 and abs(v - y0) <= 0.055:
        return (255, 255, 255)
    for tip, direction in ((0.10, 1), (0.90, -1)):
        d = (u - tip) * direction  # distance from the tip into the arrow
        if 0 <= d <= 0.2 and abs(v - y0) <= d * 0.85:
            return (255, 255, 255)
    # Lead screw under the arrow: light stripes.
    if 0.70 <= v <= 0.80 and 0.14 <= u <= 0.86:
        return (150, 190, 235) if int(u * 20) % 2 == 0 else (90, 130, 190)
    # Tile: vertical gradient of steel blue.
    t = v
    return (int(40 + 20 * t), int(90 + 10 * t), int(170 - 30 * t))


def render(n):
    """BGRA rows, top row first."""
    rows = []
    s = SUPERSAMPLE
    for y in range(n):
        row = []
        for x in range(n):
            acc = [0, 0, 0, 0]
            for sy in range(s):
                for sx in range(s):
                    c = colour_at((x + (sx + 0.5) / s) / n, (y + (sy + 0.5) / s) / n)
                    if c is not None:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            covered = acc[3]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                r, g, b = (acc[i] // covered for i in range(3))
                row.append((b, g, r, covered * 255 // (s * s)))
        rows.append(row)
    return rows


def icon_image(n):
    rows = render(n)
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(c for px in row for c in px) for row in reversed(rows))
    mask_stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main(path):
    sizes = (32, 16)
    images = [icon_image(n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "testdravik.ico")
