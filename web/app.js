// The display's page: its dots live, and what its API does, from a phone or a desktop.
// Plain JavaScript without a build step; everything goes to the server that served the page.
"use strict";

const TOKEN_KEY = "glowreel-token";
const WIDTH = 128;
const HEIGHT = 64;
const DAYS = ["sun", "mon", "tue", "wed", "thu", "fri", "sat"];
const DAY_LABELS = { mon: "Mon", tue: "Tue", wed: "Wed", thu: "Thu", fri: "Fri", sat: "Sat", sun: "Sun" };
const WEEK_ORDER = ["mon", "tue", "wed", "thu", "fri", "sat", "sun"];
const $ = (id) => document.getElementById(id);

let token = sessionStorage.getItem(TOKEN_KEY) || "";
let events = null;
let framesSeen = 0;
let hiddenAt = 0;
let playlist = { items: [], schedule: [] };
let playlistStale = false;
let dragging = false;
let liveView = null;
let previewView = null;

// What the browser test reads: how far behind the port each drawn frame was, in milliseconds,
// and the last frames drawn.
window.glowreelView = { lags: [], recent: [], frames: () => framesSeen };

// --- The dots, drawn as the virtual display draws them ---

class DotView {
  constructor(canvas, pitch, size, border) {
    Object.assign(this, { canvas, pitch, size, border, level: 16, on: true });
    this.context = canvas.getContext("2d");
    this.lit = new Uint8Array(WIDTH * HEIGHT);
    this.redraw();
  }
  // The tube's blue-green, dimmed with the level as the display dims it; dark dots stay visible.
  colours() {
    const scale = 64 + Math.floor(((this.level - 1) * (255 - 64)) / 15);
    const part = (value) => Math.floor((value * scale) / 255);
    return { lit: `rgb(${part(0x40)},${part(0xff)},${part(0x90)})`, dark: "rgb(12,22,16)" };
  }
  dot(index, colours) {
    const x = index % WIDTH;
    const y = (index - x) / WIDTH;
    this.context.fillStyle = this.on && this.lit[index] ? colours.lit : colours.dark;
    this.context.fillRect(this.border + x * this.pitch, this.border + y * this.pitch, this.size, this.size);
  }
  redraw() {
    this.context.fillStyle = "#000";
    this.context.fillRect(0, 0, this.canvas.width, this.canvas.height);
    const colours = this.colours();
    for (let k = 0; k < this.lit.length; ++k) this.dot(k, colours);
  }
  // Only the dots that changed are painted again.
  show(lit) {
    const colours = this.colours();
    for (let k = 0; k < lit.length; ++k) {
      if (lit[k] === this.lit[k]) continue;
      this.lit[k] = lit[k];
      this.dot(k, colours);
    }
  }
  look(level, on) {
    if (level === this.level && on === this.on) return;
    Object.assign(this, { level, on });
    this.redraw();
  }
}

// A frame of the event stream: 8 pages of 128 column bytes in hexadecimal, bit 0 the top dot.
function decodeFrame(hex) {
  const lit = new Uint8Array(WIDTH * HEIGHT);
  for (let page = 0; page < 8; ++page) {
    for (let x = 0; x < WIDTH; ++x) {
      const at = (page * WIDTH + x) * 2;
      const byte = parseInt(hex.substring(at, at + 2), 16);
      for (let k = 0; k < 8; ++k) if (byte & (1 << k)) lit[(page * 8 + k) * WIDTH + x] = 1;
    }
  }
  return lit;
}

async function decodePng(blob) {
  const picture = await createImageBitmap(blob);
  const canvas = document.createElement("canvas");
  canvas.width = WIDTH;
  canvas.height = HEIGHT;
  const context = canvas.getContext("2d");
  context.drawImage(picture, 0, 0);
  const pixels = context.getImageData(0, 0, WIDTH, HEIGHT).data;
  const lit = new Uint8Array(WIDTH * HEIGHT);
  for (let k = 0; k < lit.length; ++k) lit[k] = pixels[k * 4 + 1] > 127 ? 1 : 0;
  return lit;
}

// --- The API ---

class ApiError extends Error {
  constructor(status, text) {
    super(text);
    this.status = status;
  }
}

