"""Prints the frequency in Hz of the tone in the last half second of a raw 16-bit little-endian
stereo 44100 Hz file (counted from the left channel's zero crossings), or 0 when the file holds
less than that or only silence."""
import struct
import sys

RATE = 44100
FRAME = 4
data = open(sys.argv[1], "rb").read()
frames = len(data) // FRAME
window = RATE // 2
if frames < window:
    print(0)
    sys.exit()
start = (frames - window) * FRAME
left = [struct.unpack_from("<h", data, start + i * FRAME)[0] for i in range(window)]
if max(abs(s) for s in left) < 1000:
    print(0)
    sys.exit()
crossings = sum(1 for a, b in zip(left, left[1:]) if (a < 0) != (b < 0))
print(round(crossings / 2 / (window / RATE)))
