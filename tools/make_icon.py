#!/usr/bin/env python3
"""Draws the programs' icons (three browser panes on a blue screen) as .ico files."""
import struct
import sys


def pixel(x, y, n, accent):
    # A dark blue screen with a light frame and three pane rectangles.
    edge = max(1, n // 16)
    if x < edge or y < edge or x >= n - edge or y >= n - edge:
        return (0xE0, 0xE0, 0xE0, 0xFF)
    top = n // 4
    if y < top:
        return (accent[0], accent[1], accent[2], 0xFF)
    panes = 3
    inner = n - 2 * edge
    w = inner // panes
    px = (x - edge) % w
    if px == 0 or y == top or y >= n - edge - 1:
        return (0x30, 0x30, 0x30, 0xFF)
    shade = 0xFF - ((x - edge) // w) * 0x28
    if (y - top) % 4 == 2 and 2 < px < w - 2:
        return (0x90, 0x90, 0x90, 0xFF)
    return (shade, shade, shade, 0xFF)


def image(n, accent):
    rows = []
    for y in range(n - 1, -1, -1):  # bottom-up
        row = b''
        for x in range(n):
            r, g, b, a = pixel(x, y, n, accent)
            row += bytes((b, g, r, a))
        rows.append(row)
    xor = b''.join(rows)
    mask_row = ((n + 31) // 32) * 4
    andmask = b'\0' * (mask_row * n)
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask


def main(path, accent_hex):
    accent = tuple(int(accent_hex[i:i + 2], 16) for i in (0, 2, 4))
    images = [image(32, accent), image(16, accent)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else '2050A0')
