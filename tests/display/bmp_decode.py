#!/usr/bin/env python3
"""Decodes an uncompressed Windows BMP file into a binary PPM (P6) file.

Written from the file format alone, to check the program's bitmaps with a
reader that shares no code with the writer. Usage: bmp_decode.py IN.bmp OUT.ppm
"""

import struct
import sys


def decode(data):
    if data[:2] != b"BM":
        raise ValueError("not a BMP file")
    file_size, _, offset = struct.unpack_from("<IIL", data, 2)
    if file_size != len(data):
        raise ValueError("file size field %d, file has %d bytes" % (file_size, len(data)))
    (header_size, width, height, planes, bits, compression, _, _, _, used, _) = struct.unpack_from(
        "<IiiHHIIiiII", data, 14)
    if header_size < 40 or planes != 1 or compression != 0:
        raise ValueError("unsupported BMP header")
    table = []
    if bits <= 8:
        count = used or (1 << bits)
        start = 14 + header_size
        for i in range(count):
            b, g, r, _ = data[start + 4 * i:start + 4 * i + 4]
            table.append((r, g, b))
    stride = (width * bits + 31) // 32 * 4
    bottom_up = height > 0
    height = abs(height)
    if offset + stride * height > len(data):
        raise ValueError("pixel data cut short")
    rows = []
    for y in range(height):
        stored = height - 1 - y if bottom_up else y
        row = data[offset + stored * stride:offset + (stored + 1) * stride]
        pixels = bytearray()
        for x in range(width):
            if bits == 24:
                b, g, r = row[3 * x:3 * x + 3]
                pixels += bytes((r, g, b))
                continue
            bit = x * bits
            value = (row[bit // 8] >> (8 - bits - bit % 8)) & ((1 << bits) - 1)
            pixels += bytes(table[value])
        rows.append(bytes(pixels))
    return width, height, b"".join(rows)


def main():
    with open(sys.argv[1], "rb") as f:
        width, height, pixels = decode(f.read())
    with open(sys.argv[2], "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        f.write(pixels)


if __name__ == "__main__":
    main()
