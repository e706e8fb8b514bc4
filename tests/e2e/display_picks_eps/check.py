#!/usr/bin/env python3
"""Checks the pictures of the display_picks_eps session, run in its working
folder: the snapshots of the inspection screen and the Ghostscript rendering
of disp.ps (disp_ps.png, 72 dpi on a 700 x 800 point page).

Every expected pixel position is worked out here from the window rules:
  - a mesh (or zoom box) of extent w from (x1, y1) is shown in the square
    window x1 - 0.3 w .. x1 + 1.3 w (likewise y), side W = 1.6 w, framed at
    x1 - 0.1 w .. x1 + 1.1 w;
  - on the screen, pixel ix = 480 / W (x - xmin), iy = 480 / W (ymax - y);
  - in PostScript, points x' = 42 + 530 / W (x - xmin), y' = 162 + 530 / W
    (y - ymin); at 72 dpi a point is a pixel and the row is 800 - y'.
quad8.dat: nodes 0..2 in x and y; element 1 has nodes 1 2 3 7 11 10 9 6.
Fixity codes: node 1 11; nodes 2..5 01; nodes 6, 9, 14, 17 10; others 00.
"""
import os
import re
import sys

CASE = sys.argv[1]
sys.path.insert(0, os.path.join(CASE, "..", "..", "xvfb"))
from png_pixels import read_png  # noqa: E402

# The standard EGA colours of the palette indices used here.
EGA = {0: "000000", 1: "0000AA", 2: "00AA00", 4: "AA0000", 6: "AA5500",
       7: "AAAAAA", 8: "555555", 14: "FFFF55", 15: "FFFFFF"}
BACKGROUND = EGA[1]

failures = []


def fail(text):
    failures.append(text)


def nearest(v):
    return int(v + 0.5) if v >= 0 else -int(-v + 0.5)


class Window:
    """The square plot window around a rectangle, as the display sets it."""

    def __init__(self, x1, x2, y1, y2):
        w = max(x2 - x1, y2 - y1)
        self.xmin, self.ymin = x1 - 0.3 * w, y1 - 0.3 * w
        self.xmax, self.ymax = x1 + 1.3 * w, y1 + 1.3 * w
        self.side = 1.6 * w
        self.frame = (x1 - 0.1 * w, x1 + 1.1 * w, y1 - 0.1 * w, y1 + 1.1 * w)

    def pixel(self, x, y):
        return (nearest(480 / self.side * (x - self.xmin)),
                nearest((self.ymax - y) * 480 / self.side))

    def page(self, x, y):
        """Column and row of the rendered PostScript page."""
        s = 530 / self.side
        return 42 + (x - self.xmin) * s, 800 - (162 + (y - self.ymin) * s)


class Picture:
    def __init__(self, path):
        self.name = os.path.basename(path)
        self.width, self.height, self.rows = read_png(path)

    def at(self, x, y):
        return "%02X%02X%02X" % self.rows[y][x]

    def count(self, x1, y1, x2, y2, test):
        return sum(1 for y in range(max(y1, 0), min(y2, self.height - 1) + 1)
                   for x in range(max(x1, 0), min(x2, self.width - 1) + 1)
                   if test(self.rows[y][x]))

    def count_colour(self, x1, y1, x2, y2, hexcolour):
        return self.count(x1, y1, x2, y2, lambda c: "%02X%02X%02X" % c == hexcolour)

    def expect(self, x, y, hexcolour, what):
        got = self.at(x, y)
        if got != hexcolour:
            fail("%s (%d, %d): %s should be %s, is %s" % (self.name, x, y, what, hexcolour, got))


def snapshot(name):
    path = os.path.join("snapshots", name)
    if not os.path.exists(path):
        fail("snapshot %s was not written" % name)
        return None
    return Picture(path)


# --- the toolbar of nine buttons -----------------------------------------------

