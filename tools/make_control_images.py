#!/usr/bin/env python3
"""Draws the built-in images of the controls: the slider's thumbs and rulers
as 16-colour BMP files (magenta is the transparent colour, in every image's
bottom-left pixel), the settings wizard's button glyphs in the same form, the
two hand cursors as monochrome 32x32 .cur files, and the tray icon's four
animation frames as 16x16 256-colour icon resources (their images, their
groups and the .rc file that names them).

usage: make_control_images.py OUTDIR (slider|cursors|glyphs|tray)
"""
import os
import struct
import sys

# The 16 VGA colours, in the order of the standard 16-colour table.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, MAROON, GREEN, NAVY, GREY, SILVER, MAGENTA, WHITE = 0, 1, 2, 4, 8, 7, 13, 15


def bmp4(rows):
    """rows: list of lists of VGA indices, top row first."""
    h, w = len(rows), len(rows[0])
    stride = ((w * 4 + 31) // 32) * 4
    data = b''
    for row in reversed(rows):  # bottom-up
        line = bytearray(stride)
        for x, c in enumerate(row):
            line[x // 2] |= c << (4 if x % 2 == 0 else 0)
        data += bytes(line)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in VGA)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(data), 0, 0, 16, 16)
    offset = 14 + len(info) + len(palette)
    return struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset) + info + palette + data


