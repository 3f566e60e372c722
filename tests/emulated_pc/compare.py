#!/usr/bin/env python3
"""Checks what the emulated PC saw: every register write QEMU traced at the port against the
stream glowreel-play wrote on the host for the same movie, and the guest's exit statuses."""
import re
import sys

work = sys.argv[1]
console = open(work + "/console.log", errors="replace").read()
traced = open(work + "/qemu.trace").read()
GUEST = re.compile(r"parallel_ioport_write write \[\w+\] addr 0x([0-9a-f]+) val 0x([0-9a-f]+)")
guest = [(int(a, 16), int(v, 16)) for a, v in GUEST.findall(traced)]
failures = []
position = 0


def host(movie, split=False):
    """The host trace as register offsets; a 16-bit write reaches QEMU as two, low byte first."""
    writes = []
    for line in open("%s/host/%s.trace" % (work, movie)):
        _, address, value = line.split()
        offset, value = int(address, 16) - 0x378, int(value, 16)
        writes += [(offset, value & 0xFF), (offset + 1, value >> 8)] if split else [(offset, value)]
    return writes


def matches(at, expected, masked):
    for k, (offset, value) in enumerate(expected):
        seen_offset, seen = guest[at + k]
        # Through ppdev only the control register's low four bits are the program's; the kernel
        # keeps its interrupt-enable bit above them.
        if masked and offset == 2:
            seen &= 0x0F
        if (seen_offset, seen) != (offset, value):
            return False
    return True


def find(expected, start, masked=True):
    for at in range(start, len(guest) - len(expected) + 1):
        if matches(at, expected, masked):
            return at
    return None


def case(name, expected, masked=True):
    global position
    at = find(expected, position, masked)
    if at is None:
        failures.append("%s: its %d writes do not appear unbroken after write %d"
                        % (name, len(expected), position))
        return None
    print("  %-26s %6d register writes equal, unbroken" % (name, len(expected)))
    position = at + len(expected)
    return at


def status(name, expected):
    found = re.search(r"case %s: (\d+)" % re.escape(name), console)
    if not found or int(found.group(1)) != expected:
        failures.append("%s: exit status %s, not %d"
                        % (name, found.group(1) if found else "missing", expected))


def data_writes(start, end):
    return sum(1 for offset, _ in guest[start:end] if offset == 0)


print("emulated PC: %d register writes traced" % len(guest))
three, fade = host("three"), host("three")[-72:]
case("ppdev", three)
case("ppdev with lp loaded", three)
case("ioport", host("three", split=True), masked=False)

start_and_one_frame = host("loop")[:216 + 4224]
if case("repeat, then SIGTERM", start_and_one_frame) is not None:
    fade_at = find(fade, position)
    next_at = find(host("long"), position)
    if fade_at is None or next_at is None or fade_at > next_at:
        failures.append("repeat, then SIGTERM: no fade-out before the next case")
    else:
        frames = data_writes(position, fade_at) // 1024
        print("  %-26s %6d more frames, then the fade-out and switch-off (72 writes)" % ("", frames))
        if data_writes(fade_at + 72, next_at):
            failures.append("repeat, then SIGTERM: data written after the switch-off")
        position = fade_at + 72

if case("first of two players", host("long")) is not None:
    if data_writes(position, len(guest)):
        failures.append("two players: the second wrote to the port")
if "in use by another GlowReel program" not in console:
    failures.append("two players: the second did not say the port is in use")

for name, expected in [("ppdev", 0), ("ppdev with lp", 0), ("ioport", 0),
                       ("repeat, SIGTERM", 0), ("second player", 1), ("first player", 0)]:
    status(name, expected)

if failures:
    print("emulated PC: FAILED\n  " + "\n  ".join(failures))
    print("guest console:\n" + console[-3000:])
    sys.exit(1)
print("emulated PC: every case passed")
