"""Reads a binary PPM (P6) on stdin and prints two figures: the share of colour values above
8 (how much of the screen is lit), and a checksum of the pixels (whether anything changed)."""
import hashlib
import sys

data = sys.stdin.buffer.read()
# Header: magic, width, height, maximum value, each followed by white space.
fields = []
position = 0
while len(fields) < 4:
    while data[position:position + 1].isspace():
        position += 1
    start = position
    while not data[position:position + 1].isspace():
        position += 1
    fields.append(data[start:position])
pixels = data[position + 1:]
lit = pixels.translate(bytes(1 if value > 8 else 0 for value in range(256))).count(1)
print("%.5f %s" % (lit / max(len(pixels), 1), hashlib.md5(pixels).hexdigest()[:12]))
