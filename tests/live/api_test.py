#!/usr/bin/env python3
"""glowreel-play --http against real HTTP clients on loopback: messages interrupt and the movie goes
on, the API's answers to good and bad requests, tokens, the state kept across a restart.
Usage: api_test.py GLOWREEL_PLAY SOURCE_DIR WORK_DIR"""
import http.client
import json
import os
import shutil
import socket
import ssl
import subprocess
import sys
import threading
import time

play, source, work = sys.argv[1:4]
sys.path.insert(0, os.path.join(source, "tests", "support"))
import live_server  # noqa: E402
from live_server import call, check, failures, start, stop, wait_for  # noqa: E402

live_server.play = play
def state(port):
    return json.loads(call(port, "GET", "/api/state")[2])


class Frames(threading.Thread):
    """The frames of /api/events as they come, with the time each came, and the last state."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.port, self.frames, self.states, self.state = port, [], 0, {}

    def run(self):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=60)
        connection.request("GET", "/api/events")
        stream = connection.getresponse()
        event = None
        while True:
            line = stream.fp.readline()
            if not line:
                return
            line = line.decode().rstrip("\n")
            if line.startswith("event: "):
                event = line[7:]
            elif line.startswith("data: ") and event == "frame":
                self.frames.append((time.monotonic(), line[6:].split(" ")[0]))
            elif line.startswith("data: ") and event == "state":
                self.states += 1
                self.state = json.loads(line[6:])


shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
state_dir = os.path.join(work, "state")
wave = os.path.join(source, "movies", "wave.grm")
player, port = start("--http", "0", "--state", state_dir, "--port", "trace:" + os.path.join(work, "trace"),
                     "--repeat", wave)
events = Frames(port)
events.start()

# An alert interrupts the movie, stays its two seconds, and the movie goes on.
check("the movie's frames stream as they are sent", wait_for(lambda: len(events.frames) > 5))
movie_frames = {frame for _, frame in events.frames}
status, _, body = call(port, "POST", "/api/messages",
                       {"text": "Door", "priority": "alert", "duration_ms": 2000})
posted = time.monotonic()
check("a message is taken: 201 and its id", status == 201 and "id" in json.loads(body), body)
check("the state shows the message", wait_for(lambda: (state(port)["showing"] or {}).get("source") == "message", 5))
check("and then the playlist again", wait_for(lambda: (state(port)["showing"] or {}).get("source") == "playlist", 10))
wait_for(lambda: events.frames[-1][0] > posted + 2.5, 5)
after = [(at, frame) for at, frame in events.frames if at >= posted - 0.05]
door = next((k for k, (_, frame) in enumerate(after) if frame not in movie_frames), None)
check("the message's frame came within the slices after the post", door is not None and after[door][0] - posted < 1.0,
      after[:3])
if door is not None and door + 1 < len(after):
    held = after[door + 1][0] - after[door][0]
    check("it was held about two seconds (%.2f s)" % held, 1.5 <= held <= 4.0)
    check("the movie's frames came back after it", after[door + 1][1] in movie_frames)
counters = state(port)["counters"]
check("the counters tell one message shown", counters["shown"] == 1, counters)
status, headers, png = call(port, "GET", "/api/display.png")
check("/api/display.png is a 128 x 64 PNG", status == 200 and png[:8] == b"\x89PNG\r\n\x1a\n" and
      int.from_bytes(png[16:20], "big") == 128 and int.from_bytes(png[20:24], "big") == 64)

# Bad requests: a status and a JSON message each, and the display plays on.
shown_before = len(events.frames)
table = [
    ("POST", "/api/messages", b"{bad", {}, 400, "not JSON"),
    ("POST", "/api/messages", b'{"text": 1}', {"Content-Type": "application/json"}, 400, "text:"),
    ("POST", "/api/messages", b'{"text": "a", "priority": "now"}', {}, 400, "priority"),
    ("PUT", "/api/state", b"", {}, 405, "GET"),
    ("GET", "/api/nothing", None, {}, 404, "no such page"),
    ("DELETE", "/api/messages/999", None, {}, 404, "no message"),
    ("POST", "/api/media?name=../evil", b"P1\n1 1\n1\n", {}, 400, "name"),
    ("PUT", "/api/media/..", b"P1\n1 1\n1\n", {}, 400, "name"),
    ("POST", "/api/media?name=bad.gif", b"GIF89a\x01\x00\x01\x00garbage", {}, 422, "no frame header"),
    ("POST", "/api/media?name=cut.gif", b"GIF89a\x02\x00\x02\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff,\x00", {}, 422, "picture"),
    ("POST", "/api/media?name=bad.grm", b"@x\r\n", {}, 422, ""),
    ("POST", "/api/messages?priority=alert", b"BM not really", {"Content-Type": "image/bmp"}, 422, ""),
    ("PUT", "/api/playlist", b'{"items":[{"movie":"missing.grm"}]}', {}, 422, "missing.grm"),
    ("PUT", "/api/brightness", b'{"brightness": 17}', {}, 400, "1 to 16"),
    ("PUT", "/api/power", b'"sideways"', {}, 400, "power"),
    ("POST", "/api/preview", b'{"clock": "%H"}', {}, 400, "only a text"),
    ("POST", "/api/preview", json.dumps({"text": "x" * 1001}).encode(), {}, 400, "at most"),
]
for method, path, body, headers, expected, says in table:
    status, answer_headers, answer = call(port, method, path, body, headers)
    try:
        message = json.loads(answer)["error"]
    except (ValueError, KeyError):
        message = None
    check("%s %s answers %d saying %r" % (method, path, expected, says),
          status == expected and message is not None and says in message, (status, answer))
    if expected == 405:
        check("405 names the methods there are", answer_headers.get("Allow") == "GET", answer_headers)

# A body announced over the limit is refused before it is sent.
connection = socket.create_connection(("127.0.0.1", port), timeout=10)
connection.sendall(b"POST /api/media?name=big HTTP/1.1\r\nHost: x\r\nContent-Length: 100000000\r\n\r\n")
check("a body over the limit: 413", connection.recv(100).startswith(b"HTTP/1.1 413"))
connection.close()

# Clients that send slowly, and more connections than the limit: others are still answered.
idle = []
for _ in range(24):
    try:
        client = socket.create_connection(("127.0.0.1", port), timeout=5)
        client.sendall(b"GET /api/state HTTP/1.1\r\nHost: x\r\n")  # never finished
        idle.append(client)
    except OSError:
        break
for client in idle:
    client.close()
# Each is let go when closed, or at the latest after the 15 s a silent client is given.
# Answered again and again: every one let go, not only the first.
check("after 24 unfinished requests the API answers",
      wait_for(lambda: all(call(port, "GET", "/api/state")[0] == 200 for _ in range(20)), 25))
check("and the display played on through all of it", wait_for(lambda: len(events.frames) > shown_before + 5, 5))

# Media, a playlist of them, and its order in the state.
status, _, _ = call(port, "POST", "/api/media?name=dots.pbm", b"P1\n2 2\n1 0\n0 1\n")
check("a picture is stored", status == 201)
with open(wave, "rb") as movie:
    status, _, _ = call(port, "PUT", "/api/media/wave.grm", movie.read())
check("a movie is stored", status == 201)
media = json.loads(call(port, "GET", "/api/media")[2])
check("the media are listed", [entry["name"] for entry in media] == ["dots.pbm", "wave.grm"], media)
playlist = {"items": [{"picture": "dots.pbm", "duration_ms": 300}, {"movie": "wave.grm", "passes": 1}],
            "schedule": [{"days": ["sat", "sun"], "from": "22:00", "to": "07:00", "brightness": 3}]}
status, _, _ = call(port, "PUT", "/api/playlist", playlist)
check("the playlist is taken", status == 200)
check("the state shows it in its order", state(port)["playlist"]["items"] == playlist["items"])
status, _, body = call(port, "DELETE", "/api/media/dots.pbm")
check("media in the playlist are not deleted", status == 409, body)
check("/api/brightness acts", call(port, "PUT", "/api/brightness", {"brightness": 5})[0] == 200 and
      wait_for(lambda: state(port)["brightness"] == 5, 5))
# Switched off, nothing is sent to the display; what changes is still told to the event streams.
call(port, "PUT", "/api/power", {"power": "off"})
check("the event stream tells the display is off", wait_for(lambda: events.state.get("power") == "off", 5))
call(port, "PUT", "/api/brightness", {"brightness": 3})
check("and a brightness set while it is off", wait_for(lambda: events.state.get("brightness") == 3, 5),
      events.state)
call(port, "PUT", "/api/brightness", {"brightness": 5})
call(port, "PUT", "/api/power", {"power": "on"})

# The description of it all.
status, _, body = call(port, "GET", "/api/openapi.json")
description = json.loads(body)
with open(os.path.join(work, "openapi.json"), "wb") as kept:  # for the schema check after this test
    kept.write(body)
operations = [(path, method, operation) for path, item in description["paths"].items()
              for method, operation in item.items() if method in ("get", "put", "post", "delete")]
check("every operation has a summary", all("summary" in operation for _, _, operation in operations))
check("every route served is described", {"/api/state", "/api/messages", "/api/messages/{id}", "/api/playlist",
      "/api/media", "/api/media/{name}", "/api/brightness", "/api/power", "/api/display.png", "/api/events",
      "/api/openapi.json"} <= set(description["paths"]))

check("SIGTERM ends the player with status 0", stop(player) == 0)

# A restart resumes the playlist and brightness kept in the state folder; what a killed player's
# messages left there goes.
stale = os.path.join(state_dir, "uploads", "7")
open(stale, "wb").write(b"P1\n1 1\n1\n")
player, port = start("--http", "127.0.0.1:0", "--state", state_dir, "--port", "none")
check("a killed player's uploads are gone after a restart", not os.path.exists(stale))
again = state(port)
days = lambda listed: [{**window, "days": sorted(window["days"])} for window in listed["schedule"]]
check("a restart resumes the playlist, its schedule and the brightness",
      again["playlist"]["items"] == playlist["items"] and again["brightness"] == 5 and
      days(again["playlist"]) == [{**days(playlist)[0], "power": "on"}], again)
stop(player)

# A token, where one is set, is needed for every request.
player, port = start("--http", "0", "--state", state_dir, "--port", "none", env={"GLOWREEL_HTTP_TOKEN": "s3cret"})
check("no token: 401", call(port, "GET", "/api/state")[0] == 401)
check("a wrong token: 401", call(port, "GET", "/api/state", headers={"Authorization": "Bearer s3creT"})[0] == 401)
check("the token: 200", call(port, "GET", "/api/state", headers={"Authorization": "Bearer s3cret"})[0] == 200)
# The page's own files need no token (the page asks for it), and run only their own scripts.
for path, kind in (("/", "text/html"), ("/app.js", "text/javascript"), ("/style.css", "text/css")):
    status, headers, _ = call(port, "GET", path)
    check("%s without a token: 200, %s" % (path, kind), status == 200 and headers["Content-Type"].startswith(kind)
          and headers["X-Content-Type-Options"] == "nosniff", (status, headers))
    if path == "/":
        check("the page's policy allows only its own", "default-src 'self'" in headers["Content-Security-Policy"])
check("a page that is not there: 404", call(port, "GET", "/api.js")[0] == 404)
check("a page is only read: 405", call(port, "POST", "/", b"x")[0] == 405)
stop(player)
# With a certificate and its key, HTTPS only.
cert, key = os.path.join(work, "cert.pem"), os.path.join(work, "key.pem")
subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1",
                "-addext", "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert],
               check=True, capture_output=True, timeout=60)
player, port = start("--http", "0", "--state", state_dir, "--port", "none",
                     env={"GLOWREEL_HTTP_CERT": cert, "GLOWREEL_HTTP_KEY": key})
secure = http.client.HTTPSConnection("127.0.0.1", port, timeout=10, context=ssl.create_default_context(cafile=cert))
secure.request("GET", "/api/state")
check("with a certificate the API answers over TLS", secure.getresponse().status == 200)
secure.close()
check("and not in plain HTTP", not wait_for(lambda: call(port, "GET", "/api/state", timeout=3)[0] == 200, 2))
stop(player)
refused = subprocess.run([play, "--http", "0.0.0.0:0", "--state", state_dir, "--port", "none"],
                         capture_output=True, text=True, timeout=20, env={k: v for k, v in os.environ.items()
                                                                          if not k.startswith("GLOWREEL_")})
check("beyond loopback without a token it does not start (status 2)",
      refused.returncode == 2 and "needs a token" in refused.stderr, refused.stderr)

sys.exit(1 if failures else 0)
