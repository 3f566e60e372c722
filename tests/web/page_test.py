#!/usr/bin/python3
"""The display's web page in headless Chromium, against glowreel-play --http with a trace: the token,
a text sent from the form found in the trace, a GIF uploaded and its frames seen, the playlist
reordered by dragging, the schedule in words, brightness and power, the live view equal to
/api/display.png and close behind the port, reconnection, labels, and how fast and small it is.
Usage: page_test.py GLOWREEL_PLAY SOURCE_DIR WORK_DIR"""
import json
import os
import shutil
import subprocess
import sys

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

play, source, work = sys.argv[1:4]
sys.path.insert(0, os.path.join(source, "tests", "support"))
import live_server  # noqa: E402
from live_server import call, check, failures, start, stop, wait_for  # noqa: E402

live_server.play = play
TOKEN = "page-test-token"
AUTH = {"Authorization": "Bearer " + TOKEN}


def state():
    return json.loads(call(port, "GET", "/api/state", headers=AUTH)[2])


def trace_frames(path):
    """Each picture the trace left on the display, as the event stream writes frames: the
    display's memory, page by page, in hexadecimal, taken where the writes pause for more than
    5 ms (a frame's writes come in one burst, whole or only the columns that changed)."""
    memory = [[0] * 128 for _ in range(8)]
    x = page = 0
    data = 0
    waiting = None  # a command that takes the next command byte as its parameter
    frames = []
    with open(path) as trace:
        lines = [line.split() for line in trace]
    for k, (micros, address, value) in enumerate(lines):
        address, value = int(address, 16), int(value, 16)
        if address == 0x378:
            data = value
        else:
            control = value ^ 0x05
            if not control & 0x04:
                pass  # only the strobe moves a byte
            elif control & 0x08:
                memory[page][x] = data
                x = min(x + 1, 127)
            elif waiting == 0x64:
                x, waiting = data, None
            elif waiting == 0x60:
                page, waiting = data, None
            elif waiting is not None:
                waiting = None
            elif data in (0x64, 0x60, 0x62, 0x24, 0x20):
                waiting = data
        if k + 1 == len(lines) or int(lines[k + 1][0]) - int(micros) > 5000:
            frames.append("".join("%02x" % byte for row in memory for byte in row))
    return frames


def half_lit_hex(left):
    """A frame with the left or the right half of the dots lit."""
    return "".join(("ff" if (x < 64) == left else "00") for _ in range(8) for x in range(128))


def dots_of(canvas_id, pitch, border):
    """The dots a canvas of the page shows, lit or not, read from its pixels."""
    return driver.execute_script("""
        const [id, pitch, border] = arguments;
        const canvas = document.getElementById(id);
        const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        const lit = [];
        for (let y = 0; y < 64; ++y)
          for (let x = 0; x < 128; ++x)
            lit.push(pixels[((border + y * pitch) * canvas.width + border + x * pitch) * 4 + 1] > 44 ? 1 : 0);
        return lit.join('');""", canvas_id, pitch, border)


