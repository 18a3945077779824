#!/usr/bin/env python3
"""Converts a 24/32-bit TrueColor XWD screen dump (xwd -root) to PNG, stdlib only.

    xwd2png.py input.xwd output.png
"""
import struct
import sys
import zlib


def mask_shift(mask):
    shift = 0
    while mask and not mask & 1:
        mask >>= 1
        shift += 1
    return shift, mask


def convert(data):
    fields = struct.unpack(">25I", data[:100])
    header_size, _, _, _, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask = fields[14:17]
    ncolors = fields[19]
    if bits_per_pixel not in (24, 32):
        raise SystemExit(f"unsupported XWD: {bits_per_pixel} bits per pixel")
    offset = header_size + ncolors * 12
    step = bits_per_pixel // 8
    endian = "little" if byte_order == 0 else "big"
    channels = [mask_shift(m) for m in (red_mask, green_mask, blue_mask)]
    rows = bytearray()
    for y in range(height):
        rows.append(0)  # PNG filter: none
        line = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * step]
        for x in range(0, len(line), step):
            pixel = int.from_bytes(line[x:x + step], endian)
            for shift, mask in channels:
                value = (pixel >> shift) & mask
                rows.append(value * 255 // mask if mask else 0)
    return width, height, bytes(rows)


def png(width, height, rows):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    with open(sys.argv[1], "rb") as f:
        width, height, rows = convert(f.read())
    with open(sys.argv[2], "wb") as f:
        f.write(png(width, height, rows))


if __name__ == "__main__":
    main()
