#!/usr/bin/env python3
"""Plays a session script to a program in its real windows by X events
(xdotool), as a user at the keyboard and mouse would, under a window
manager: keys are typed into whichever window the program has given the
keyboard, never after a click to get it.

usage: x_play.py --name GRIDOR --script FILE --boxes FILE --record FILE
                 --pid PID [--shots DIR]

The script holds the events of the session (key, line, click, rclick,
dialog, file; snapshot lines are left out), and lines of its own:
  @pace SECONDS   the clicks that follow are made SECONDS apart without
                  waiting for the program to take each one, until @sync
  @sync           back to one event at a time
  @shot NAME      a screenshot of the whole screen, NAME.png in the shots
                  folder, once the program has taken the events before it
                  and the screen has stopped changing
The boxes file (from dialog_gallery on the same script) tells
where the boxes come among the events, their fields and which button is
the default; boxes that take no event headless (one button, no field) are
closed here with Return, as a user would.

Before each event the player waits until the program has recorded every
event before it (--record), so no input is made before it is asked for.
Every wait is for an event: the record file is looked at every 5 ms, and
the window with the keyboard is followed as the window manager announces
it (the root's _NET_ACTIVE_WINDOW, watched by xprop), never after a fixed
pause.
"""
import argparse
import os
import re
import shlex
import subprocess
import sys
import threading
import time

TIMEOUT = 20.0
POLL = 0.02  # the longest a wait sleeps before it looks again