async function api(method, path, body, contentType) {
  const headers = {};
  if (token) headers.Authorization = "Bearer " + token;
  let data = body;
  if (body instanceof Blob) {
    headers["Content-Type"] = contentType || "application/octet-stream";
  } else if (body !== undefined) {
    data = JSON.stringify(body);
    headers["Content-Type"] = "application/json";
  }
  let response;
  try {
    response = await fetch(path, { method, headers, body: data, cache: "no-store" });
  } catch (error) {
    throw new ApiError(0, "The display cannot be reached: " + error.message);
  }
  if (response.status === 401) {
    askForToken(token ? "The token was not accepted." : "");
    throw new ApiError(401, "The display asks for its token.");
  }
  if (!response.ok) {
    let text = `${response.status} ${response.statusText}`;
    try {
      text = (await response.json()).error || text;
    } catch (ignored) {
      // not JSON: the status says it
    }
    throw new ApiError(response.status, text);
  }
  if ((response.headers.get("Content-Type") || "").startsWith("application/json")) {
    const text = await response.text();
    return text ? JSON.parse(text) : null;
  }
  return response.blob();
}

// Runs what a control does; what goes wrong is said in words.
async function act(work) {
  try {
    await work();
  } catch (error) {
    if (error.status !== 401) showError(error.message);
  }
}

function showError(text) {
  $("error-text").textContent = text;
  $("error").hidden = false;
}

function say(text) {
  $("said").textContent = text;
  clearTimeout(say.timer);
  say.timer = setTimeout(() => ($("said").textContent = ""), 4000);
}

function setConnection(text, lost) {
  $("connection").textContent = text;
  $("connection").classList.toggle("lost", !!lost);
}

// --- Token and connection ---

function askForToken(why) {
  if (events) events.close();
  events = null;
  $("panels").hidden = true;
  $("token-form").hidden = false;
  setConnection("Waiting for the token", true);
  if (why) showError(why);
  $("token").focus();
}

async function start() {
  try {
    const state = await api("GET", "/api/state");
    $("token-form").hidden = true;
    $("panels").hidden = false;
    $("error").hidden = true;
    showState(state);
    connect();
    await loadMedia();
  } catch (error) {
    if (error.status === 401) return;
    showError(error.message);
    setConnection("Not connected; trying again", true);
    setTimeout(start, 3000);
  }
}

function connect() {
  if (events) events.close();
  events = new EventSource("/api/events" + (token ? "?token=" + encodeURIComponent(token) : ""));
  events.onopen = () => {
    setConnection("Live");
    act(catchUp);
  };
  events.addEventListener("frame", (event) => {
    const [hex, sentMs] = event.data.split(" ");
    ++framesSeen;
    liveView.show(decodeFrame(hex));
    const { lags, recent } = window.glowreelView;
    if (sentMs) lags.push(performance.timeOrigin + performance.now() - Number(sentMs));
    recent.push(hex);
    if (lags.length > 2000) lags.shift();
    if (recent.length > 300) recent.shift();
  });
  events.addEventListener("state", (event) => showState(JSON.parse(event.data)));
  events.onerror = () => {
    setConnection("Connection lost; reconnecting…", true);
    // Closed for good (the server gone, or the token refused): begin again, which asks for the
    // token when that is what is missing.
    if (events.readyState === EventSource.CLOSED) setTimeout(start, 2000);
  };
}

// What the display shows now: the stream only tells what changes.
async function catchUp() {
  const before = framesSeen;
  const [state, png] = await Promise.all([api("GET", "/api/state"), api("GET", "/api/display.png")]);
  showState(state);
  const lit = await decodePng(png);
  if (framesSeen === before) liveView.show(lit);
  if (!performance.getEntriesByName("first view").length) performance.mark("first view");
}

// A phone that slept may hold a stream that died without a word: a new one after a while away.
document.addEventListener("visibilitychange", () => {
  if (document.hidden) {
    hiddenAt = Date.now();
  } else if (events && (Date.now() - hiddenAt > 10000 || events.readyState !== EventSource.OPEN)) {
    connect();
  }
});
window.addEventListener("online", () => events && connect());

// --- State ---

function describeItem(item) {
  const name = (path) => path.substring(path.lastIndexOf("/") + 1);
  let what = "";
  if ("text" in item) what = `text “${item.text.length > 60 ? item.text.slice(0, 57) + "…" : item.text}”`;
  else if ("clock" in item) what = `clock ${item.clock || "%H:%M"}${item.date ? " " + item.date : ""}`;
  else if ("movie" in item) what = `movie ${name(item.movie)}`;
  else if ("picture" in item) what = `picture ${name(item.picture)}`;
  else if ("screens" in item) what = `a client's screen “${item.screens}”`;
  const amounts = [];
  if (item.passes) amounts.push(`${item.passes} pass${item.passes === 1 ? "" : "es"}`);
  if (item.duration_ms) amounts.push(`${item.duration_ms / 1000} s`);
  return amounts.length ? `${what} (${amounts.join(", ")})` : what;
}