H = nearest(445 / 9)  # 49
YBAR = [479] + [478 - i * H for i in range(1, 10)]
LABELS = ["", "Continue", "Restore full mesh", "Number elements", "Zoom",
          "Pick elt by no.", "Number nodes", "Pick elt by mouse", "Pick node by no.",
          "Pick node by mouse"]


def check_toolbar(p):
    # The bar spans x 500..638, y 36..478; around it the drawing area colour.
    p.expect(570, 35, BACKGROUND, "above the toolbar")
    p.expect(570, 36, EGA[6], "top row of the toolbar")
    p.expect(570, 478, EGA[6], "bottom row of the toolbar")
    p.expect(570, 479, BACKGROUND, "below the toolbar")
    p.expect(639, 300, BACKGROUND, "right of the toolbar")
    p.expect(499, 300, BACKGROUND, "left of the toolbar")
    for i in range(1, 10):
        colour = EGA[6] if i % 2 else EGA[4]
        low = YBAR[i - 1] - 3  # below the label, inside button i
        for x in (500, 570, 638):
            p.expect(x, low, colour, "button %d (%s)" % (i, LABELS[i]))
        if i < 9:
            p.expect(600, YBAR[i], EGA[0], "edge between buttons %d and %d" % (i, i + 1))
            p.expect(600, YBAR[i] + 1, colour, "top row of button %d" % i)
            p.expect(600, YBAR[i] - 1, EGA[6] if (i + 1) % 2 else EGA[4],
                     "bottom row of button %d" % (i + 1))
        # The label in colour 15 from x 503, 4 pixels below the top edge.
        top = YBAR[i] + 4
        if p.count_colour(503, top, 637, top + 13, EGA[15]) < 10:
            fail("%s: no label text on button %d (%s)" % (p.name, i, LABELS[i]))
        if p.count_colour(500, YBAR[i] + 1, 502, YBAR[i - 1] - 1, EGA[15]):
            fail("%s: label of button %d starts left of x 503" % (p.name, i))


# --- side colours ----------------------------------------------------------------------
# ka, kb the fixity codes of a side's end corners: 2 when ka + kb = 11 or the
# smaller is below 1; 0 when the smaller is 11; else 8.
def side_colour(ka, kb):
    lo = min(ka, kb)
    if ka + kb == 11 or lo < 1:
        return 2
    return 0 if lo == 11 else 8


FULL_SIDES = [  # a point on the side, its end corners' codes, what it is
    ((0.2, 0), (11, 1), "bottom side of element 1, corners 1 and 3"),
    ((1.6, 0), (1, 1), "bottom side of element 2, corners 3 and 5"),
    ((0, 0.4), (10, 11), "left side of element 1, corners 9 and 1"),
    ((0, 1.6), (10, 10), "left side of element 3, corners 17 and 9"),
    ((2, 0.6), (1, 0), "right side of element 2, corners 5 and 13"),
    ((1.6, 2), (0, 0), "top side of element 4, corners 19 and 21"),
    ((1, 0.4), (1, 0), "side between elements 1 and 2, corners 3 and 11"),
    ((0.4, 1), (10, 0), "side between elements 1 and 3, corners 9 and 11"),
]


def check_full(p, full):
    for (x, y), (ka, kb), what in FULL_SIDES:
        ix, iy = full.pixel(x, y)
        p.expect(ix, iy, EGA[side_colour(ka, kb)], what)
    fx1, fx2, fy1, fy2 = full.frame
    for x, y in ((fx1, 1.2), (fx2, 0.6), (0.6, fy1), (1.2, fy2)):
        ix, iy = full.pixel(x, y)
        p.expect(ix, iy, EGA[15], "frame of the full mesh")
    ix, iy = full.pixel(0.4, 0.4)
    p.expect(ix, iy, BACKGROUND, "inside element 1")
    if p.count_colour(16, 463, 250, 476, EGA[15]) < 20:
        fail("%s: the element and node counts are not written at (16, 463)" % p.name)


def label_box(win, x, y, digits):
    """Where a node number is written: about 4 pixels per digit left of the
    node and 4 pixels up, sitting over it."""
    ix, iy = win.pixel(x, y)
    return ix - 4 * digits - 2, iy - 17, ix + 4 * digits + 2, iy - 3


