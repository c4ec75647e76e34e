#!/usr/bin/env python3
# Draws the product mark the logo window shows: a warm orange rounded square
# holding a light ring, on a transparent 256 x 256 RGBA canvas. Run once;
# logo.png beside it is its output and is what the program stores, and
# logo.ico (the same picture as a PNG icon) is the window's icon.
import math, struct, sys, zlib

SIZE, SUB = 256, 4

def coverage(x, y):
    """(square, ring) coverage of one pixel, 4 x 4 samples each."""
    sq = ring = 0
    for sy in range(SUB):
        for sx in range(SUB):
            px = x + (sx + 0.5) / SUB
            py = y + (sy + 0.5) / SUB
            # Rounded square 16..240 with corner radius 56.
            cx = min(max(px, 72), 184)
            cy = min(max(py, 72), 184)
            if (px - cx) ** 2 + (py - cy) ** 2 <= 56 ** 2 and 16 <= px <= 240 and 16 <= py <= 240:
                sq += 1
                d = math.hypot(px - 128, py - 128)
                if 50 <= d <= 78:
                    ring += 1
    n = SUB * SUB
    return sq / n, ring / n

rows = []
for y in range(SIZE):
    row = bytearray([0])
    for x in range(SIZE):
        sq, ring = coverage(x, y)
        t = y / (SIZE - 1)
        base = (round(0xF2 - 0x14 * t), round(0x7A - 0x28 * t), round(0x2E - 0x10 * t))
        light = (0xFF, 0xF1, 0xE6)
        k = ring / sq if sq else 0
        rgb = tuple(round(b + (l - b) * k) for b, l in zip(base, light))
        row += bytes(rgb) + bytes([round(sq * 255)])
    rows.append(bytes(row))

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
name = sys.argv[1] if len(sys.argv) > 1 else "logo.png"
open(name, "wb").write(png)
# One 256 x 256 entry (width and height written as 0), its PNG as it is.
icon = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(png), 22)
open(name[:-4] + ".ico", "wb").write(icon + png)
