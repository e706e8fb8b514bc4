#!/usr/bin/env python3
"""Checks pictures of dialog boxes (dialog_gallery's box-N.png, with
box-N.txt saying where the fields and texts stand) by their pixels:

- each number or text field is a white box where it is said to be;
- a labelled field has its label beside it: going left from the field along
  its row, the first thing met is the label's ink;
- a field without a label stands under its question, or beside the field it
  follows on the same row;
- the first field of a column has its head's ink right above it, and the
  fields below stand at the same x;
- no text overlaps another text or a field, and no ink touches the box's
  right edge (clipped text).

usage: dialog_rules.py PICTURES_DIR...  (exit 1: the faults found, one a line)
"""
import glob
import multiprocessing
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from png_pixels import read_png  # noqa: E402


def is_ink(c):
    r, g, b = c
    return max(c) < 100 or (r > 170 and g < 120 and b < 120) or (b > 150 and r < 100 and g < 100)


class Box:
    def __init__(self, png):
        self.name = os.path.basename(png)[:-4]
        self.w, self.h, self.rows = read_png(png)
        self.fields, self.texts = [], []
        with open(png[:-4] + ".txt") as f:
            for line in f:
                words = line.split()
                if words[0] == "window":
                    self.font = int(words[4])
                elif words[0] == "field":
                    x, y, w, h = (int(v) for v in words[3:7])
                    self.fields.append(dict(n=int(words[1]), kind=words[2], x=x, y=y, w=w, h=h,
                                            label=words[7] == "label=1",
                                            column=int(words[8].split("=")[1])))
                elif words[0] == "text":
                    x, y, w, h = (int(v) for v in words[1:5])
                    self.texts.append(dict(x=x, y=y, w=w, h=h, text=line.split(None, 5)[5:]))
        self.bg = self.rows[3][3]

    def at(self, x, y):
        return self.rows[y][x]

    def something(self, x, y):
        return max(abs(a - b) for a, b in zip(self.at(x, y), self.bg)) > 40


def first_left(box, f):
    """The first column left of the field, along its middle rows, holding
    anything but the background: ('ink'|'other'|None, x)."""
    ys = range(f["y"] + f["h"] // 4, f["y"] + 3 * f["h"] // 4 + 1)
    for x in range(f["x"] - 1, -1, -1):
        if any(box.something(x, y) for y in ys):
            # A glyph's smoothed edge comes before its ink: a few columns on.
            ink = any(is_ink(box.at(xx, y)) for xx in range(max(0, x - 3), x + 1) for y in ys)
            return ("ink" if ink else "other"), x
    return None, 0


def first_above(box, f, reach):
    """The first row above the field, within its columns and `reach` rows,
    holding anything but the background."""
    xs = range(f["x"] + 2, f["x"] + f["w"] - 2)
    for y in range(f["y"] - 1, max(-1, f["y"] - reach), -1):
        if any(box.something(x, y) for x in xs):
            ink = any(is_ink(box.at(x, yy)) for yy in range(max(0, y - 3), y + 1) for x in xs)
            return ("ink" if ink else "other"), y
    return None, 0


def overlap(a, b):
    return a["x"] < b["x"] + b["w"] and b["x"] < a["x"] + a["w"] and \
        a["y"] < b["y"] + b["h"] and b["y"] < a["y"] + a["h"]


def check(box):
    faults = []
    say = faults.append
    reach = 2 * box.font + 16
    for f in box.fields:
        tag = "field %d" % f["n"]
        if f["kind"] != "list":
            inner = [box.at(x, y) for y in range(f["y"] + 4, f["y"] + f["h"] - 4)
                     for x in range(f["x"] + 4, f["x"] + f["w"] - 4)]
            if sum(1 for c in inner if min(c) >= 250) * 2 < len(inner):
                say("%s: no white input box where it should stand" % tag)
        kind, x = first_left(box, f)
        if f["label"]:
            if kind != "ink":
                say("%s: its label is not beside it on its row (met %s first)" % (tag, kind))
            continue
        if f["column"]:
            continue
        before = [g for g in box.fields if g["n"] < f["n"] and g["y"] == f["y"]]
        if before and f["x"] - (before[-1]["x"] + before[-1]["w"]) <= 3 * box.font:
            continue  # follows the field before it on its row
        kind, _ = first_above(box, f, reach)
        if kind != "ink":
            say("%s: no label beside it and no question right above it" % tag)
    columns = {}
    for f in box.fields:
        if f["column"]:
            columns.setdefault(f["column"], []).append(f)
    for c, fs in columns.items():
        top = min(fs, key=lambda f: f["y"])
        kind, _ = first_above(box, top, reach)
        if kind != "ink":
            say("column %d: no head right above its first field" % c)
        for f in fs:
            if abs(f["x"] - top["x"]) > 1:
                say("column %d: field %d is not under the field above it" % (c, f["n"]))
    parts = box.texts + box.fields
    for i, a in enumerate(parts):
        for b in parts[i + 1:]:
            if overlap(a, b):
                say("%s overlaps %s" % (a.get("text", a.get("n")), b.get("text", b.get("n"))))
    # Clipped text: ink in the last columns inside the box's right edge (a
    # yellow box's edge is its black border, with the shadow beyond).
    right = box.w - 1
    while right > 0 and box.at(right, box.h // 2) != box.bg:
        right -= 1
    for t in box.texts:
        for x in range(right - 4, right):
            if any(is_ink(box.at(x, y)) for y in range(t["y"], min(box.h, t["y"] + t["h"]))):
                say("text %s reaches the right edge: clipped" % t["text"])
                break
    return faults


def faults_of(png):
    return check(Box(png))


def main(argv):
    bad = 0
    pictures = []
    for folder in argv[1:]:
        pictures += sorted(glob.glob(os.path.join(folder, "box-*.png")),
                           key=lambda p: int(re.search(r"(\d+)\.png$", p).group(1)))
    # A status box has one text and nothing to lay out.
    boxes = [png for png in pictures if os.path.exists(png[:-4] + ".txt")]
    # The boxes are read and checked on every processor, reported in order.
    with multiprocessing.Pool(os.cpu_count() or 1) as pool:
        found = pool.map(faults_of, boxes, chunksize=4)
    for png, faults in zip(boxes, found):
        for fault in faults:
            print("%s: %s" % (png, fault))
            bad += 1
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main(sys.argv)
