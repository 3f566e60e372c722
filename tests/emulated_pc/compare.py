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


def transfers(writes):
    """What the display received: (is data, byte) at each strobe of the register writes."""
    received, data, active = [], 0, False
    for offset, value in writes:
        if offset == 0:
            data = value & 0xFF
        elif offset == 2:
            if not value & 4 and not active:
                received.append((bool(value & 8), data))
            active = not value & 4
    return received


def gpio_transfers(case):
    """The same, from the chip's line levels at each fall of INIT (line 10): D0-D7 on lines 0-7,
    SELECT IN on line 11, low for data."""
    block = re.search(r"gpio %s\n(.*?)(?=\ngpio |\Z)" % case, gpio, re.S)
    events = [tuple(map(int, l.split())) for l in (block.group(1) if block else "").splitlines()]
    base, level, received = min([g for g, _ in events] or [0]), {}, []
    for number, value in events:
        line = number - base
        if line == 10 and level.get(10) == 1 and value == 0:
            received.append((level.get(11) == 0, sum(level.get(k, 0) << k for k in range(8))))
        level[line] = value
    return received


print("emulated PC: %d register writes traced" % len(guest))
three, fade = host("three"), host("three")[-72:]
case("ppdev", three)
case("ppdev with lp loaded", three)
case("ioport", host("three", split=True), masked=False)
if case("first of two players", host("long")) and data_writes(position, len(guest)):
    failures.append("two players: the second wrote to the port")
if "in use by another GlowReel program" not in console:
    failures.append("two players: the second did not say the port is in use")
gpio = open(work + "/gpio.out", errors="replace").read().replace("\r", "")
if gpio_transfers("three") != transfers(three):
    failures.append("gpio: the lines' bytes differ from the trace's (%d against %d)"
                    % (len(gpio_transfers("three")), len(transfers(three))))
else:
    print("  %-26s %6d bytes equal, decoded from the lines at each strobe" % ("gpio", len(transfers(three))))
looped, start = gpio_transfers("loop"), transfers(host("loop")[:216 + 4224])
if looped[:len(start)] != start or looped[-18:] != transfers(fade):
    failures.append("gpio, SIGTERM: not the start, frames, then the fade-out and switch-off last")
if 'is in use by "glowreel"' not in console:
    failures.append("gpio: a line in use was not refused naming its consumer")
for name, expected in [("ppdev", 0), ("ppdev with lp", 0), ("ioport", 0),
                       ("second player", 3), ("first player", 0),
                       ("gpio", 0), ("gpio lines in use", 3), ("gpio, SIGTERM", 0)]:
    found = re.search(r"case %s: (\d+)" % re.escape(name), console)
    if not found or int(found.group(1)) != expected:
        failures.append("%s: exit status %s, not %d"
                        % (name, found.group(1) if found else "missing", expected))
if failures:
    print("emulated PC: FAILED\n  " + "\n  ".join(failures) + "\nguest console:\n" + console[-3000:])
    sys.exit(1)
print("emulated PC: every case passed")
