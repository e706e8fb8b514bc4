#!/usr/bin/env python3
"""Checks on screenshots of the real windows (x_play.py's shots: NAME.png
of the whole screen and NAME.geom, where the picture stood: x y w h).

usage: shot_checks.py nodes SHOT PX,PY ...
         each framebuffer pixel holds a node: its black mark there and its
         red number above it
       shot_checks.py plot SHOT FRESH [EARLIER]
         the picture on the screen is pixel for pixel FRESH, a snapshot of
         the same plot drawn with no plot before it, so its key strip
         (framebuffer rows 440..470, columns 1..498) holds nothing of an
         earlier key; EARLIER, a shot of the plot before, must have had
         another key
       shot_checks.py scale SHOT BOX TEXTSHOT
         one scale for every window: the glyph rows of a line of text in
         the dialog box BOX (its first line) and in the text window (its
         last line, in TEXTSHOT) are within 20% as high as those of the
         graphics window's heading (in SHOT)
Exit status 1 with a line saying what is wrong.
"""
import subprocess
import sys


def load(path):
    """Width, height and the RGB bytes of a picture (through ImageMagick)."""
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True,
                          check=True).stdout
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[at + 1:]


class Picture:
    def __init__(self, path):
        self.w, self.h, self.rgb = load(path)

    def at(self, x, y):
        i = 3 * (y * self.w + x)
        return tuple(self.rgb[i:i + 3])


class Screen(Picture):
    """A screenshot with the place of the graphics window's picture."""
    def __init__(self, path):
        super().__init__(path + ".png")
        with open(path + ".geom") as f:
            lines = f.read().splitlines()
        self.gx, self.gy, self.gw, self.gh = (int(v) for v in lines[0].split())
        # The text window, where the shot says where it stood.
        self.text = tuple(int(v) for v in lines[1].split()) if len(lines) > 1 else None

    def fb(self, px, py):
        """The colour at the middle of framebuffer pixel (px, py)."""
        return self.at(self.gx + (2 * px + 1) * self.gw // 1280,
                       self.gy + (2 * py + 1) * self.gh // 960)


def fail(msg):
    print("FAIL: " + msg)
    sys.exit(1)


def near(pic, px, py, reach, colour):
    return any(pic.fb(x, y) == colour
               for x in range(px - reach[0], px + reach[1] + 1)
               for y in range(py - reach[2], py + reach[3] + 1))


def nodes(args):
    shot = Screen(args[0])
    for n, p in enumerate(args[1:], 1):
        px, py = (int(v) for v in p.split(","))
        if not near(shot, px, py, (1, 1, 1, 1), (0, 0, 0)):
            fail("node %d: no mark at pixel %d,%d" % (n, px, py))
        if not near(shot, px, py, (12, 8, 20, 0), (0xAA, 0, 0)):
            fail("node %d: no number above pixel %d,%d" % (n, px, py))


def plot(args):
    shot = Screen(args[0])
    fresh = Picture(args[1])
    wrong = [(x, y) for y in range(480) for x in range(640) if shot.fb(x, y) != fresh.at(x, y)]
    if wrong:
        in_strip = sum(1 for x, y in wrong if 440 <= y <= 470 and 1 <= x <= 498)
        x, y = wrong[0]
        fail("the picture differs from a fresh plot's at %d pixels (%d in the key strip), "
             "first at %d,%d: %s, not %s"
             % (len(wrong), in_strip, x, y, shot.fb(x, y), fresh.at(x, y)))
    if len(args) > 2:
        earlier = Screen(args[2])
        if all(earlier.fb(x, y) == shot.fb(x, y) for y in range(440, 471) for x in range(1, 499)):
            fail("the two plots had the same key: the check proves nothing")


def ink_rows(pic, x0, y0, x1, y1, ink):
    """The rows of the rectangle that hold ink, top to bottom."""
    return [y for y in range(y0, y1) if any(ink(pic.at(x, y)) for x in range(x0, x1))]


def bands(rows):
    """Runs of consecutive rows: (first, last) of each line of text."""
    out = []
    for y in rows:
        if out and y == out[-1][1] + 1:
            out[-1][1] = y
        else:
            out.append([y, y])
    return out


def dark(c):
    return max(c) < 128


def light(c):
    return min(c) > 128


def coloured(c):
    return max(c) - min(c) > 100 or max(c) < 100


def scale(args):
    shot, box, text = Screen(args[0]), Picture(args[1]), Screen(args[2])
    # The heading: white glyphs on the black strip at the top of the picture.
    head = bands(ink_rows(shot, shot.gx, shot.gy, shot.gx + shot.gw // 2,
                          shot.gy + shot.gh * 30 // 480, light))
    # The box's first line: its heads, in red or black on the grey.
    first = bands(ink_rows(box, 0, 0, box.w, box.h // 2, coloured))
    # The text window's last line of text: black on white, left of the
    # scroll bar, right of the text cursor's bar at the start of the line.
    tx, ty, tw, th = text.text
    last = bands(ink_rows(text, tx + 12, ty + 4, tx + tw * 3 // 4, ty + th - 4, dark))
    if not head or not first or not last:
        fail("no text found: heading %s, box %s, text window %s" % (head, first, last))
    height = lambda b: b[1] - b[0] + 1
    g = height(head[0])
    print("glyph rows: graphics heading %d, dialog %d, text window %d" %
          (g, height(first[0]), height(last[-1])))
    for what, h in (("the dialog's", height(first[0])), ("the text window's", height(last[-1]))):
        if not 0.8 * g <= h <= 1.2 * g:
            fail("%s text is %d pixels high, the graphics window's %d" % (what, h, g))


def main(argv):
    {"nodes": nodes, "plot": plot, "scale": scale}[argv[1]](argv[2:])


if __name__ == "__main__":
    main(sys.argv)
