#!/usr/bin/env python3
"""Converts an xwd dump (TrueColor ZPixmap, 24 or 32 bits a pixel) to PNG.

Usage: xwdpng.py IN.xwd OUT.png
Prints "SIZE WxH COLOURS n AMBER m": n distinct colours (capped at 1000) and m
amber pixels, so that a caller can tell an empty (one-colour) or foreign
window from our editor, which is dark with amber.
Only the standard library: the PNG is written with zlib and struct.
"""
import struct
import sys
import zlib


def read_xwd(path):
    with open(path, "rb") as f:
        data = f.read()
    # xwd writes its header most significant byte first
    header_size = struct.unpack(">I", data[:4])[0]
    fields = struct.unpack(">25I", data[:100])
    (_, version, fmt, _depth, width, height, _xoff, byte_order, _unit, _bit_order, _pad,
     bpp, stride, _vclass, rmask, gmask, bmask, _bits_rgb, _cmap_entries, ncolors) = fields[:20]
    if version != 7 or fmt != 2 or bpp not in (24, 32):
        raise SystemExit(f"{path}: unsupported xwd (version {version}, format {fmt}, {bpp} bits a pixel)")
    offset = header_size + 12 * ncolors
    pixels = data[offset:offset + stride * height]
    if len(pixels) < stride * height:
        raise SystemExit(f"{path}: truncated")
    endian = "little" if byte_order == 0 else "big"
    step = bpp // 8

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    rs, gs, bs = shift(rmask), shift(gmask), shift(bmask)
    rows = []
    for y in range(height):
        line = pixels[y * stride:y * stride + width * step]
        out = bytearray(width * 3)
        for x in range(width):
            p = int.from_bytes(line[x * step:x * step + step], endian)
            out[3 * x] = (p & rmask) >> rs
            out[3 * x + 1] = (p & gmask) >> gs
            out[3 * x + 2] = (p & bmask) >> bs
        rows.append(bytes(out))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + r for r in rows)
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 6))
           + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def count_colours(width, rows, cap=1000):
    seen = set()
    for r in rows:
        for x in range(0, width * 3, 3):
            seen.add(r[x:x + 3])
            if len(seen) >= cap:
                return cap
    return len(seen)


def count_amber(width, rows):
    n = 0
    for r in rows:
        for x in range(0, width * 3, 3):
            red, green, blue = r[x], r[x + 1], r[x + 2]
            if red >= 200 and 120 <= green <= 220 and blue <= 110:
                n += 1
    return n


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    width, height, rows = read_xwd(sys.argv[1])
    write_png(sys.argv[2], width, height, rows)
    print(f"SIZE {width}x{height} COLOURS {count_colours(width, rows)} AMBER {count_amber(width, rows)}")


if __name__ == "__main__":
    main()
