#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files.

remote.ico: a remote control, 16x16, 32x32 and 48x48 (150 %) at 24 bits per pixel.
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


def bmp_entry_24(img):
    size = len(img)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 24, 0, 0, 0, 0, 0, 0)
    xor = b''
    row_pad = (4 - (size * 3) % 4) % 4
    for y in reversed(range(size)):
        row = b''.join(bytes((c[2], c[1], c[0])) if c else b'\0\0\0' for c in img[y])
        xor += row + b'\0' * row_pad
    return header + xor + and_mask(img)


def bmp_entry_4(img):
    size = len(img)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(bytes((b, g, r, 0)) for r, g, b in PALETTE16)
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
    write_ico(HERE / 'remote.ico', [(16, 0, 24, bmp_entry_24(remote(16))),
                                   (32, 0, 24, bmp_entry_24(remote(32))),
                                   (48, 0, 24, bmp_entry_24(remote(48)))])
    write_ico(HERE / 'power.ico', [(32, 16, 4, bmp_entry_4(power(32))),
                                  (16, 16, 4, bmp_entry_4(power(16))),
                                  (48, 16, 4, bmp_entry_4(power(48)))])