function showState(state) {
  const showing = state.showing;
  let now = "nothing: the display is blank";
  if (showing) {
    now = describeItem(showing.item);
    if (showing.source === "message") now = `message ${showing.id}: ${now}`;
    else if (showing.index !== undefined) now = `playlist item ${showing.index + 1}: ${now}`;
  }
  if (state.power === "off") now = "the display is off";
  $("showing").textContent = now;
  $("waiting").textContent = state.queue.length ? `${state.queue.length} message${state.queue.length === 1 ? "" : "s"}` : "no message";
  const c = state.counters;
  $("counters").textContent = `${c.shown} shown, ${c.expired} expired, ${c.refused} refused`;
  // Always in sight, however far down the page is scrolled.
  $("summary").textContent = `${now} · waiting: ${$("waiting").textContent} · ${$("counters").textContent}`;
  $("reports").replaceChildren(...(state.errors || []).map((text) => element("li", { textContent: text })));
  showQueue(state.queue, showing);

  liveView.look(state.brightness, state.power !== "off");
  if (document.activeElement !== $("brightness")) $("brightness").value = state.brightness;
  $("brightness-value").textContent = state.brightness;
  $("power").checked = state.power !== "off";

  if (JSON.stringify(state.playlist) !== JSON.stringify(playlist)) {
    playlist = state.playlist;
    playlistStale = true;
    renderPlaylistWhenFree();
  }
}

function element(tag, properties = {}, ...children) {
  const { ariaLabel, ...rest } = properties;
  const made = Object.assign(document.createElement(tag), rest);
  if (ariaLabel) made.setAttribute("aria-label", ariaLabel);
  made.append(...children);
  return made;
}

function button(text, label, onClick) {
  return element("button", { type: "button", textContent: text, ariaLabel: label, onclick: () => act(onClick) });
}

function showQueue(queue, showing) {
  const entries = [];
  if (showing && showing.source === "message")
    entries.push({ id: showing.id, item: showing.item, note: "showing" });
  for (const message of queue) entries.push({ id: message.id, item: message, note: `${message.priority}, waiting` });
  $("queue").replaceChildren(
    ...entries.map(({ id, item, note }) =>
      element(
        "li",
        { className: "entry" },
        element("span", { className: "what", textContent: `${id}: ${describeItem(item)} (${note})` }),
        button("Take away", `Take message ${id} away`, async () => {
          await api("DELETE", `/api/messages/${id}`);
          say(`Message ${id} taken away.`);
        })
      )
    )
  );
  if (!entries.length) $("queue").append(element("li", { className: "entry", textContent: "None." }));
}

// --- Brightness and power: at once ---

$("brightness").addEventListener("input", () => {
  $("brightness-value").textContent = $("brightness").value;
  clearTimeout(sendBrightness.timer);
  sendBrightness.timer = setTimeout(() => act(sendBrightness), 60);
});
async function sendBrightness() {
  await api("PUT", "/api/brightness", { brightness: Number($("brightness").value) });
}
$("power").addEventListener("change", () =>
  act(() => api("PUT", "/api/power", { power: $("power").checked ? "on" : "off" }))
);

// --- Messages ---

function messageKind() {
  return document.querySelector('input[name="message-kind"]:checked').value;
}

for (const radio of document.querySelectorAll('input[name="message-kind"]')) {
  radio.addEventListener("change", () => {
    $("message-text-part").hidden = messageKind() !== "text";
    $("message-file-part").hidden = messageKind() !== "file";
  });
}

// The text as the display will draw it, asked of the display itself as it is typed.
let previewAsked = 0;
$("message-text").addEventListener("input", () => {
  clearTimeout(preview.timer);
  preview.timer = setTimeout(() => act(preview), 200);
});
async function preview() {
  const text = $("message-text").value;
  const asked = ++previewAsked;
  clearTimeout(preview.step);
  if (!text) return previewView.show(new Uint8Array(WIDTH * HEIGHT));
  const answer = await api("POST", "/api/preview", { text });
  if (asked !== previewAsked) return;
  let k = 0;
  const step = () => {
    const frame = answer.frames[k];
    previewView.show(decodeFrame(frame.dots));
    k = (k + 1) % answer.frames.length;
    if (answer.frames.length > 1) preview.step = setTimeout(step, Math.max(frame.ms, 20));
  };
  step();
}

