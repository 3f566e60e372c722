#!/usr/bin/env python3
"""glowreel-play --mqtt against Debian's mosquitto on loopback, with mosquitto_pub and mosquitto_sub:
a text reaches the display, brightness and power act, the state and Home Assistant's discovery are
published retained, bad and retained commands are ignored, the broker restarts under a running
player (it reconnects, and a QoS 1 message sent while it was away is shown), and a group message
crosses a bridge between two brokers to a player on each. --mqtt-forget clears what it left.
Usage: broker_test.py GLOWREEL_PLAY TRANSCRIBE SOURCE_DIR WORK_DIR"""
import atexit
import json
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

play, transcribe, source, work = sys.argv[1:5]
sys.path.insert(0, os.path.join(source, "tests", "support"))
import live_server  # noqa: E402
from live_server import check, failures, start, stop, wait_for  # noqa: E402

live_server.play = play
CONNECTED = r"mqtt: connected to 127\.0\.0\.1 port (\d+)"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


# The brokers' folders: started as root, mosquitto keeps its sessions as the user mosquitto, who
# may not pass through the work folder's parents (a CI's private temporary folder).
brokers_home = tempfile.mkdtemp(prefix="glowreel-brokers-")
os.chmod(brokers_home, 0o755)
atexit.register(shutil.rmtree, brokers_home, True)


def broker(name, port, extra=""):
    """A mosquitto of the test's own on loopback, keeping its sessions across a restart."""
    folder = os.path.join(brokers_home, name)
    os.makedirs(folder, exist_ok=True)
    os.chmod(folder, 0o777)
    config = os.path.join(folder, "mosquitto.conf")
    with open(config, "w") as out:
        out.write(f"listener {port} 127.0.0.1\nallow_anonymous true\npersistence true\n"
                  f"persistence_location {folder}/\nlog_dest stderr\n{extra}")
    process = subprocess.Popen(["mosquitto", "-c", config], stdout=subprocess.DEVNULL,
                               stderr=open(os.path.join(folder, "log"), "a"))
    live_server.started.append(process)
    if not wait_for(lambda: socket.create_connection(("127.0.0.1", port), timeout=1).close() or True, 10):
        raise SystemExit("FAIL mosquitto did not start")
    return process


def pub(port, topic, message, retain=False):
    subprocess.run(["mosquitto_pub", "-p", str(port), "-q", "1", "-t", topic, "-m", message]
                   + (["-r"] if retain else []), check=True, timeout=10)


def retained(port, topic, count=1):
    """The retained messages of a topic filter: {topic: payload}."""
    out = subprocess.run(["mosquitto_sub", "-p", str(port), "-t", topic, "-v", "-C", str(count),
                          "-W", "3", "--retained-only"], capture_output=True, text=True).stdout
    return dict(line.split(" ", 1) for line in out.splitlines() if " " in line)


def state(port, name):
    payload = retained(port, f"glowreel/{name}/state").get(f"glowreel/{name}/state", "{}")
    return json.loads(payload)


def shown(trace):
    return subprocess.run([transcribe, "--text", trace], capture_output=True, text=True).stdout


def player(name, port, *more, env=None):
    trace = os.path.join(work, name + ".trace")
    process, _ = start("--mqtt", f"mqtt://127.0.0.1:{port}", "--mqtt-name", name, "--port", "trace:" + trace,
                       "--state", os.path.join(work, name + "-state"), *more, env=env, ready=CONNECTED)
    return process, trace


shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
port = free_port()
first = broker("broker", port)
pub(port, "glowreel/t1/message/set", "Retained junk", retain=True)
t1, trace = player("t1", port)

# What a broker's clients and Home Assistant see.
check("online, retained", retained(port, "glowreel/t1/availability") == {"glowreel/t1/availability": "online"})
check("the state is published retained", state(port, "t1").get("name") == "t1")
configs = retained(port, "homeassistant/+/glowreel_t1/+/config", 6)
check("six entities announced to Home Assistant",
      sorted(t.split("/")[1] for t in configs) == ["button", "light", "notify", "select", "sensor", "text"],
      sorted(configs))

pub(port, "glowreel/t1/message/set", "Hello MQTT")
check("a text sent to message/set is on the display", wait_for(lambda: "Hello MQTT" in shown(trace), 10))
check("a retained command is not acted on", "Retained junk" not in shown(trace))
pub(port, "glowreel/t1/message/set", "", retain=True)  # the junk taken away
pub(port, "glowreel/t1/brightness/set", "5")
check("brightness acts", wait_for(lambda: state(port, "t1").get("brightness") == 5, 10))
pub(port, "glowreel/t1/light/brightness/set", "255")
check("Home Assistant's brightness acts", wait_for(lambda: state(port, "t1").get("brightness") == 16, 10))
pub(port, "glowreel/t1/power/set", "OFF")
check("power acts", wait_for(lambda: state(port, "t1").get("power") == "off", 10))
pub(port, "glowreel/t1/power/set", "ON")
pub(port, "glowreel/t1/message/set", "{not json")
check("malformed JSON is an error in the state and nothing more",
      wait_for(lambda: "not JSON" in state(port, "t1").get("error", ""), 10) and t1.poll() is None)

