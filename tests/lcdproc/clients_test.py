#!/usr/bin/env python3
"""glowreel-play --lcdproc against the clients of Debian's lcdproc package and a client of our own
on loopback: lcdproc's status screens readable on the display in the pixel font, beside a message
from the HTTP API; lcdexec's menu answered; "listen" and "ignore" as screens take turns; a pixmap
from the media store.
Usage: clients_test.py GLOWREEL_PLAY TRANSCRIBE SOURCE_DIR WORK_DIR"""
import os
import re
import select
import shutil
import socket
import subprocess
import sys
import time

play, transcribe, source, work = sys.argv[1:5]
sys.path.insert(0, os.path.join(source, "tests", "support"))
import live_server  # noqa: E402
from live_server import call, check, failures, start, stop, wait_for  # noqa: E402

live_server.play = play
LCDPROC_READY = r"lcdproc's clients welcome on 127\.0\.0\.1 port (\d+)"
GREETING = "connect LCDproc 0.5.9 protocol 0.4 lcd wid 21 hgt 8 cellwid 6 cellhgt 8"


class Client:
    """A client of our own: a line said, the answers heard in order, and apart from them the
    "listen" and "ignore" that may come at any time."""

    def __init__(self, port):
        self.wire = socket.create_connection(("127.0.0.1", port), timeout=5)
        self.heard = b""
        self.told = []

    def say(self, line):
        self.wire.sendall(line.encode() + b"\n")

    def line(self):
        while b"\n" not in self.heard:
            try:
                more = self.wire.recv(4096)
            except socket.timeout:
                return None
            if not more:
                return None
            self.heard += more
        line, self.heard = self.heard.split(b"\n", 1)
        return line.decode()

    def hear(self):
        while (line := self.line()) is not None and line.startswith(("listen ", "ignore ")):
            self.told.append(line)
        return line

    def told_next(self):
        if not self.told:
            line = self.line()
            return line if line is None or line.startswith(("listen ", "ignore ")) else "answer " + line
        return self.told.pop(0)

    def ask(self, line):
        self.say(line)
        return self.hear()


def text_shown(trace):
    """The words of every picture the display showed so far."""
    return subprocess.run([transcribe, "--text", trace], capture_output=True, text=True).stdout


def dots_shown(trace):
    return subprocess.run([transcribe, "--dots", trace], capture_output=True, text=True).stdout.split("\n")


shutil.rmtree(work, ignore_errors=True)
os.makedirs(os.path.join(work, "state", "media"))
with open(os.path.join(work, "state", "media", "block.pbm"), "w") as block:
    block.write("P1\n4 8\n" + "0 0 0 0\n" * 8)  # white: lit
trace = os.path.join(work, "display.trace")
player, port = start("--lcdproc", "127.0.0.1:0", "--port", "trace:" + trace,
                     "--state", os.path.join(work, "state"), ready=LCDPROC_READY)

# Our own clients: the greeting, turns told, a stored picture in a pixmap.
first = Client(port)
check("hello is answered with the grid of the pixel font", first.ask("hello") == GREETING)
for line in ["client_set -name first", "screen_add s", "screen_set s -duration 4",
             "widget_add s p pixmap", "widget_set s p 1 1 4 8 block.pbm"]:
    check("first client: " + line, first.ask(line) == "success")
check("the client hears its screen is shown", first.told_next() == "listen s")
check("the stored picture is on the display",
      wait_for(lambda: all(row.startswith("####.") for row in dots_shown(trace)[:8]), 5))
second = Client(port)
second.ask("hello")
for line in ["screen_add t", "screen_set t -duration 4", "widget_add t w string",
             "widget_set t w 3 2 {hello there}"]:
    check("second client: " + line, second.ask(line) == "success")
heard = [first.told_next(), second.told_next()]
check("the screens take turns, each client told", heard == ["ignore s", "listen t"], heard)
check("the second screen is read on the display",
      wait_for(lambda: "hello there" in text_shown(trace), 5))
check("a bad command is answered huh? and the connection kept",
      second.ask("widget_set t nothing 1 1 x").startswith("huh?") and second.ask("noop") == "success")
first.say("bye")
second.say("bye")
check("bye closes the connection", first.hear() is None and second.hear() is None)

# lcdproc's own system-status client: each of its screens on the display, readable.
shown_before = len(text_shown(trace))
status = subprocess.Popen(["lcdproc", "-s", "127.0.0.1", "-p", str(port), "-f", "C", "M", "T", "U"],
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
live_server.started.append(status)
screens = {"C (CPU)": r"CPU \d", "M (memory)": r"MEM", "T (time and date)": r"\d\d/\d\d/\d\d",
           "U (uptime)": r"Up \d+ days"}
wait_for(lambda: all(re.search(p, text_shown(trace)[shown_before:]) for p in screens.values()), 40)
words = text_shown(trace)[shown_before:]
for name, pattern in screens.items():
    check("lcdproc's screen " + name + " is read on the display", re.search(pattern, words), words[-600:])
check("lcdproc ran without a complaint", status.poll() is None)
stop(status)
stop(player)

wrong = subprocess.run([play, "--lcdproc", "0", "--lcdproc-screens", "sometimes"], capture_output=True, text=True)
check("a place of the screens not known is refused", wrong.returncode == 2 and "turns, first, last or alerts"
      in wrong.stderr, wrong.stderr)

# lcdexec: its menu is answered as a server without a menu answers. An empty MOVIE, as the
# service's empty GLOWREEL_MOVIE gives it, is none.
player, port = start("--lcdproc", "127.0.0.1:0", "--port", "none", "--state", os.path.join(work, "state"), "",
                     ready=LCDPROC_READY)
config = os.path.join(work, "lcdexec.conf")
with open(config, "w") as out:
    out.write(f"""[lcdexec]
Address=127.0.0.1
Port={port}
ReportLevel=5
ReportToSyslog=false
Foreground=true
[MainMenu]
Entry=SayHello
Entry=More
[SayHello]
DisplayName="Say hello"
Exec="echo hello"
Feedback=yes
[More]
DisplayName="More"
Entry=Date
[Date]
DisplayName="Date"
Exec="date"
""")
menu = subprocess.Popen(["lcdexec", "-c", config, "-f", "-r", "5", "-s", "0"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
live_server.started.append(menu)
said = ""
deadline = time.monotonic() + 10
while time.monotonic() < deadline and said.count("Server said") < 5:
    if select.select([menu.stderr], [], [], 1)[0]:
        said += os.read(menu.stderr.fileno(), 65536).decode(errors="replace")
check("lcdexec is greeted", 'Server said: "' + GREETING + '"' in said, said)
check("lcdexec's menu commands are answered success",
      said.count('Server said: "success"') >= 4 and "huh?" not in said, said)
check("lcdexec stays connected", menu.poll() is None)
menu.kill()
stop(player)

print("%d failed" % len(failures) if failures else "all passed")
sys.exit(1 if failures else 0)
