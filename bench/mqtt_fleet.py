#!/usr/bin/env python3
"""A fleet of glowreel-play on one machine, on Debian's mosquitto over loopback: a group message
(an alert of 300 ms) published with mosquitto_pub (its start included) until the first register
write of its frame at each player (the traces arrive on pipes; their lines tell when each write
was made); p99 over the fleet and
the messages. Then the broker restarted: a message sent as it comes back reaches every player.
Then each idle player's memory and share of a core. Then the same fleet split over two bridged
brokers.
Usage: mqtt_fleet.py GLOWREEL_PLAY [PLAYERS]"""
import atexit
import os
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time

MESSAGES = 10
IDLE_SECONDS = 10
started = []  # every process of the run, killed at its end whatever happened
atexit.register(lambda: [p.kill() for p in started if p.poll() is None])


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def broker(work, name, port, extra=""):
    folder = os.path.join(work, name)
    os.makedirs(folder, exist_ok=True)
    os.chmod(folder, 0o777)
    config = os.path.join(folder, "mosquitto.conf")
    with open(config, "w") as out:
        out.write(f"listener {port} 127.0.0.1\nallow_anonymous true\npersistence true\n"
                  f"persistence_location {folder}/\nmax_queued_messages 10000\n{extra}")
    process = subprocess.Popen(["mosquitto", "-c", config], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    started.append(process)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return process
        except OSError:
            time.sleep(0.05)
    raise SystemExit("mosquitto did not start")


class Fleet:
    """Players on the brokers, their traces read on pipes by a thread of their own as they come
    (a trace not read for half a second stops its player)."""

    def __init__(self, program, work, ports, players):
        self.poller = select.epoll()
        self.readers, self.processes = {}, []
        self.last = [0.0] * players  # when each trace last wrote
        self.since, self.first = None, [None] * players  # a message's sending, each player's write
        self.running = True
        threading.Thread(target=self.read, daemon=True).start()
        for k in range(players):
            fifo = os.path.join(work, "p%d.trace" % k)
            os.mkfifo(fifo)
            fd = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
            self.readers[fd] = k
            self.poller.register(fd, select.EPOLLIN)
            self.processes.append(subprocess.Popen(
                [program, "--mqtt", "mqtt://127.0.0.1:%d" % ports[k % len(ports)], "--mqtt-name", "p%d" % k,
                 "--port", "trace:" + fifo, "--state", os.path.join(work, "p%d" % k)],
                env={**os.environ, "GLOWREEL_MQTT_GROUPS": "fleet"},
                stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "p%d.log" % k), "w"),
                # The instrument ahead of 200 busy players: a trace not read for half a second
                # stops its player, and a late read would be counted against the player.
                preexec_fn=lambda: os.nice(5)))
            started.append(self.processes[-1])
        self.work = work

    def dead(self):
        """What the players that stopped said last."""
        said = set()
        for k, process in enumerate(self.processes):
            if process.poll() is not None:
                said.add(open(os.path.join(self.work, "p%d.log" % k)).read().strip().split("\n")[-1])
        return said

    def read(self):
        """Each burst as it arrives, and when its first write was made: the trace's lines carry
        the microseconds of their writes, so a burst's first came its span before its arrival."""
        while self.running:
            for fd, _ in self.poller.poll(0.1):
                try:
                    got = os.read(fd, 1 << 20)
                except BlockingIOError:
                    continue
                if not got:
                    continue
                now = time.monotonic()
                k = self.readers[fd]
                lines = got.split(b"\n")
                try:
                    span = (int(lines[-2].split()[0]) - int(lines[0].split()[0])) / 1e6 if len(lines) > 2 else 0
                except (ValueError, IndexError):
                    span = 0  # a burst cut inside a line
                if self.since is not None and self.first[k] is None:
                    self.first[k] = (max(now - max(0, span), self.since) - self.since) * 1000
                self.last[k] = now

    def quiet(self, seconds=1.0):
        """Until no trace has written for a while."""
        while time.monotonic() - max(self.last) < seconds:
            time.sleep(0.1)

    def message(self, port, text, patience=10):
        """Milliseconds from the publisher's start to each player's first write."""
        self.first = [None] * len(self.processes)
        self.since = sent = time.monotonic()
        subprocess.run(["mosquitto_pub", "-p", str(port), "-q", "1", "-t", "glowreel/group/fleet/message/set",
                        "-m", '{"text":"%s","priority":"alert","duration_ms":300}' % text], check=True)
        deadline = sent + patience
        while None in self.first and time.monotonic() < deadline:
            time.sleep(0.01)
        first, self.since = self.first, None
        return first

    def stop(self):
        for process in self.processes:
            process.send_signal(signal.SIGTERM)
        for process in self.processes:
            try:
                process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                process.kill()
        self.running = False