# The broker stops and comes back: the player reconnects and gets what was sent meanwhile.
first.send_signal(signal.SIGTERM)  # it keeps its sessions on the way down
first.wait(timeout=10)
first = broker("broker", port)
pub(port, "glowreel/t1/message/set", "While away")
check("a QoS 1 message sent while the player was away is shown",
      wait_for(lambda: "While away" in shown(trace), 30))
check("online again after the restart",
      wait_for(lambda: retained(port, "glowreel/t1/availability").get("glowreel/t1/availability") == "online", 10))
check("the player played on through it", t1.poll() is None)
stop(t1)
check("a player stopped says offline",
      retained(port, "glowreel/t1/availability").get("glowreel/t1/availability") == "offline")
forget = subprocess.run([play, "--mqtt", f"mqtt://127.0.0.1:{port}", "--mqtt-name", "t1", "--mqtt-forget"],
                        capture_output=True, text=True, timeout=30)
check("--mqtt-forget clears the discovery and the state",
      forget.returncode == 0 and retained(port, "homeassistant/#", 6) == {}
      and retained(port, "glowreel/t1/#", 8) == {}, forget.stderr)

# A fleet: two brokers bridged, a player on each, one group message to both.
second_port = free_port()
broker("bridged", second_port, f"connection first\naddress 127.0.0.1:{port}\ntopic glowreel/# both 1\n")
fleet = {"GLOWREEL_MQTT_GROUPS": "windows,shop"}
f1, f1_trace = player("f1", port, env=fleet)
f2, f2_trace = player("f2", second_port, env=fleet)
check("the bridge carries each player's state to the other broker",
      wait_for(lambda: state(second_port, "f1").get("name") == "f1", 15))
pub(port, "glowreel/group/shop/message/set", "To the fleet")
check("a group message reaches the players on both brokers",
      wait_for(lambda: "To the fleet" in shown(f1_trace) and "To the fleet" in shown(f2_trace), 15))
stop(f1)
stop(f2)

# mqtts with a CA of the test's own and a user from a file; the wrong CA or password is refused.
tls = os.path.join(brokers_home, "tls")
os.makedirs(tls)
os.chmod(tls, 0o755)


def openssl(*args):
    subprocess.run(["openssl", *args], cwd=tls, check=True, capture_output=True)


openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
        "-subj", "/CN=GlowReel test CA")
openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1")
with open(os.path.join(tls, "san"), "w") as out:
    out.write("subjectAltName=IP:127.0.0.1\n")
openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
        "-out", "server.pem", "-days", "2", "-extfile", "san")
subprocess.run(["mosquitto_passwd", "-c", "-b", os.path.join(tls, "passwords"), "display", "s3cret"], check=True)
for name in os.listdir(tls):
    os.chmod(os.path.join(tls, name), 0o644)  # read by the user mosquitto
for name, text in (("right", "display\ns3cret\n"), ("wrong", "display\nguess\n")):
    with open(os.path.join(tls, name), "w") as out:
        out.write(text)
tls_port = free_port()
broker("secure", tls_port, f"cafile {tls}/ca.pem\ncertfile {tls}/server.pem\nkeyfile {tls}/server.key\n"
       f"allow_anonymous false\npassword_file {tls}/passwords\n")


def secure(credentials, ca=None):
    """What the player says first about the broker: connected, or why not."""
    env = {**os.environ, "GLOWREEL_MQTT_CREDENTIALS": os.path.join(tls, credentials)}
    env.pop("GLOWREEL_MQTT_CA", None)
    if ca:
        env["GLOWREEL_MQTT_CA"] = ca
    process = subprocess.Popen([play, "--mqtt", f"mqtts://127.0.0.1:{tls_port}", "--mqtt-name", "s", "--port", "none",
                                "--state", os.path.join(work, "s-state")], env=env, stderr=subprocess.PIPE, text=True)
    live_server.started.append(process)
    line = process.stderr.readline() if select.select([process.stderr], [], [], 20)[0] else ""
    stop(process)
    return line


check("mqtts with the CA given and the user from a file connects",
      "mqtt: connected" in secure("right", os.path.join(tls, "ca.pem")))
check("a broker whose CA the system does not trust is refused", "TLS" in secure("right"))
check("a wrong password is refused in words", "not authorised" in secure("wrong", os.path.join(tls, "ca.pem")))

print("%d failed" % len(failures) if failures else "all passed")
sys.exit(1 if failures else 0)