function messageFields() {
  const fields = {
    priority: $("message-priority").value,
    repeat: Number($("message-repeat").value) || 1,
  };
  const passes = Number($("message-passes").value);
  const seconds = Number($("message-seconds").value);
  if (passes) fields.passes = passes;
  else if (seconds) fields.duration_ms = Math.max(1, Math.round(seconds * 1000));
  return fields;
}

$("message-form").addEventListener("submit", (event) => {
  event.preventDefault();
  act(async () => {
    let answer;
    if (messageKind() === "text") {
      const text = $("message-text").value;
      if (!text.trim()) throw new ApiError(0, "Write the text to send first.");
      answer = await api("POST", "/api/messages", { text, ...messageFields() });
    } else {
      const file = $("message-file").files[0];
      if (!file) throw new ApiError(0, "Choose a picture, GIF or movie to send first.");
      const query = new URLSearchParams(messageFields());
      answer = await api("POST", "/api/messages?" + query, file);
    }
    say(`Message ${answer.id} sent.`);
  });
});

// --- Media ---

async function loadMedia() {
  const files = await api("GET", "/api/media");
  $("media-list").replaceChildren(
    ...files.map((file) =>
      element(
        "li",
        { className: "entry" },
        element("span", { className: "what", textContent: `${file.name} (${Math.ceil(file.bytes / 1024)} kB)` }),
        button("Add to playlist", `Add ${file.name} to the playlist`, async () => {
          const kind = file.name.toLowerCase().endsWith(".grm") ? "movie" : "picture";
          await savePlaylist({ ...playlist, items: [...playlist.items, { [kind]: file.name }] });
          say(`${file.name} added to the playlist.`);
        }),
        button("Delete", `Delete ${file.name}`, async () => {
          await api("DELETE", `/api/media/${encodeURIComponent(file.name)}`);
          say(`${file.name} deleted.`);
          await loadMedia();
        })
      )
    )
  );
  if (!files.length) $("media-list").append(element("li", { className: "entry", textContent: "None stored." }));
}

$("media-file").addEventListener("change", () => {
  const file = $("media-file").files[0];
  if (file && !$("media-name").value)
    $("media-name").value = file.name.replace(/[^A-Za-z0-9._-]/g, "-").replace(/^\.+/, "").slice(0, 100);
});

$("media-form").addEventListener("submit", (event) => {
  event.preventDefault();
  act(async () => {
    const name = $("media-name").value;
    await api("POST", "/api/media?" + new URLSearchParams({ name }), $("media-file").files[0]);
    say(`${name} stored.`);
    $("media-form").reset();
    await loadMedia();
  });
});

// --- Playlist and schedule: each change sent at once ---

async function savePlaylist(wanted) {
  try {
    const answer = await api("PUT", "/api/playlist", wanted);
    playlist = answer;
  } finally {
    playlistStale = true; // what the display holds now, also after a refusal
    renderPlaylistWhenFree();
  }
}

// Not under a dragging finger or into a field being typed in: after it, when the field is left.
function renderPlaylistWhenFree() {
  const typing = document.activeElement.matches("#playlist-panel input, #playlist-panel select");
  if (!playlistStale || dragging || (typing && !$("add-form").contains(document.activeElement))) return;
  playlistStale = false;
  renderPlaylist();
}
$("playlist-panel").addEventListener("focusout", () => setTimeout(renderPlaylistWhenFree));

// The control that had the focus keeps it, found again by its label (or the one asked for).
let focusNext = "";
function renderPlaylist() {
  const label = focusNext || document.activeElement.getAttribute("aria-label");
  focusNext = "";
  $("playlist").replaceChildren(...playlist.items.map(playlistEntry));
  if (!playlist.items.length) $("playlist").append(element("li", { className: "entry", textContent: "Empty: the display waits for messages." }));
  $("schedule").replaceChildren(...playlist.schedule.map(windowEntry));
  const again = label && $("playlist-panel").querySelector(`[aria-label="${CSS.escape(label)}"]`);
  if (again) again.focus();
}

function numberField(label, value, onChange, attributes) {
  const field = element("input", { type: "number", value: value ?? "", ariaLabel: label, ...attributes });
  field.addEventListener("change", () => act(() => onChange(field.value === "" ? undefined : Number(field.value))));
  return element("label", {}, element("span", { textContent: label.split(" of ")[0] + " " }), field);
}

