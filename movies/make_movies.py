#!/usr/bin/env python3
"""Writes the sample movies that are patterns of cells rather than pictures: the wave and the
scrolling text. The bouncing ball comes from an animated GIF (make-ball). Run it again after
changing one of them."""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
COLS, ROWS = 18, 8


def frame(duration, cells):
    """One frame: the header, eight rows of eighteen cells, the passed-over line."""
    lines = ["@%s" % duration]
    for y in range(ROWS):
        lines.append("".join("1" if cells(x, y) else "0" for x in range(COLS)))
    lines.append("")
    return lines


def write(name, lines):
    with open(os.path.join(HERE, name), "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


def wave():
    # A loop: the last frame leads back into the first, so it is meant for Repeat.
    lines = ["GlowReel sample: a travelling wave. Tick Repeat for an endless loop."]
    steps = 24
    for t in range(steps):
        phase = 2 * math.pi * t / steps
        heights = [3.5 + 3.4 * math.sin(2 * math.pi * x / COLS + phase) for x in range(COLS)]
        lines += frame(60, lambda x, y, h=heights: abs(y - h[x]) < 0.75)
    write("wave.grm", lines)


FONT = {
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    " ": ["000", "000", "000", "000", "000", "000", "000"],
}


def scroll():
    # Comments between the frames say which letter is coming in.
    text = "     GLOWREEL     "  # blank display before and after
    strip = [[] for _ in range(7)]
    starts = []
    for letter in text:
        starts.append((len(strip[0]), letter))
        for y in range(7):
            strip[y].extend(int(c) for c in FONT[letter][y] + "0")
    width = len(strip[0])
    lines = ["GlowReel sample: a text scrolling across the display, made of cells."]
    for offset in range(width - COLS + 1):
        entering = [l for s, l in starts if s == offset + COLS - 1 and l != " "]
        if entering:
            lines.append("-- here comes the letter %s --" % entering[0])
        lines += frame(80, lambda x, y, o=offset: y >= 1 and strip[y - 1][x + o] == 1)
    lines.append("The end.")
    write("scroll.grm", lines)


if __name__ == "__main__":
    wave()
    scroll()
