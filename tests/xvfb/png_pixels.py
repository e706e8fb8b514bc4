#!/usr/bin/env python3
"""Reads pixels of a PNG file (8-bit grey, RGB, RGBA or palette, not
interlaced) with nothing but the standard library, for the tests that look
at pictures: snapshots of the graphics window, Ghostscript renderings and
screenshots of a virtual X display.

usage: png_pixels.py FILE QUERY...
  X,Y               prints the colour of pixel (X, Y) as RRGGBB
  X1,Y1,X2,Y2=RRGGBB  prints how many pixels of the closed rectangle have
                    that colour
  X1,Y1,X2,Y2!RRGGBB  prints how many pixels of the rectangle have another
One answer per line, in the order asked.
"""
import struct
import sys
import zlib

SAMPLES = {0: 1, 2: 3, 3: 1, 6: 4}


def read_png(path):
    """Width, height and rows of (r, g, b) tuples."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + " is not a PNG file")
    at, idat, palette = 8, [], b""
    while at < len(data):
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + size]
        at += size + 12
        if kind == b"IHDR":
            width, height, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = body
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
    if depth != 8 or ctype not in SAMPLES or interlace:
        raise ValueError("%s: depth %d, colour type %d, interlace %d not read here"
                         % (path, depth, ctype, interlace))
    step = SAMPLES[ctype]
    stride = width * step
    raw = zlib.decompress(b"".join(idat))
    prior = bytearray(stride)
    rows = []
    for y in range(height):
        start = y * (stride + 1)
        filt, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = row[i - step] if i >= step else 0
            b = prior[i]
            c = prior[i - step] if i >= step else 0
            if filt == 1:
                row[i] = (row[i] + a) & 255
            elif filt == 2:
                row[i] = (row[i] + b) & 255
            elif filt == 3:
                row[i] = (row[i] + ((a + b) >> 1)) & 255
            elif filt == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prior = row
        if ctype == 3:
            rows.append([tuple(palette[3 * v:3 * v + 3]) for v in row])
        elif ctype == 0:
            rows.append([(v, v, v) for v in row])
        else:
            rows.append([tuple(row[i:i + 3]) for i in range(0, stride, step)])
    return width, height, rows


def hexof(rgb):
    return "%02X%02X%02X" % rgb


def main(argv):
    width, height, rows = read_png(argv[1])
    for q in argv[2:]:
        sep = "=" if "=" in q else "!" if "!" in q else None
        if sep is None:
            x, y = (int(v) for v in q.split(","))
            print(hexof(rows[y][x]))
            continue
        box, colour = q.split(sep)
        x1, y1, x2, y2 = (int(v) for v in box.split(","))
        colour = colour.upper()
        n = sum(1 for y in range(y1, y2 + 1) for x in range(x1, x2 + 1)
                if (hexof(rows[y][x]) == colour) == (sep == "="))
        print(n)


if __name__ == "__main__":
    main(sys.argv)
