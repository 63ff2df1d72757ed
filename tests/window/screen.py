#!/usr/bin/env python3
"""Reads the screen of an Xvfb started with -fbdir (its XWD file Xvfb_screen0).

screen.py FBDIR pixel X Y       prints the colour at (X, Y) as RRGGBB
screen.py FBDIR png OUT.png     writes the whole screen as a PNG
"""
import struct
import sys
import zlib


def read_screen(fbdir):
    with open(f"{fbdir}/Xvfb_screen0", "rb") as f:
        data = f.read()
    # The header is 25 big-endian 32-bit fields, then the window name.
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    bits_per_pixel, bytes_per_line, ncolors = fields[11], fields[12], fields[19]
    if bits_per_pixel != 32:
        sys.exit(f"screen.py: {bits_per_pixel} bits per pixel; start Xvfb with depth 24")
    start = header_size + 12 * ncolors
    return data[start:], width, height, bytes_per_line


def pixel(pixels, bytes_per_line, x, y):
    # 24-bit colour in 32-bit words, least significant byte first: blue, green, red.
    offset = y * bytes_per_line + 4 * x
    blue, green, red = pixels[offset], pixels[offset + 1], pixels[offset + 2]
    return red, green, blue


def write_png(path, pixels, width, height, bytes_per_line):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(pixel(pixels, bytes_per_line, x, y))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(rows), 6)))
        f.write(chunk(b"IEND", b""))


def main():
    fbdir, command = sys.argv[1], sys.argv[2]
    pixels, width, height, bytes_per_line = read_screen(fbdir)
    if command == "pixel":
        x, y = int(sys.argv[3]), int(sys.argv[4])
        print("%02X%02X%02X" % pixel(pixels, bytes_per_line, x, y))
    elif command == "png":
        write_png(sys.argv[3], pixels, width, height, bytes_per_line)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
