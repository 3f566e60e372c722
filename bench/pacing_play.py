#!/usr/bin/env python3
"""Frame lengths as glowreel-play keeps them, read from its trace: 40 frames of @100 (eleven
10 ms slices, 110 ms nominal), once on a quiet machine and once beside two busy processes per
core. Prints the median and 95th percentile of each against the goals.
Usage: pacing_play.py GLOWREEL_PLAY"""
import os
import statistics
import subprocess
import sys
import tempfile

FRAMES, PAUSE_MS = 40, 100
NOMINAL_MS = (PAUSE_MS // 10 + 1) * 10
ROW = "1" * 18


def frame_lengths(trace):
    """Milliseconds between the first writes of consecutive frames: a frame's writes come in
    one burst, and a burst starts after a gap of more than 5 ms."""
    times = [int(line.split()[0]) for line in open(trace)]
    starts = [t for prev, t in zip([-10**9] + times, times) if t - prev > 5000]
    return [(b - a) / 1000 for a, b in zip(starts, starts[1:])]


def play(program, movie, trace):
    if os.path.exists(trace):
        os.unlink(trace)
    subprocess.run([program, "--port", "trace:" + trace, movie], check=True)
    # The fade-out's own waits follow the last frame; the frames' lengths come first.
    return frame_lengths(trace)[:FRAMES - 1]


def figures(lengths):
    ratios = sorted(x / NOMINAL_MS for x in lengths)
    return statistics.median(ratios), ratios[int(0.95 * (len(ratios) - 1))]


def main(program):
    with tempfile.TemporaryDirectory() as work:
        movie = os.path.join(work, "pacing.grm")
        with open(movie, "w") as f:
            f.write(("@%d\r\n" % PAUSE_MS + (ROW + "\r\n") * 8) * FRAMES)
        trace = os.path.join(work, "pacing.trace")
        quiet = figures(play(program, movie, trace))
        busy = [subprocess.Popen([sys.executable, "-c", "while True: pass"])
                for _ in range(2 * os.cpu_count())]
        try:
            loaded = figures(play(program, movie, trace))
        finally:
            for p in busy:
                p.kill()
                p.wait()
    for name, (median, p95) in (("quiet", quiet), ("%d busy" % len(busy), loaded)):
        for what, figure, goal in (("median", median, 1.02), ("p95", p95, 1.06)):
            print("%-36s %-28s goal %-12s %s" % (
                "glowreel-play frame, %s, %s" % (name, what), "%.3f x nominal" % figure,
                "<= %.2f" % goal, "met" if figure <= goal else "MISSED"))


if __name__ == "__main__":
    main(sys.argv[1])
