#!/usr/bin/env python3
"""Checks what the emulated PC saw: every register write QEMU traced at the port against the
stream glowreel-play wrote on the host for the same movie, and the guest's exit statuses."""
import re
import sys

work = sys.argv[1]
console = open(work + "/console.log", errors="replace").read()
WRITE = r"parallel_ioport_write write \[\w+\] addr 0x([0-9a-f]+) val 0x([0-9a-f]+)"
guest = [(int(a, 16), int(v, 16)) for a, v in re.findall(WRITE, open(work + "/qemu.trace").read())]
failures, position = [], 0


def host(movie, split=False):
    """The host trace as register offsets; a 16-bit write reaches QEMU as two, low byte first."""
    writes = []
    for line in open("%s/host/%s.trace" % (work, movie)):
        offset, value = int(line.split()[1], 16) - 0x378, int(line.split()[2], 16)
        writes += [(offset, value & 0xFF), (offset + 1, value >> 8)] if split else [(offset, value)]
    return writes


def find(expected, start, masked=True):
    """Where the writes stand unbroken from `start` on. Through ppdev only the control register's
    low four bits are the program's; the kernel keeps its interrupt-enable bit above them."""
    seen = [(o, v & 0x0F if masked and o == 2 else v) for o, v in guest]
    for at in range(start, len(seen) - len(expected) + 1):
        if all(seen[at + k] == write for k, write in enumerate(expected)):
            return at
    return None


def case(name, expected, masked=True):
    global position
    at = find(expected, position, masked)
    if at is None:
        failures.append("%s: its %d writes do not appear unbroken after write %d"
                        % (name, len(expected), position))
        return False
    print("  %-26s %6d register writes equal, unbroken" % (name, len(expected)))
    position = at + len(expected)
    return True


def data_writes(start, end):
    return sum(1 for offset, _ in guest[start:end] if offset == 0)


print("emulated PC: %d register writes traced" % len(guest))
three, fade = host("three"), host("three")[-72:]
case("ppdev", three)
case("ppdev with lp loaded", three)
case("ioport", host("three", split=True), masked=False)
if case("repeat, then SIGTERM", host("loop")[:216 + 4224]):
    fade_at, next_at = find(fade, position), find(host("long"), position)
    if fade_at is None or next_at is None or fade_at > next_at:
        failures.append("repeat, then SIGTERM: no fade-out before the next case")
    else:
        print("  %-26s %6d more frames, then the fade-out and switch-off (72 writes)"
              % ("", data_writes(position, fade_at) // 1024))
        if data_writes(fade_at + 72, next_at):
            failures.append("repeat, then SIGTERM: data written after the switch-off")
        position = fade_at + 72
if case("first of two players", host("long")) and data_writes(position, len(guest)):
    failures.append("two players: the second wrote to the port")
if "in use by another GlowReel program" not in console:
    failures.append("two players: the second did not say the port is in use")
for name, expected in [("ppdev", 0), ("ppdev with lp", 0), ("ioport", 0),
                       ("repeat, SIGTERM", 0), ("second player", 1), ("first player", 0)]:
    found = re.search(r"case %s: (\d+)" % re.escape(name), console)
    if not found or int(found.group(1)) != expected:
        failures.append("%s: exit status %s, not %d"
                        % (name, found.group(1) if found else "missing", expected))
if failures:
    print("emulated PC: FAILED\n  " + "\n  ".join(failures) + "\nguest console:\n" + console[-3000:])
    sys.exit(1)
print("emulated PC: every case passed")
