#!/usr/bin/env python3
"""Writes the uninstaller's icon: 16, 32 and 48 px images, 24-bit colour.

Generated at build time so that no binary sits in the source tree. The
picture is a blue disc with a white bar (remove) on a transparent ground;
the ground's colour bits are the usual dialog face grey, because the
dialog draws the image without its mask.

usage: MakeIcon.py OUTPUT.ico
"""
import struct
import sys

FACE = (240, 240, 240)
DISC = (32, 96, 192)
RIM = (16, 48, 112)
BAR = (255, 255, 255)


def pixel(size, x, y):
    """(colour, transparent) of one pixel, y counted from the top."""
    c = (size - 1) / 2.0
    r = size * 0.46
    d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
    if d > r:
        return FACE, True
    if d > r - max(1.0, size / 16.0):
        return RIM, False
    if abs(y - c) <= size / 10.0 and abs(x - c) <= r * 0.6:
        return BAR, False
    return DISC, False


def image(size):
    """BITMAPINFOHEADER, bottom-up BGR rows, then the 1-bit AND mask."""
    xor_stride = (size * 3 + 3) & ~3
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray()
        bits = bytearray(and_stride)
        for x in range(size):
            (r, g, b), clear = pixel(size, x, y)
            row += bytes((b, g, r))
            if clear:
                bits[x // 8] |= 0x80 >> (x % 8)
        row += bytes(xor_stride - len(row))
        xor += row
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def main():
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