def online(port, players):
    out = subprocess.run(["mosquitto_sub", "-p", str(port), "-t", "glowreel/+/availability", "-v", "-C",
                          str(players), "-W", "1", "--retained-only"], capture_output=True, text=True).stdout
    return sum(line.endswith(" online") for line in out.splitlines())


def p99(times):
    times = sorted(times)
    return times[min(len(times) - 1, int(0.99 * len(times)))]


def row(name, figure, goal, ok):
    print("%-36s %-28s goal %-12s %s" % (name, figure, goal, "met" if ok else "MISSED"))


def measure(fleet, port, rounds):
    times, missed = [], 0
    for k in range(rounds):
        fleet.quiet()
        got = fleet.message(port, "m%d" % k)
        missed += got.count(None)
        times += [t for t in got if t is not None]
    return times, missed


def main(program, players):
    work = tempfile.mkdtemp()
    os.chmod(work, 0o755)  # the broker, started as root, keeps its sessions as the user mosquitto
    try:
        port = free_port()
        first = broker(work, "one", port)
        fleet = Fleet(program, work, [port], players)
        while online(port, players) < players:
            pass
        times, missed = measure(fleet, port, MESSAGES)
        row("fleet of %d, one broker, p99" % players, "%.0f ms (median %.0f)" % (p99(times), sorted(times)[len(times) // 2]),
            "<= 250 ms", p99(times) <= 250 and not missed)
        first.send_signal(signal.SIGTERM)
        first.wait()
        first = broker(work, "one", port)
        got = fleet.message(port, "back", patience=70)
        row("a message as the broker comes back", "%d missed, all in %.1f s" % (
            got.count(None), max(t for t in got if t is not None) / 1000), "none", got.count(None) == 0)
        if fleet.dead():
            print("players stopped, saying:", "; ".join(sorted(fleet.dead())))
        fleet.quiet()
        pids = [p.pid for p in fleet.processes if p.poll() is None]
        ticks = [sum(int(x) for x in open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()[11:13])
                 for pid in pids]
        time.sleep(IDLE_SECONDS)
        used = sum(sum(int(x) for x in open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()[11:13])
                   for pid in pids) - sum(ticks)
        share = used / os.sysconf("SC_CLK_TCK") / IDLE_SECONDS / len(pids) * 100
        row("idle player, share of a core", "%.3f %%" % share, "< 0.1 %", share < 0.1)
        rollup = [dict((l.split(":")[0], int(l.split()[1])) for l in open("/proc/%d/smaps_rollup" % pid)
                       if l.split(":")[0] in ("Rss", "Pss", "Pss_Anon")) for pid in pids]
        pss = sum(r["Pss"] for r in rollup) / len(pids) / 1024
        rss = sum(r["Rss"] for r in rollup) / len(pids) / 1024
        row("idle player, memory (PSS)", "%.1f MB (RSS %.1f)" % (pss, rss), "< 4 MB", pss < 4)
        fleet.stop()
        first.send_signal(signal.SIGTERM)
        first.wait()

        port, second_port = free_port(), free_port()
        brokers = [broker(work, "a", port),
                   broker(work, "b", second_port, "connection a\naddress 127.0.0.1:%d\ntopic glowreel/# both 1\n" % port)]
        split = os.path.join(work, "split")
        os.makedirs(split)
        fleet = Fleet(program, split, [port, second_port], players)
        while online(port, players) < players:
            pass
        times, missed = measure(fleet, port, MESSAGES)
        row("fleet of %d, 2 bridged brokers, p99" % players, "%.0f ms (%d missed)" % (p99(times), missed),
            "<= 500 ms", p99(times) <= 500 and not missed)
        fleet.stop()
        for b in brokers:
            b.send_signal(signal.SIGTERM)
            b.wait()
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 200)
