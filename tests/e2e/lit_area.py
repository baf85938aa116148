#!/usr/bin/env python3
"""Reads a binary PPM (P6) from standard input and prints, for the area x y w h of it, the
number of pixels that are not black, their centre relative to the area (0 0 when nothing is
lit), and the number of pure white pixels: "<count> <centre x> <centre y> <white>".
Usage: lit_area.py x y w h"""
import sys

x0, y0, w, h = map(int, sys.argv[1:5])
data = sys.stdin.buffer.read()
fields, pos = [], 0
while len(fields) < 4:
    while data[pos:pos + 1].isspace():
        pos += 1
    if data[pos:pos + 1] == b"#":
        pos = data.index(b"\n", pos)
        continue
    end = pos
    while not data[end:end + 1].isspace():
        end += 1
    fields.append(data[pos:end])
    pos = end
pos += 1
if fields[0] != b"P6" or int(fields[3]) > 255:
    sys.exit("lit_area.py: wants an 8-bit binary PPM")
width = int(fields[1])
count = sx = sy = white = 0
for y in range(y0, y0 + h):
    row = data[pos + (y * width + x0) * 3:pos + (y * width + x0 + w) * 3]
    for x in range(w):
        r, g, b = row[3 * x:3 * x + 3]
        if r | g | b:
            count += 1
            white += r & g & b == 255
            sx += x
            sy += y - y0
print(count, sx // count if count else 0, sy // count if count else 0, white)