full = Window(0, 2, 0, 2)
zoom = Window(0, 1, 0, 1)  # the zoom corners clicked at nodes 1 and 11

pictures = {n: snapshot(n + ".png") for n in ("full", "zoom", "picks", "labels", "restored")}

if pictures["full"]:
    p = pictures["full"]
    check_toolbar(p)
    check_full(p, full)

if pictures["zoom"]:
    p = pictures["zoom"]
    check_toolbar(p)
    for (x, y), (ka, kb), what in FULL_SIDES:
        if x <= 1 and y <= 1:
            ix, iy = zoom.pixel(x, y)
            p.expect(ix, iy, EGA[side_colour(ka, kb)], what + ", zoomed")
    # Only element 1 lies inside the zoom frame: no side of element 2 along
    # y = 0 beyond x = 1, nor of element 3 along x = 0 above y = 1.
    for x, y, what in ((1.05, 0, "element 2"), (0, 1.05, "element 3")):
        ix, iy = zoom.pixel(x, y)
        p.expect(ix, iy, BACKGROUND, "where %s would be drawn" % what)
    # The zoom doubles the scale: where the full view has the sides between
    # the elements, the zoom shows the middle of element 1.
    for x, y in ((0.5, 0.4), (0.4, 0.5)):
        ix, iy = zoom.pixel(x, y)
        p.expect(ix, iy, BACKGROUND, "middle of element 1, zoomed")
    fx1, fx2, fy1, fy2 = zoom.frame
    for x, y in ((fx1, 0.6), (fx2, 0.2), (0.2, fy1), (0.6, fy2)):
        ix, iy = zoom.pixel(x, y)
        p.expect(ix, iy, EGA[15], "frame of the zoom")

if pictures["picks"]:
    p = pictures["picks"]
    check_toolbar(p)  # picking leaves the toolbar as it was
    # Node 2 and node 6 picked, element 1 picked (its eight nodes marked),
    # element 4 picked (only its node 11 is in view): 3 x 3 yellow boxes.
    for n, (x, y) in ((1, (0, 0)), (2, (0.5, 0)), (3, (1, 0)), (7, (1, 0.5)),
                      (11, (1, 1)), (10, (0.5, 1)), (9, (0, 1)), (6, (0, 0.5))):
        ix, iy = zoom.pixel(x, y)
        if p.count_colour(ix - 1, iy - 1, ix + 1, iy + 1, EGA[14]) != 9:
            fail("picks.png: node %d at (%d, %d) is not marked with a yellow box" % (n, ix, iy))
        if p.count_colour(*label_box(zoom, x, y, len(str(n))), EGA[14]) == 0:
            fail("picks.png: node %d has no yellow number over it" % n)
    ix, iy = zoom.pixel(0.5, 0.5)
    if p.count_colour(ix - 6, iy - 8, ix + 6, iy + 10, EGA[14]) == 0:
        fail("picks.png: element 1 has no yellow number at its centroid")

if pictures["labels"] and pictures["zoom"]:
    p, before = pictures["labels"], pictures["zoom"]
    # Label colours from the fixity codes: 0 for 11, 8 for 01 and 10, 4 else.
    for n, (x, y), kode, colour in ((1, (0, 0), 11, 0), (2, (0.5, 0), 1, 8), (3, (1, 0), 1, 8),
                                    (6, (0, 0.5), 10, 8), (9, (0, 1), 10, 8),
                                    (7, (1, 0.5), 0, 4), (10, (0.5, 1), 0, 4),
                                    (11, (1, 1), 0, 4)):
        box = label_box(zoom, x, y, len(str(n)))
        now, was = p.count_colour(*box, EGA[colour]), before.count_colour(*box, EGA[colour])
        if now <= was:
            fail("labels.png: no number in colour %d over node %d (code %02d)" % (colour, n, kode))
        if p.count_colour(*box, EGA[14]):
            fail("labels.png: the yellow number of picked node %d is still showing" % n)
    ix, iy = zoom.pixel(0.5, 0.5)
    if p.count_colour(ix - 6, iy - 8, ix + 6, iy + 10, EGA[15]) == 0:
        fail("labels.png: element 1 has no number in colour 15 at its centroid")
    check_toolbar(p)

