#!/usr/bin/env python3
"""glowreel-play --lcdproc under lcdproc's clients, on loopback:
- from a client's widget_set to the first register write that shows it, read as the trace's
  lines arrive on a pipe: 200 changes of a string, the median and 95th percentile;
- 100 clients each setting a widget 10 times a second for 10 seconds: the player's share of a
  core (from /proc) and the slowest reply.
Usage: lcdproc_load.py GLOWREEL_PLAY"""
import os
import re
import select
import socket
import statistics
import subprocess
import sys
import tempfile
import time

READY = re.compile(r"lcdproc's clients welcome on 127\.0\.0\.1 port (\d+)")
CHANGES, CLIENTS, RATE, SECONDS = 200, 100, 10, 10


def start(program, port_setting):
    player = subprocess.Popen([program, "--lcdproc", "127.0.0.1:0", "--port", port_setting],
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        found = READY.search(player.stderr.readline())
        if found:
            return player, int(found.group(1))
    player.kill()
    raise SystemExit("the player did not start")


def connect(port, commands):
    wire = socket.create_connection(("127.0.0.1", port), timeout=10)
    wire.sendall("".join(c + "\n" for c in commands).encode())
    heard = b""
    while heard.count(b"\n") < len(commands):
        heard += wire.recv(65536)
    wire.setblocking(False)
    return wire


def drain(fd, seconds):
    """Whatever the trace holds now, waiting at most `seconds` for the first of it."""
    got = b""
    while select.select([fd], [], [], seconds)[0]:
        more = os.read(fd, 1 << 20)
        if not more:
            break
        got += more
        seconds = 0.002
    return got


def latency(program):
    with tempfile.TemporaryDirectory() as work:
        fifo = os.path.join(work, "trace")
        os.mkfifo(fifo)
        reader = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
        player, port = start(program, "trace:" + fifo)
        drain(reader, 1.0)  # the display brought up: more than a pipe holds
        client = connect(port, ["hello", "screen_add s", "widget_add s w string",
                                "widget_set s w 1 1 start"])
        drain(reader, 1.0)
        times = []
        for change in range(CHANGES):
            drain(reader, 0.05)  # the screen at rest: nothing more is written
            sent = time.monotonic()
            client.sendall(b"widget_set s w 1 1 {%d}\n" % change)
            if drain(reader, 1.0):
                times.append((time.monotonic() - sent) * 1000)
        player.terminate()
        os.close(reader)
        player.wait()
    times.sort()
    return statistics.median(times), times[int(0.95 * (len(times) - 1))], CHANGES - len(times)


def cpu_seconds(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def load(program):
    player, port = start(program, "none")
    clients = [connect(port, ["hello", "screen_add s", "widget_add s w string"])
               for _ in range(CLIENTS)]
    waiting = {wire.fileno(): [] for wire in clients}
    heard = {wire.fileno(): b"" for wire in clients}
    poller = select.epoll()
    for wire in clients:
        poller.register(wire.fileno(), select.EPOLLIN)
    slowest, replies = 0.0, 0
    used = cpu_seconds(player.pid)
    begin = time.monotonic()
    next_round = begin
    while time.monotonic() - begin < SECONDS:
        if time.monotonic() >= next_round:
            for k, wire in enumerate(clients):
                wire.send(b"widget_set s w 1 1 {%d %f}\n" % (k, time.monotonic()))
                waiting[wire.fileno()].append(time.monotonic())
            next_round += 1 / RATE
        for fd, _ in poller.poll(max(0, next_round - time.monotonic())):
            heard[fd] += os.read(fd, 65536)
            while b"\n" in heard[fd]:
                line, heard[fd] = heard[fd].split(b"\n", 1)
                if line == b"success":
                    slowest = max(slowest, time.monotonic() - waiting[fd].pop(0))
                    replies += 1
    share = (cpu_seconds(player.pid) - used) / (time.monotonic() - begin)
    player.terminate()
    player.wait()
    return share * 100, slowest * 1000, replies


def main(program):
    p50, p95, lost = latency(program)
    share, slowest, replies = load(program)
    rows = [("lcdproc widget_set to write, p50", "%.1f ms (p95 %.1f)" % (p50, p95), "<= 10 ms", p50 <= 10),
            ("lcdproc 100 clients, player CPU", "%.1f %% of a core" % share, "< 10 %", share < 10),
            ("lcdproc 100 clients, slowest reply", "%.1f ms (%d replies)" % (slowest, replies), "<= 50 ms",
             slowest <= 50)]
    if lost:
        print("%d of %d changes showed nothing on the trace" % (lost, CHANGES))
    for name, figure, goal, ok in rows:
        print("%-36s %-28s goal %-12s %s" % (name, figure, goal, "met" if ok else "MISSED"))


if __name__ == "__main__":
    main(sys.argv[1])