def png_dots():
    """/api/display.png, decoded by the browser, as the same string of dots."""
    return driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        fetch('/api/display.png', {headers: {Authorization: 'Bearer ' + arguments[0]}})
          .then(answer => answer.blob()).then(createImageBitmap).then(picture => {
            const canvas = document.createElement('canvas');
            canvas.width = 128; canvas.height = 64;
            const context = canvas.getContext('2d');
            context.drawImage(picture, 0, 0);
            const pixels = context.getImageData(0, 0, 128, 64).data;
            let lit = '';
            for (let k = 0; k < 128 * 64; ++k) lit += pixels[k * 4 + 1] > 127 ? '1' : '0';
            done(lit);
          });""", TOKEN)


def hex_dots(hex_frame):
    lit = ["0"] * (128 * 64)
    for page in range(8):
        for x in range(128):
            byte = int(hex_frame[(page * 128 + x) * 2:(page * 128 + x) * 2 + 2], 16)
            for k in range(8):
                if byte >> k & 1:
                    lit[(page * 8 + k) * 128 + x] = "1"
    return "".join(lit)


def field(element_id):
    return driver.find_element(By.ID, element_id)


def text_of(element_id):
    return field(element_id).text


def entries(list_id):
    return driver.find_elements(By.CSS_SELECTOR, "#%s > li" % list_id)


def click(element):
    """A click as a person makes it: on the control brought to the middle of the window."""
    driver.execute_script("arguments[0].scrollIntoView({block: 'center'})", element)
    element.click()


def press(label):
    click(driver.find_element(By.CSS_SELECTOR, '[aria-label="%s"]' % label))


shutil.rmtree(work, ignore_errors=True)
os.makedirs(work)
trace = os.path.join(work, "trace")
state_dir = os.path.join(work, "state")
player, port = start("--http", "0", "--state", state_dir, "--port", "trace:" + trace,
                     env={"GLOWREEL_HTTP_TOKEN": TOKEN})

options = webdriver.ChromeOptions()
for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                 "--window-size=1280,900", "--user-data-dir=" + os.path.join(work, "chromium")):
    options.add_argument(argument)
options.binary_location = "/usr/bin/chromium"
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
driver.set_script_timeout(20)
page = "http://127.0.0.1:%d/" % port

try:
    # The token: asked for once, a wrong one said to be wrong.
    driver.get(page)
    check("the page asks for the token", wait_for(lambda: field("token-form").is_displayed(), 10))
    field("token").send_keys("wrong" + Keys.ENTER)
    check("a wrong token is said to be wrong", wait_for(
        lambda: field("error").is_displayed() and "not accepted" in text_of("error-text"), 10), text_of("error-text"))
    check("and nothing else is shown", not field("panels").is_displayed())
    field("token").clear()
    field("token").send_keys(TOKEN + Keys.ENTER)
    check("the right one opens the page, live", wait_for(lambda: text_of("connection") == "Live", 10),
          text_of("connection"))

    # Kept for the session: a reload asks no more; how fast the first view is, and how heavy.
    driver.get(page)
    check("a reload does not ask again", wait_for(lambda: text_of("connection") == "Live", 10))
    wait_for(lambda: driver.execute_script("return performance.getEntriesByName('first view').length"), 10)
    first_view = driver.execute_script("return performance.getEntriesByName('first view')[0].startTime")
    weight = driver.execute_script("""return performance.getEntriesByType('navigation').concat(
        performance.getEntriesByType('resource')).filter(e => !e.name.includes('/api/'))
        .reduce((sum, e) => sum + e.encodedBodySize, 0)""")
    check("the first view is complete within 300 ms (%.0f ms)" % first_view, first_view <= 300)
    check("the page weighs at most 100 kB (%.1f kB)" % (weight / 1000), 0 < weight <= 100_000)
    tree = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    controls = [node for node in tree if node.get("role", {}).get("value") in
                ("button", "textbox", "checkbox", "radio", "combobox", "slider", "spinbutton")]
    unnamed = [node["role"]["value"] for node in controls if not node.get("name", {}).get("value", "").strip()]
    check("every control has a name in the accessibility tree (%d controls)" % len(controls),
          len(controls) >= 15 and not unnamed, unnamed)

    # A text from the form: previewed in the pixel font, then on the display, dot for dot.
    field("message-text").send_keys("Hi there")
    expected = json.loads(call(port, "POST", "/api/preview", {"text": "Hi there"}, AUTH)[2])["frames"][0]["dots"]
    check("the preview shows the text as the display will",
          wait_for(lambda: dots_of("preview", 2, 4) == hex_dots(expected), 5))
    field("message-seconds").clear()
    field("message-seconds").send_keys("30")
    field("message-priority").send_keys("Alert")
    click(field("message-form").find_element(By.CSS_SELECTOR, "button[type=submit]"))
    check("the page says it was sent", wait_for(lambda: "sent" in text_of("said"), 5), text_of("said"))
    check("the trace holds the text's dots", wait_for(lambda: expected in trace_frames(trace), 5))
    check("the state says what is shown", wait_for(lambda: "Hi there" in text_of("showing"), 5), text_of("showing"))
    check("the live view's dots are /api/display.png's",
          wait_for(lambda: dots_of("live", 5, 12) == png_dots() == hex_dots(expected), 5))
    press("Take message 1 away")
    check("a message can be taken away", wait_for(lambda: "blank" in text_of("showing"), 5), text_of("showing"))

    # A GIF: uploaded, listed, sent, and both its frames seen live.
    gif = os.path.join(work, "halves.gif")
    subprocess.run(["convert", "-size", "128x64", "xc:black", "-fill", "white", "-draw", "rectangle 0,0 63,63",
                    "(", "-size", "128x64", "xc:black", "-fill", "white", "-draw", "rectangle 64,0 127,63", ")",
                    "-set", "delay", "10", "-loop", "0", gif], check=True)
    field("media-file").send_keys(gif)
    check("the name comes from the file", field("media-name").get_attribute("value") == "halves.gif")
    click(field("media-form").find_element(By.CSS_SELECTOR, "button[type=submit]"))
    check("the upload is listed", wait_for(lambda: "halves.gif" in text_of("media-list"), 5), text_of("media-list"))
    click(driver.find_element(By.CSS_SELECTOR, 'input[name="message-kind"][value="file"]'))
    field("message-file").send_keys(gif)
    field("message-passes").send_keys("3")
    click(field("message-form").find_element(By.CSS_SELECTOR, "button[type=submit]"))
    recent = "return window.glowreelView.recent"
    check("both of the GIF's frames are seen live", wait_for(lambda: {half_lit_hex(True), half_lit_hex(False)} <=
                                                             set(driver.execute_script(recent)), 10))

    # The playlist: built from the page, reordered by dragging, the order in the state.
    press("Add halves.gif to the playlist")
    for kind, value in (("a text", "Second"), ("a clock", "%H:%M")):
        field("add-kind").send_keys(kind)
        field("add-value").send_keys(value + Keys.ENTER)
    check("three items in the playlist", wait_for(lambda: len(state()["playlist"]["items"]) == 3, 5))
    wait_for(lambda: len(entries("playlist")) == 3, 5)
    driver.execute_script("arguments[0].scrollIntoView({block: 'center'})", field("playlist"))
    handle = entries("playlist")[2].find_element(By.CLASS_NAME, "handle")
    top = entries("playlist")[0]
    ActionChains(driver).click_and_hold(handle).move_to_element_with_offset(top, 0, -top.size["height"] // 2 + 2) \
        .pause(0.2).release().perform()
    order = lambda: [next(iter(item)) for item in state()["playlist"]["items"]]  # noqa: E731
    check("dragging the clock to the top puts it first", wait_for(lambda: order() == ["clock", "picture", "text"], 5),
          order())
    entries("playlist")[1].find_element(By.CLASS_NAME, "handle").send_keys(Keys.ARROW_DOWN)
    check("and the keys move an item too", wait_for(lambda: order() == ["clock", "text", "picture"], 5), order())

    # The schedule, in words; brightness and power, at once.
    click(field("add-window"))
    check("a time window says what it will do", wait_for(
        lambda: "weekdays 22:00-07:00: brightness 3" in text_of("schedule"), 5), text_of("schedule"))
    check("and it is in the playlist's schedule", wait_for(lambda: state()["playlist"]["schedule"][0]["brightness"] == 3, 5))
    before = state()["brightness"]  # the new window's 3 where it is in force now
    wait_for(lambda: field("brightness").get_attribute("value") == str(before), 5)  # as the page shows it
    field("brightness").send_keys(Keys.ARROW_LEFT * 3 if before > 3 else Keys.ARROW_RIGHT * 3)
    wanted = before - 3 if before > 3 else before + 3
    check("the slider sets the brightness", wait_for(lambda: state()["brightness"] == wanted, 5),
          (before, state()["brightness"]))
    click(field("power"))
    check("the switch turns the display off", wait_for(lambda: state()["power"] == "off", 5))
    check("and the page shows it off", wait_for(lambda: dots_of("live", 5, 12) == "0" * 8192, 5))
    click(field("power"))
    check("and on again", wait_for(lambda: state()["power"] == "on", 5))

    # Close behind the port, while the GIF plays again and again.
    driver.execute_script("window.glowreelView.lags.length = 0")
    with open(gif, "rb") as picture:
        call(port, "POST", "/api/messages?passes=30&priority=alert", picture.read(), AUTH)
    wait_for(lambda: len(driver.execute_script("return window.glowreelView.lags")) >= 20, 10)
    lags = sorted(driver.execute_script("return window.glowreelView.lags"))
    check("the live view is at most 100 ms behind the port (%d frames, at most %.1f ms)" % (len(lags), lags[-1]),
          len(lags) >= 20 and lags[-1] <= 100, lags[-5:])

    # A phone asleep: the page frozen while the display goes on, and in step again when it wakes.
    driver.execute_cdp_cmd("Page.setWebLifecycleState", {"state": "frozen"})
    call(port, "POST", "/api/messages", {"text": "While asleep", "priority": "alert", "duration_ms": 60000}, AUTH)
    wait_for(lambda: "While asleep" in state()["showing"]["item"].get("text", ""), 5)
    driver.execute_cdp_cmd("Page.setWebLifecycleState", {"state": "active"})
    check("after a sleep the live view shows what the display shows",
          wait_for(lambda: dots_of("live", 5, 12) == png_dots() != "0" * 8192, 10))

    # The server restarted on the same port: the page finds it again by itself.
    check("the player stops", stop(player) == 0)
    check("the page says the connection is lost", wait_for(lambda: "lost" in text_of("connection"), 10))
    player, _ = start("--http", "127.0.0.1:%d" % port, "--state", state_dir, "--port", "none",
                      env={"GLOWREEL_HTTP_TOKEN": TOKEN})
    seen = driver.execute_script("return window.glowreelView.frames()")
    check("and live again once it is back", wait_for(lambda: text_of("connection") == "Live" and
                                                     driver.execute_script("return window.glowreelView.frames()") > seen, 15))

    # What the README shows: a phone and a desktop.
    call(port, "POST", "/api/messages", {"text": "Back at 2 pm", "duration_ms": 60000, "priority": "alert"}, AUTH)
    wait_for(lambda: "Back at 2 pm" in text_of("showing"), 5)
    for width, name in ((360, "web-page-phone.png"), (1280, "web-page-desktop.png")):
        driver.set_window_size(width, 900)
        height = driver.execute_script("return document.documentElement.scrollHeight")
        driver.set_window_size(width, min(height, 2400))
        driver.execute_script("window.scrollTo(0, 0)")
        overflow = driver.execute_script("return document.documentElement.scrollWidth")
        check("nothing is wider than %d px (%d)" % (width, overflow), overflow <= width)
        driver.save_screenshot(os.path.join(work, name))
    errors = [entry for entry in driver.get_log("browser") if entry["level"] == "SEVERE"
              and "401" not in entry["message"] and "/api/events" not in entry["message"]]  # the restart's
    check("the browser's console has no error", not errors, errors)
finally:
    driver.quit()
    stop(player)

sys.exit(1 if failures else 0)
