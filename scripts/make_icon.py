#!/usr/bin/env python3
"""Writes src/win32/foxbane.ico: the 32 x 32, 16-colour window icon, a fox
head on an orange shield. Run it again after changing the drawing; the .ico
it writes is committed, so building needs no Python."""

import math
import struct
import sys
from pathlib import Path

SIZE = 32

# index: (red, green, blue); index 0 is only used under the transparent mask.
PALETTE = [
    (0, 0, 0),        # 0 transparent
    (96, 40, 0),      # 1 outline, dark brown
    (232, 112, 16),   # 2 shield, fox orange
    (176, 72, 8),     # 3 shield, shaded half
    (255, 255, 255),  # 4 white
    (255, 214, 160),  # 5 cream
    (24, 16, 8),      # 6 eyes and nose
    (255, 160, 64),   # 7 highlight
]
PALETTE += [(0, 0, 0)] * (16 - len(PALETTE))


def in_shield(x, y):
    """A shield: straight sides from the top, curving to a point at the bottom."""
    cx, top, shoulder, tip, half = 16.0, 1.5, 16.0, 31.0, 13.5
    px, py = x + 0.5, y + 0.5
    if py < top:
        return False
    if py <= shoulder:
        # The top corners are cut round.
        corner = 3.0
        dx = abs(px - cx) - (half - corner)
        dy = (top + corner) - py
        if dx > 0 and dy > 0:
            return dx * dx + dy * dy <= corner * corner
        return abs(px - cx) <= half
    t = (py - shoulder) / (tip - shoulder)
    return t <= 1 and abs(px - cx) <= half * math.sqrt(max(0.0, 1 - t * t))


def in_triangle(px, py, a, b, c):
    def side(p, q, r):
        return (p[0] - r[0]) * (q[1] - r[1]) - (q[0] - r[0]) * (p[1] - r[1])

    p = (px, py)
    d1, d2, d3 = side(p, a, b), side(p, b, c), side(p, c, a)
    negative = d1 < 0 or d2 < 0 or d3 < 0
    positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (negative and positive)


def fox_colour(x, y):
    """The fox head inside the shield, or None where the shield shows."""
    px, py = x + 0.5, y + 0.5
    ears = [((7, 4), (13, 11), (8, 13)), ((25, 4), (19, 11), (24, 13))]
    inner_ears = [((8.5, 7), (11.5, 11), (9, 12)), ((23.5, 7), (20.5, 11), (23, 12))]
    head = ((6, 11), (26, 11), (16, 27))
    muzzle = ((11, 18), (21, 18), (16, 27))
    if any(in_triangle(px, py, *t) for t in inner_ears):
        return 6
    if in_triangle(px, py, *muzzle):
        if (px - 16) ** 2 + (py - 25) ** 2 <= 2.3:
            return 6  # nose
        return 4
    if (px - 12) ** 2 + (py - 15) ** 2 <= 1.6 or (px - 20) ** 2 + (py - 15) ** 2 <= 1.6:
        return 6  # eyes
    if in_triangle(px, py, *head) or any(in_triangle(px, py, *t) for t in ears):
        return 5
    return None


def pixel(x, y):
    if not in_shield(x, y):
        return None
    neighbours = [(x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)]
    if not all(0 <= nx < SIZE and 0 <= ny < SIZE and in_shield(nx, ny) for nx, ny in neighbours):
        return 1
    fox = fox_colour(x, y)
    if fox is not None:
        return fox
    if y < 5 and x > 16:
        return 7
    return 3 if x < 16 else 2


def ico_bytes():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    colour_rows, mask_rows = [], []
    for row in reversed(rows):  # bitmaps are stored bottom-up
        indices = [0 if p is None else p for p in row]
        colour_rows.append(bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2)))
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p is None else 0)
        mask_rows.append(bits.to_bytes(SIZE // 8, "big"))
    colours = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    # The height counts the colour bitmap and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(colours) + len(mask), 0, 0, 16, 0)
    image = header + palette + colours + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else \
        Path(__file__).resolve().parent.parent / "src" / "win32" / "foxbane.ico"
    out.write_bytes(ico_bytes())
    print(f"wrote {out}")


if __name__ == "__main__":
    main()