def thumb(w, h, pointed_at, checkered):
    """A raised grey pointer filling w x h whose far end (bottom or right)
    comes to a point; transparent around the point."""
    rows = [[MAGENTA] * w for _ in range(h)]
    if pointed_at == 'bottom':
        inside = lambda x, y: y < h - (w // 2) or abs(x - (w - 1) / 2) <= (h - 1 - y)
        coord = lambda x, y: (x, y)
    else:
        # Column 0 stays transparent, so that the bottom-left pixel names the colour.
        inside = lambda x, y: x >= 1 and (x < w - (h // 2) or abs(y - (h - 1) / 2) <= (w - 1 - x))
        coord = lambda x, y: (x, y)
    for y in range(h):
        for x in range(w):
            if not inside(x, y):
                continue
            edge_tl = not inside(x - 1, y) or not inside(x, y - 1)
            edge_br = not inside(x + 1, y) or not inside(x, y + 1)
            near_br = not inside(x + 2, y) or not inside(x, y + 2)
            if edge_br:
                c = BLACK
            elif edge_tl:
                c = WHITE
            elif near_br:
                c = GREY
            elif checkered:
                c = WHITE if (x + y) % 2 else SILVER
            else:
                c = SILVER
            rows[y][x] = c
    return rows


def ruler(length, across, horizontal):
    """A sunken groove 4 pixels thick between transparent bands."""
    start = (across - 4) // 2
    shades = [GREY, BLACK, SILVER, WHITE]  # dark top (or left), white bottom (or right)
    rows = []
    for y in range(across if horizontal else length):
        row = []
        for x in range(length if horizontal else across):
            t = (y if horizontal else x) - start
            row.append(shades[t] if 0 <= t < 4 else MAGENTA)
        rows.append(row)
    return rows


def side_by_side(a, b):
    return [ra + rb for ra, rb in zip(a, b)]


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def slider(out):
    write(os.path.join(out, 'W95_HTB.bmp'), bmp4(side_by_side(thumb(9, 17, 'bottom', False),
                                                              thumb(9, 17, 'bottom', True))))
    write(os.path.join(out, 'W95_HRL.bmp'), bmp4(ruler(10, 8, True)))
    write(os.path.join(out, 'W95_VTB.bmp'), bmp4(side_by_side(thumb(19, 9, 'right', False),
                                                              thumb(19, 9, 'right', True))))
    write(os.path.join(out, 'W95_VRL.bmp'), bmp4(ruler(10, 8, False)))


def cursor(inside, hot):
    """A 32x32 monochrome cursor: the shape white with a black outline."""
    n = 32
    xor_rows, and_rows = [], []
    for y in range(n - 1, -1, -1):  # bottom-up
        xor_bits, and_bits = 0, 0
        for x in range(n):
            bit = 1 << (31 - x)
            if inside(x, y):
                outline = any(not inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                if not outline:
                    xor_bits |= bit  # white
            else:
                and_bits |= bit  # screen shows through
        xor_rows.append(struct.pack('>I', xor_bits))
        and_rows.append(struct.pack('>I', and_bits))
    image = (struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 1, 0, 256, 0, 0, 2, 2) +
             bytes((0, 0, 0, 0, 255, 255, 255, 0)) + b''.join(xor_rows) + b''.join(and_rows))
    header = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', n, n, 2, 0, hot[0], hot[1], len(image), 6 + 16)
    return header + entry + image


def pointing_hand(x, y):
    # The index finger points left, its tip at (6, 16); the fist behind it.
    finger = 6 <= x <= 18 and 14 <= y <= 18 and not (x == 6 and y in (14, 18))
    thumb_ = 13 <= x <= 19 and 19 <= y <= 22
    fist = 16 <= x <= 27 and 12 <= y <= 27 and not ((x, y) in ((16, 12), (27, 12), (16, 27), (27, 27)))
    cuff = 28 <= x <= 30 and 13 <= y <= 26
    return finger or thumb_ or fist or cuff


def grabbing_hand(x, y):
    # A closed hand seen from above, knuckles on top; the hot spot (15, 16) in its middle.
    palm = 7 <= x <= 24 and 12 <= y <= 24 and not ((x, y) in ((7, 24), (24, 24)))
    knuckles = 8 <= x <= 23 and 9 <= y <= 11 and (x - 8) % 4 != 3
    thumb_ = 4 <= x <= 7 and 14 <= y <= 20
    wrist = 10 <= x <= 21 and 25 <= y <= 28
    return palm or knuckles or thumb_ or wrist


def cursors(out):
    write(os.path.join(out, 'KX_HANDCUR.cur'), cursor(pointing_hand, (6, 16)))
    write(os.path.join(out, 'KX_DRAGCUR.cur'), cursor(grabbing_hand, (15, 16)))


def palette256():
    """The 16 VGA colours, a 6x6x6 colour cube and a ramp of 24 greys."""
    colours = list(VGA)
    steps = (0, 51, 102, 153, 204, 255)
    colours += [(r, g, b) for r in steps for g in steps for b in steps]
    colours += [(8 + 10 * i, 8 + 10 * i, 8 + 10 * i) for i in range(24)]
    return colours


def icon8(rows, colours):
    """The image of an icon: 16x16, 8 bits a pixel, every pixel opaque."""
    n = len(rows)
    index = {c: i for i, c in reversed(list(enumerate(colours)))}
    xor = b''.join(bytes(index[c] for c in row) for row in reversed(rows))  # bottom-up, 16 bytes a row
    andmask = b'\0' * (4 * n)  # 16 bits a row padded to 32: all opaque
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in colours)
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 8, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + palette + xor + andmask


def icon_group(n, image, image_id):
    """An icon group resource of one 8-bit n x n image."""
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHIH', n, n, 0, 0, 1, 8, len(image), image_id)


def tray_frame(lit):
    """The product's screen of three panes; pane `lit` (0 to 2) glows, none
    for another value."""
    frame, band, edge, pane, glow = (204, 204, 204), (0, 51, 153), (51, 51, 51), (255, 255, 255), (255, 204, 0)
    rows = [[frame] * 16 for _ in range(16)]
    for y in range(1, 15):
        for x in range(1, 15):
            rows[y][x] = band if y < 5 else edge
    for p, (left, right) in enumerate(((2, 5), (6, 9), (10, 13))):
        for y in range(6, 14):
            for x in range(left, right + 1):
                rows[y][x] = glow if p == lit else pane
    return rows


# The frames' images are numbered from here: the linker merges the resources
# of several .rc files, and windres numbers each file's icon images from 1,
# so its numbers would collide with those of the program's own icon.
FIRST_FRAME_IMAGE = 7001


def tray(out):
    colours = palette256()
    rc = ''
    for n in range(4):
        name, image_id = 'TRAYFRAME%d' % (n + 1), FIRST_FRAME_IMAGE + n
        image = icon8(tray_frame(n), colours)
        write(os.path.join(out, name + '.img'), image)
        write(os.path.join(out, name + '.grp'), icon_group(16, image, image_id))
        rc += '%d 3 "%s"\n%s 14 "%s"\n' % (image_id, os.path.join(out, name + '.img'), name,
                                           os.path.join(out, name + '.grp'))
    write(os.path.join(out, 'TrayFrames.rc'), rc.encode())


GLYPH = 16  # a glyph cell is GLYPH x GLYPH pixels


def near_segment(px, py, a, b, width):
    """Whether (px, py) lies within width / 2 of the segment a-b."""
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
    cx, cy = ax + t * dx, ay + t * dy
    return (px - cx) ** 2 + (py - cy) ** 2 <= (width / 2.0) ** 2


def arrow_right(x, y):
    px, py = x + 0.5, y + 0.5
    shaft = 2 <= px < 9 and 6 <= py < 10
    head = 8 <= px <= 14 and abs(py - 8) <= 14 - px
    return shaft or head


def arrow_left(x, y):
    return arrow_right(GLYPH - 1 - x, y)


def arrow_up(x, y):
    return arrow_left(y, x)


def arrow_down(x, y):
    return arrow_up(x, GLYPH - 1 - y)


def check_mark(x, y):
    px, py = x + 0.5, y + 0.5
    return near_segment(px, py, (2.5, 8.5), (6.5, 12.5), 2.6) or near_segment(px, py, (6.5, 12.5), (13.5, 3.5), 2.6)


def cross(x, y):
    px, py = x + 0.5, y + 0.5
    return near_segment(px, py, (3.5, 3.5), (12.5, 12.5), 2.6) or near_segment(px, py, (12.5, 3.5), (3.5, 12.5), 2.6)


def plus(x, y):
    px, py = x + 0.5, y + 0.5
    return (abs(px - 8) <= 1.5 and 2.5 <= py <= 13.5) or (abs(py - 8) <= 1.5 and 2.5 <= px <= 13.5)


def glyph(inside, colour):
    """Two cells side by side: the shape in its colour, and the disabled one
    in grey with a white shadow one pixel below and to the right."""
    normal = [[colour if inside(x, y) else MAGENTA for x in range(GLYPH)] for y in range(GLYPH)]
    disabled = [[MAGENTA] * GLYPH for _ in range(GLYPH)]
    for y in range(GLYPH):
        for x in range(GLYPH):
            if inside(x, y):
                disabled[y][x] = GREY
            elif x > 0 and y > 0 and inside(x - 1, y - 1):
                disabled[y][x] = WHITE
    # The bottom-left pixel names the transparent colour.
    assert normal[GLYPH - 1][0] == MAGENTA
    return side_by_side(normal, disabled)


# Resource name, shape and colour of each kind of wizard button.
GLYPHS = [
    ('GLYPH_NEXT', arrow_right, NAVY),
    ('GLYPH_BACK', arrow_left, NAVY),
    ('GLYPH_SAVE', check_mark, GREEN),
    ('GLYPH_DISCARD', cross, MAROON),
    ('GLYPH_ADD', arrow_up, GREEN),       # a candidate up into the active list
    ('GLYPH_REMOVE', arrow_down, MAROON),  # a page down to the candidates
    ('GLYPH_ADDONE', plus, GREEN),
]


def glyphs(out):
    for name, inside, colour in GLYPHS:
        write(os.path.join(out, name + '.bmp'), bmp4(glyph(inside, colour)))


if __name__ == '__main__':
    os.makedirs(sys.argv[1], exist_ok=True)
    {'slider': slider, 'cursors': cursors, 'glyphs': glyphs, 'tray': tray}[sys.argv[2]](sys.argv[1])