// Moves item `from` to `to`, and the schedule's item numbers with it.
function moveItem(from, to) {
  const order = playlist.items.map((item, k) => k);
  order.splice(to, 0, order.splice(from, 1)[0]);
  const items = order.map((k) => playlist.items[k]);
  const schedule = playlist.schedule.map((slot) =>
    slot.items ? { ...slot, items: slot.items.map((k) => order.indexOf(k)) } : slot
  );
  return savePlaylist({ items, schedule });
}

function removeItem(index) {
  const items = playlist.items.filter((item, k) => k !== index);
  const schedule = playlist.schedule.map((slot) => {
    if (!slot.items) return slot;
    const kept = slot.items.filter((k) => k !== index).map((k) => (k > index ? k - 1 : k));
    const { items: ignored, ...rest } = slot;
    return kept.length ? { ...rest, items: kept } : rest;
  });
  return savePlaylist({ items, schedule });
}

function changeItem(index, key, value) {
  const items = playlist.items.map((item, k) => {
    if (k !== index) return item;
    const changed = { ...item };
    if (value === undefined) delete changed[key];
    else changed[key] = value;
    return changed;
  });
  return savePlaylist({ ...playlist, items });
}

function playlistEntry(item, index) {
  const number = index + 1;
  const handle = element("button", { type: "button", className: "handle", textContent: "⠿", ariaLabel: `Drag item ${number}; arrow keys move it` });
  const entry = element("li", { className: "entry" }, handle, element("span", { className: "what", textContent: `${number}. ${describeItem(item)}` }));
  const media = "movie" in item || "picture" in item;
  if (media)
    entry.append(numberField(`Passes of item ${number}`, item.passes, (value) => changeItem(index, "passes", value), { min: 1, max: 10000, step: 1 }));
  entry.append(
    numberField(`Seconds of item ${number}`, item.duration_ms && item.duration_ms / 1000,
      (value) => changeItem(index, "duration_ms", value && Math.max(1, Math.round(value * 1000))),
      { min: 0.01, max: 86400, step: 0.01 }),
    button("Up", `Move item ${number} up`, () => index > 0 && moveItem(index, index - 1)),
    button("Down", `Move item ${number} down`, () => index + 1 < playlist.items.length && moveItem(index, index + 1)),
    button("Remove", `Remove item ${number}`, () => removeItem(index))
  );
  handle.addEventListener("keydown", (event) => {
    const to = index + (event.key === "ArrowUp" ? -1 : event.key === "ArrowDown" ? 1 : 0);
    if (to === index || to < 0 || to >= playlist.items.length) return;
    event.preventDefault();
    focusNext = `Drag item ${to + 1}; arrow keys move it`;
    act(() => moveItem(index, to));
  });
  handle.addEventListener("pointerdown", (event) => dragEntry(event, entry, index));
  return entry;
}

// Dragging by the handle with a mouse, a finger or a pen: the entry follows the pointer, and
// drops where it is let go. Nothing moves in the page before then, which would end the capture.
function dragEntry(event, entry, from) {
  event.preventDefault();
  const handle = event.currentTarget;
  const middles = [...$("playlist").children].map((other) => {
    const box = other.getBoundingClientRect();
    return box.top + box.height / 2;
  });
  const startY = event.clientY;
  let to = from;
  handle.setPointerCapture(event.pointerId);
  dragging = true;
  entry.classList.add("dragging");
  const follow = (move) => {
    entry.style.transform = `translateY(${move.clientY - startY}px)`;
    to = middles.filter((middle, k) => k !== from && middle < move.clientY).length;
  };
  const drop = () => {
    handle.removeEventListener("pointermove", follow);
    handle.removeEventListener("pointerup", drop);
    handle.removeEventListener("pointercancel", drop);
    entry.classList.remove("dragging");
    entry.style.transform = "";
    dragging = false;
    if (to !== from) act(() => moveItem(from, to));
    else renderPlaylistWhenFree();
  };
  handle.addEventListener("pointermove", follow);
  handle.addEventListener("pointerup", drop);
  handle.addEventListener("pointercancel", drop);
}

$("add-form").addEventListener("submit", (event) => {
  event.preventDefault();
  act(async () => {
    const kind = $("add-kind").value;
    const value = $("add-value").value;
    if (kind === "text" && !value.trim()) throw new ApiError(0, "Write the text to add first.");
    const item = kind === "text" ? { text: value } : { clock: value || "%H:%M" };
    await savePlaylist({ ...playlist, items: [...playlist.items, item] });
    $("add-value").value = "";
    say(`${describeItem(item)} added to the playlist.`);
  });
});