if pictures["restored"]:
    p = pictures["restored"]
    check_toolbar(p)
    check_full(p, full)
    if p.count_colour(0, 35, 499, 459, EGA[14]):
        fail("restored.png: yellow pick marks survived the restore")
    if p.count_colour(*label_box(full, 0, 0, 1), EGA[0]):
        fail("restored.png: the number of node 1 survived the restore")

# --- the PostScript file -------------------------------------------------------

with open("disp.ps") as f:
    text = f.read()
records = text.split("\n")
if records and records[-1] == "":
    records.pop()
with open(os.path.join(CASE, "prolog.expect")) as f:
    prolog = f.read().split("\n")[:24]

if records[:2] != ["%!PS-Adobe-2.0EPSF-1.2", "%%Title:VORTAN plots"]:
    fail("disp.ps: header starts %r" % records[:2])
if len(records) < 4 or not re.fullmatch(r"%%Creators:\S.*", records[2]):
    fail("disp.ps: third record is not a %%Creators: record naming the authors")
if len(records) < 4 or not re.fullmatch(
        r"%%CreationDate:\d\d:\d\d:\d\d on .{26} \(by your computer clock\)", records[3]):
    fail("disp.ps: creation date record is %r" % (records[3:4],))
for i, want in enumerate(prolog):
    got = records[4 + i] if 4 + i < len(records) else None
    if got != want:
        fail("disp.ps: prolog record %d is %r, should be %r" % (i + 1, got, want))
if records[-3:] != ["grestore", "showpage % Allowed by EPS!", "%%Trailer"]:
    fail("disp.ps: closing records are %r" % records[-3:])
order = ["% frame with labelling next", "% mesh next", "%% element numbers next",
         "%% node numbers next"]
at = [records.index(c) if c in records else -1 for c in order]
if -1 in at or at != sorted(at):
    fail("disp.ps: comment records missing or out of order: %r" % at)

rendering = Picture("disp_ps.png")


def dark(c):
    return sum(c) < 3 * 128


def dark_near(x, y, r=2):
    col, row = zoom.page(x, y)
    return rendering.count(int(col) - r, int(row) - r, int(col) + r, int(row) + r, dark)


# The typed zoom box 0..1 x 0..1 gives the same window as the screen zoom.
for (x, y), _, what in FULL_SIDES:
    if x <= 1 and y <= 1:
        if not dark_near(x, y):
            fail("disp_ps.png: no line of the %s at page %r" % (what, zoom.page(x, y)))
fx1, fx2, fy1, fy2 = zoom.frame
for x, y in ((fx1, 0.6), (fx2, 0.2), (0.2, fy1), (0.6, fy2)):
    if not dark_near(x, y):
        fail("disp_ps.png: no frame line at page %r" % (zoom.page(x, y),))
for x, y, what in ((0.3, 0.3, "inside element 1"), (1.05, 0, "where element 2 would be"),
                   (0, 1.05, "where element 3 would be")):
    if dark_near(x, y):
        fail("disp_ps.png: something is drawn %s, page %r" % (what, zoom.page(x, y)))
# Labels: element 1's number at its centroid, and node 2's number over the
# bottom line (the rows above the line's own pixels).
if not dark_near(0.5, 0.5, 3):
    fail("disp_ps.png: no number of element 1 at its centroid")
col, row = zoom.page(0.5, 0)
if not rendering.count(int(col) - 4, int(row) - 7, int(col) + 4, int(row) - 3, dark):
    fail("disp_ps.png: no number of node 2 over the bottom side")

for f_ in failures:
    print(f_)
sys.exit(1 if failures else 0)
