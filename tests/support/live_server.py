"""What the tests of glowreel-play's server share: a player on a free loopback port, HTTP calls,
checks that print their name and go on."""
import atexit
import http.client
import json
import os
import re
import select
import signal
import subprocess
import threading
import time

play = None  # the glowreel-play under test, set by the test
failures = []


def check(name, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + name + ("" if ok else ": " + str(detail)[:500]))
    if not ok:
        failures.append(name)


started = []
atexit.register(lambda: [process.kill() for process in started if process.poll() is None])


HTTP_READY = r"listening on https?://127\.0\.0\.1:(\d+)"


def start(*args, env=None, ready=HTTP_READY):
    """A player on a free loopback port, the one its line `ready` names; (process, port)."""
    process = subprocess.Popen([play, *args], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True,
                               env={**os.environ, **(env or {})})
    started.append(process)
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        readable, _, _ = select.select([process.stderr], [], [], 1)
        line = process.stderr.readline() if readable else ""
        found = re.search(ready, line)
        if found:
            threading.Thread(target=process.stderr.read, daemon=True).start()
            return process, int(found.group(1))
        if process.poll() is not None:
            break
    process.kill()
    raise SystemExit("FAIL the player did not start listening")


def stop(process):
    process.send_signal(signal.SIGTERM)
    try:
        return process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        process.kill()
        return None


def call(port, method, path, body=None, headers=None, timeout=10):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=timeout)
    data = body if isinstance(body, (bytes, type(None))) else json.dumps(body).encode()
    connection.request(method, path, body=data, headers=headers or {})
    response = connection.getresponse()
    payload = response.read()
    connection.close()
    return response.status, dict(response.getheaders()), payload


def wait_for(condition, seconds=15):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            if condition():
                return True
        except (OSError, http.client.HTTPException):
            pass  # a connection refused or reset while the server is full
        time.sleep(0.02)
    return False