def run(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout.strip()


def xdo(*args):
    subprocess.run(("xdotool",) + args, check=False)


def fail(msg):
    print("x_play: " + msg, file=sys.stderr)
    sys.exit(1)


class Box:
    def __init__(self, line):
        words = line.split()
        self.after = int(re.search(r"after=(\d+)", line).group(1))
        self.fields = int(re.search(r"fields=(\d+)", line).group(1))
        self.kinds = re.search(r"kinds=(\S*)", line).group(1)
        self.buttons = int(re.search(r"buttons=(\d+)", line).group(1))
        self.default = int(re.search(r"default=(\d+)", line).group(1))
        self.pressed = int(re.search(r"pressed=(\d+)", line).group(1))
        self.caption = line.split("caption=", 1)[1]
        self.number = int(words[0])
        # Boxes without buttons stand as banners; one button and no field
        # is an information box, which headless closes on its own.
        self.auto = self.buttons == 1 and self.fields == 0
        self.shown_only = self.buttons == 0


def read_boxes(path):
    boxes = []
    with open(path) as f:
        for line in f:
            if " dialog " in line:
                b = Box(line.rstrip("\n"))
                if not b.shown_only:
                    boxes.append(b)
    return boxes


def read_events(path):
    events = []
    with open(path) as f:
        for raw in f:
            s = raw.strip()
            if not s or s.startswith("#"):
                continue
            if s.startswith("@"):
                words = s[1:].split()
                events.append(("@" + words[0].lower(), words[1:]))
                continue
            kind, _, rest = s.partition(" ")
            kind = kind.lower()
            if kind == "snapshot":
                continue
            events.append((kind, shlex.split(rest) if kind in ("dialog", "file", "click", "rclick") else rest))
    return events


def taken(record):
    try:
        with open(record) as f:
            return sum(1 for l in f if l.strip() and not l.startswith("#"))
    except OSError:
        return 0


class ActiveWindow:
    """The window with the keyboard, as the window manager sets it on the
    root window, read from one xprop watching the property; `changed` is
    set at every change, so a wait wakes at once."""

    def __init__(self):
        self.wid = None
        self.changed = threading.Event()
        # Line by line: xprop holds its output back when it goes to a pipe.
        self.spy = subprocess.Popen(["stdbuf", "-oL", "xprop", "-root", "-spy", "_NET_ACTIVE_WINDOW"],
                                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        threading.Thread(target=self.follow, daemon=True).start()

    def follow(self):
        for line in self.spy.stdout:
            m = re.search(r"window id # (0x[0-9a-fA-F]+)", line)
            wid = int(m.group(1), 16) if m else 0
            self.wid = str(wid) if wid else None
            self.changed.set()

    def stop(self):
        self.spy.kill()
        self.spy.wait()


class Player:
    def __init__(self, opt):
        self.opt = opt
        self.text_name = opt.name + " text"
        self.graphics_name = opt.name + " graphics"
        self.seen = set()  # windows of boxes already answered
        self.boxes = read_boxes(opt.boxes)
        self.next_box = 0
        self.keyboard = ActiveWindow()

    def alive(self):
        try:
            os.kill(self.opt.pid, 0)
            return True
        except OSError:
            return False

    def wait(self, what, test, poll=POLL):
        end = time.time() + TIMEOUT
        while time.time() < end:
            self.keyboard.changed.clear()
            got = test()
            if got:
                return got
            if not self.alive():
                fail("the program ended while waiting for " + what)
            self.keyboard.changed.wait(poll)
        fail("timed out waiting for " + what)

    def active(self):
        wid = self.keyboard.wid
        if not wid:
            return None, ""
        return wid, run("xdotool", "getwindowname", wid)

    def wait_taken(self, n):
        self.wait("the program to take event %d" % n, lambda: taken(self.opt.record) >= n, 0.005)

    def wait_main(self):
        """Until the text or graphics window has the keyboard."""
        def test():
            wid, name = self.active()
            return wid if name in (self.text_name, self.graphics_name) else None
        return self.wait("the text window to take the keyboard", test)

    def wait_new_window(self, what):
        def test():
            wid, name = self.active()
            if wid and wid not in self.seen and name not in (self.text_name, self.graphics_name):
                return wid
            return None
        wid = self.wait(what, test)
        self.seen.add(wid)
        return wid

    def shoot_window(self, wid, name):
        if self.opt.shots:
            subprocess.run(["import", "-window", wid, os.path.join(self.opt.shots, name + ".png")])

    def shot(self, name):
        """The whole screen, where the picture stands on it and where the
        text window stands (x y w h, a line each)."""
        if not self.opt.shots:
            return
        base = os.path.join(self.opt.shots, name)
        with open(base + ".geom", "w") as f:
            f.write("%d %d %d %d\n" % self.graphics_geometry())
            text = self.geometry(self.text_name, wait=False)
            if text:
                f.write("%d %d %d %d\n" % text)
        # Taken again until two shots in a row are alike: the picture is done.
        last = None
        for _ in range(20):
            subprocess.run(["import", "-window", "root", base + ".png"])
            with open(base + ".png", "rb") as f:
                now = f.read()
            if now == last:
                return
            last = now
            time.sleep(0.1)

    def close_auto_boxes(self, events_done):
        while self.next_box < len(self.boxes) and self.boxes[self.next_box].after == events_done \
                and self.boxes[self.next_box].auto:
            box = self.boxes[self.next_box]
            wid = self.wait_new_window("box %d (%s)" % (box.number, box.caption))
            self.shoot_window(wid, "box-%d" % box.number)
            xdo("key", "Return")
            self.next_box += 1

    # --- events -------------------------------------------------------------
    KEYS = {"esc": "Escape", "enter": "Return", "space": "space", "ctrlc": "ctrl+c"}

    def key(self, k):
        self.wait_main()
        name = self.KEYS.get(k.lower())
        if name is None and re.fullmatch(r"[Ff]\d+", k):
            name = k.upper()
        if name:
            xdo("key", name)
        else:
            xdo("type", k)

    def line(self, text):
        self.wait_main()
        if text:
            xdo("type", "--delay", "12", text)
        xdo("key", "Return")

    def geometry(self, name, wait=True):
        """Where a shown window of that name stands on the screen: x y w h
        (None when it is not shown and not waited for)."""
        def test():
            ids = run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % name)
            return ids.split()[0] if ids else None
        wid = self.wait("the window " + name, test) if wait else test()
        if not wid:
            return None
        info = run("xwininfo", "-id", wid)
        return tuple(int(re.search(r"%s:\s+(-?\d+)" % key, info).group(1)) for key in
                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def graphics_geometry(self):
        x, y, w, h = self.geometry(self.graphics_name)
        # The picture fills the width at 4:3 under the window's menu bar.
        ph = w * 3 // 4
        return x, y + h - ph, w, ph

    def click(self, args, button):
        px, py = int(args[0]), int(args[1])
        x, y, w, h = self.graphics_geometry()
        sx = x + ((2 * px + 1) * w) // (2 * 640)
        sy = y + ((2 * py + 1) * h) // (2 * 480)
        # The motion is made before the press: one stream of X events.
        xdo("mousemove", str(sx), str(sy), "click", button)

    def dialog(self, args):
        if self.next_box >= len(self.boxes):
            fail("a dialog event beyond the boxes listed")
        box = self.boxes[self.next_box]
        self.next_box += 1
        wid = self.wait_new_window("box %d (%s)" % (box.number, box.caption))
        self.shoot_window(wid, "box-%d" % box.number)
        values = args[1:]
        at = 0  # the field with the keyboard, 0-based
        for i, v in enumerate(values):
            while at < i:
                xdo("key", "Tab")
                at += 1
            if v == "-":
                continue
            if box.kinds[i] == "l":
                # Space opens the list; from its top, down to the entry,
                # once the list is on the screen; on once it is gone.
                shown = self.unnamed_windows()
                xdo("key", "space")
                popup = self.wait("the list of field %d" % (i + 1),
                                  lambda: next(iter(self.unnamed_windows() - shown), None))
                xdo("key", "--delay", "5", *(["Up"] * 20 + ["Down"] * (int(v) - 1) + ["Return"]))
                self.wait("the list of field %d to close" % (i + 1),
                          lambda: popup not in self.unnamed_windows())
                continue
            xdo("key", "ctrl+a")
            xdo("type", "--delay", "12", v)
        if box.pressed == box.default:
            xdo("key", "Return")
            return
        if box.fields:
            steps = (box.fields - at) + box.pressed - 1
        else:
            steps = box.pressed - box.default
        for _ in range(abs(steps)):
            xdo("key", "Tab" if steps > 0 else "shift+Tab")
        xdo("key", "space")

    @staticmethod
    def unnamed_windows():
        """The shown windows without a name: a list's popup among them."""
        every = run("xdotool", "search", "--onlyvisible", "--name", "").split()
        named = run("xdotool", "search", "--onlyvisible", "--name", ".").split()
        return set(every) - set(named)

    def file(self, args):
        wid = self.wait_new_window("the file dialog")
        # Keys go to the chooser once it is on the screen, in order.
        self.wait("the file dialog on the screen",
                  lambda: run("xdotool", "search", "--onlyvisible", "--name", "^Open"))
        xdo("key", "ctrl+l")
        path = args[0] if args else ""
        if path:
            xdo("type", "--delay", "10", os.path.abspath(path))
            xdo("key", "Return")
        else:
            xdo("key", "Escape")

    def play(self, events):
        done = 0  # input events sent
        pace = None
        for kind, args in events:
            if kind == "@pace":
                pace = float(args[0])
                continue
            if kind == "@sync":
                pace = None
                continue
            if kind == "@shot":
                self.wait_taken(done)
                self.shot(args[0])
                continue
            if pace is None or kind not in ("click", "rclick"):
                self.wait_taken(done)
                self.close_auto_boxes(done)
            if kind == "key":
                self.key(args)
            elif kind == "line":
                self.line(args)
            elif kind in ("click", "rclick"):
                self.click(args, "1" if kind == "click" else "3")
                if pace is not None:
                    time.sleep(pace)
            elif kind == "dialog":
                self.dialog(args)
            elif kind == "file":
                self.file(args)
            else:
                fail("cannot play the event " + kind)
            done += 1
        self.wait_taken(done)
        self.close_auto_boxes(done)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--name", required=True)
    p.add_argument("--script", required=True)
    p.add_argument("--boxes", required=True)
    p.add_argument("--record", required=True)
    p.add_argument("--pid", type=int, required=True)
    p.add_argument("--shots")
    opt = p.parse_args()
    player = Player(opt)
    try:
        player.play(read_events(opt.script))
    finally:
        player.keyboard.stop()


if __name__ == "__main__":
    main()
