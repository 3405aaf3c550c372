#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files.

remote.ico: a remote control, 16x16, 32x32 and 48x48 (150 %) in its own six colours,
            at 4 bits per pixel: the same pixels as at 24 bits in a third of the bytes.
power.ico:  a power symbol, 32x32, 16x16 and 48x48 in 16 colours.
Run it from anywhere; it writes beside itself. The .ico files are committed.
"""
import math
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent

# The 16-colour palette of the classic Windows 4-bit icons.
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def remote(size):
    """A slim dark remote with a red power button, a grey keypad and a blue pad."""
    s = size / 32.0
    img = [[None] * size for _ in range(size)]

    def fill_round_rect(x0, y0, x1, y1, r, colour):
        for y in range(size):
            for x in range(size):
                px, py = (x + 0.5) / s, (y + 0.5) / s
                if x0 <= px <= x1 and y0 <= py <= y1:
                    cx = min(max(px, x0 + r), x1 - r)
                    cy = min(max(py, y0 + r), y1 - r)
                    if (px - cx) ** 2 + (py - cy) ** 2 <= r * r:
                        img[y][x] = colour

    def fill_circle(cx, cy, r, colour):
        for y in range(size):
            for x in range(size):
                px, py = (x + 0.5) / s, (y + 0.5) / s
                if (px - cx) ** 2 + (py - cy) ** 2 <= r * r:
                    img[y][x] = colour

    fill_round_rect(9, 1, 23, 31, 4, (30, 34, 42))          # outline
    fill_round_rect(10, 2, 22, 30, 3.5, (62, 68, 80))       # body
    fill_circle(19, 5.5, 2, (220, 40, 40))                   # power
    fill_circle(16, 12, 3.5, (40, 110, 220))                 # direction pad
    fill_circle(16, 12, 1.3, (200, 220, 255))                # OK
    for row in range(3):                                     # digits
        for col in range(3):
            fill_round_rect(11.5 + col * 3.2, 18 + row * 3.6, 13.8 + col * 3.2,
                            20.2 + row * 3.6, 0.6, (200, 204, 210))
    return img


def power(size):
    """The IEC power symbol: an open ring with a bar through the gap."""
    s = size / 32.0
    img = [[None] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            px, py = (x + 0.5) / s - 16, (y + 0.5) / s - 16
            d = math.hypot(px, py)
            if d <= 15.5:
                img[y][x] = 1  # dark red disc
            angle = math.degrees(math.atan2(px, -py))
            ring = 8 <= d <= 11.5 and abs(angle) >= 35
            bar = abs(px) <= 1.8 and -13 <= py <= -2
            if ring or bar:
                img[y][x] = 15  # white
    return img


def colours_of(*images):
    """The colours the images use, in the order first met: a palette."""
    found = []
    for img in images:
        for row in img:
            found += [c for c in row if c and c not in found]
    return found


def bmp_entry_4(img, colours=PALETTE16):
    """img holds palette indexes, or (for colours other than the classic 16)
    the colours themselves, which become indexes of their own palette."""
    size = len(img)
    if colours is not PALETTE16:
        img = [[colours.index(c) if c else None for c in row] for row in img]
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, len(colours), 0)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in colours)
    xor = b''
    row_bytes = (size + 1) // 2
    row_pad = (4 - row_bytes % 4) % 4
    for y in reversed(range(size)):
        values = [c or 0 for c in img[y]]
        row = bytes((values[i] << 4) | values[i + 1] for i in range(0, size, 2))
        xor += row + b'\0' * row_pad
    return header + palette + xor + and_mask(img)


def and_mask(img):
    size = len(img)
    row_bytes = ((size + 31) // 32) * 4
    out = b''
    for y in reversed(range(size)):
        bits = bytearray(row_bytes)
        for x, c in enumerate(img[y]):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


def write_ico(path, entries):
    """entries: list of (size, colour_count, bit_count, bitmap bytes)."""
    header = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory, data = b'', b''
    for size, colours, bits, blob in entries:
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, colours, 0, 1, bits,
                                 len(blob), offset + len(data))
        data += blob
    path.write_bytes(header + directory + data)


if __name__ == '__main__':
    remotes = [remote(size) for size in (16, 32, 48)]
    palette = colours_of(*remotes)
    assert len(palette) <= 16
    write_ico(HERE / 'remote.ico', [(len(img), len(palette), 4, bmp_entry_4(img, palette))
                                   for img in remotes])
    write_ico(HERE / 'power.ico', [(32, 16, 4, bmp_entry_4(power(32))),
                                  (16, 16, 4, bmp_entry_4(power(16))),
                                  (48, 16, 4, bmp_entry_4(power(48)))])