// A window of the schedule in words: "weekdays 22:00-07:00: brightness 3".
function describeWindow(slot) {
  const days = slot.days || DAYS;
  const has = (names) => names.every((day) => days.includes(day));
  let when = WEEK_ORDER.filter((day) => days.includes(day)).map((day) => DAY_LABELS[day]).join(", ");
  if (days.length === 7) when = "every day";
  else if (days.length === 5 && has(["mon", "tue", "wed", "thu", "fri"])) when = "weekdays";
  else if (days.length === 2 && has(["sat", "sun"])) when = "weekends";
  else if (!days.length) when = "no day";
  const from = slot.from || "00:00";
  const to = slot.to || from;
  const hours = from === to ? "all day" : `${from}-${to}`;
  let what = slot.power === "off" ? "off" : slot.brightness ? `brightness ${slot.brightness}` : "on";
  if (slot.items && slot.power !== "off") what += `, playing item${slot.items.length === 1 ? "" : "s"} ${slot.items.map((k) => k + 1).join(", ")}`;
  return `${when} ${hours}: ${what}`;
}

function changeWindow(index, change) {
  const schedule = playlist.schedule.map((slot, k) => (k === index ? change({ ...slot }) : slot));
  return savePlaylist({ ...playlist, schedule });
}

function windowEntry(slot, index) {
  const number = index + 1;
  const days = slot.days || DAYS;
  const dayBoxes = WEEK_ORDER.map((day) => {
    const box = element("input", { type: "checkbox", checked: days.includes(day) });
    box.addEventListener("change", () =>
      act(() => changeWindow(index, (changed) => {
        const chosen = new Set(changed.days || DAYS);
        if (box.checked) chosen.add(day);
        else chosen.delete(day);
        changed.days = DAYS.filter((name) => chosen.has(name));
        return changed;
      }))
    );
    return element("label", {}, box, DAY_LABELS[day]);
  });
  const time = (key, label) => {
    const field = element("input", { type: "time", value: slot[key] || "00:00", id: `window-${number}-${key}` });
    field.addEventListener("change", () => field.value && act(() => changeWindow(index, (changed) => ({ ...changed, [key]: field.value }))));
    return element("div", {}, element("label", { htmlFor: field.id, textContent: label }), field);
  };
  const action = element("select", { id: `window-${number}-does` });
  action.append(element("option", { value: "on", textContent: "on, as it is" }), element("option", { value: "off", textContent: "off" }));
  for (let level = 1; level <= 16; ++level) action.append(element("option", { value: String(level), textContent: `brightness ${level}` }));
  action.value = slot.power === "off" ? "off" : slot.brightness ? String(slot.brightness) : "on";
  action.addEventListener("change", () =>
    act(() => changeWindow(index, (changed) => {
      delete changed.brightness;
      changed.power = action.value === "off" ? "off" : "on";
      if (action.value !== "off" && action.value !== "on") changed.brightness = Number(action.value);
      return changed;
    }))
  );
  return element(
    "li",
    { className: "entry window" },
    element("p", { className: "says", textContent: describeWindow(slot) }),
    element("fieldset", { className: "days" }, element("legend", { textContent: `Days of window ${number}` }), ...dayBoxes),
    element("div", { className: "times" }, time("from", `From (window ${number})`), time("to", `To (window ${number})`)),
    element("div", {}, element("label", { htmlFor: action.id, textContent: `The display (window ${number})` }), action),
    button("Remove", `Remove window ${number}`, () =>
      savePlaylist({ ...playlist, schedule: playlist.schedule.filter((w, k) => k !== index) })
    )
  );
}

$("add-window").addEventListener("click", () =>
  act(() =>
    savePlaylist({
      ...playlist,
      schedule: [...playlist.schedule, { days: ["mon", "tue", "wed", "thu", "fri"], from: "22:00", to: "07:00", brightness: 3 }],
    })
  )
);

// --- Start ---

$("error-close").addEventListener("click", () => ($("error").hidden = true));
$("token-form").addEventListener("submit", (event) => {
  event.preventDefault();
  token = $("token").value;
  sessionStorage.setItem(TOKEN_KEY, token);
  $("error").hidden = true;
  start();
});

liveView = new DotView($("live"), 5, 4, 12);
previewView = new DotView($("preview"), 2, 2, 4);
start();
