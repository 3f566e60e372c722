#include "server/api.h"

#include <png.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "authoring/movie_check.h"
#include "dots/picture_dots.h"
#include "dots/picture_reader.h"
#include "live/content_json.h"
#include "live/item_frames.h"
#include "platform/replace_file.h"
#include "player/movie_file.h"
#include "server/web_page.h"

namespace glowreel::server {

namespace {

using nlohmann::json;
constexpr std::size_t kErrorsKept = 10;
constexpr const char* kPrefix = "/api/";

Response Json(int status, const json& body) {
  return {status, "application/json", live::JsonText(body), ""};
}

Response Error(int status, const std::string& text) {
  return Json(status, json{{"error", text}});
}

Response NotAllowed(const std::string& allow) {
  Response response = Error(405, "use " + allow);
  response.allow = allow;
  return response;
}

// The body as JSON, or the 400 that says why it is not.
std::optional<Response> ParseBody(const Request& request, json& body) {
  body = json::parse(request.body, nullptr, /*allow_exceptions=*/false);
  if (body.is_discarded()) return Error(400, "the body is not JSON");
  return std::nullopt;
}

// A movie's problems as --check finds them, or a picture's decoding: "" when it can be shown.
std::string CheckUpload(const std::string& bytes, const std::string& path) {
  if (KindOfHead(std::string_view(bytes).substr(0, 64), path) == FileKind::kMovie) {
    std::string problems;
    const LineList lines = SplitMovieText(bytes);
    if (ForEachFrame(lines, [](std::size_t) { return false; }))
      return "neither a movie (no frame header) nor a picture this program reads";
    CheckMovieLines(lines, [&](const MovieProblem& problem) {
      if (!problem.reports || problems.size() > 2000) return;
      problems += (problems.empty() ? "" : "; ") +
                  (problem.line ? "line " + std::to_string(problem.line) + ": " : "") +
                  problem.text;
    });
    return problems;
  }
  ReplacementFile file(path);
  if (!file.Write(bytes.data(), bytes.size())) return file.Error();
  if (std::string why = file.Commit(); !why.empty()) return why;
  int frames = 0;
  const std::optional<RunTimeError> why = CheckPictureFile(path, frames);
  return why ? std::to_string(why->Number()) + " - " + why->Description() : "";
}

// JSON as it says, or as it reads where it does not say (curl -d calls everything a form).
bool IsJson(const Request& request) {
  const std::string& type = request.contentType;
  if (type.rfind("application/json", 0) == 0) return true;
  const bool unsaid = type.empty() || type.rfind("application/x-www-form-urlencoded", 0) == 0;
  const auto first = request.body.find_first_not_of(" \t\r\n");
  return unsaid && first != std::string::npos &&
         (request.body[first] == '{' || request.body[first] == '"');
}

}  // namespace

// The frame as the display holds it: page by page, a byte a column, bit 0 at the top.
std::string FrameHex(const DotFrame& frame) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(kPages * kPixelColumns * 2);
  for (int page = 0; page < kPages; ++page) {
    for (int x = 0; x < kPixelColumns; ++x) {
      unsigned byte = 0;
      for (int k = 0; k < kDotsPerPage; ++k)
        if (frame.At(x, page * kDotsPerPage + k)) byte |= 1u << k;
      hex += kDigits[byte >> 4];
      hex += kDigits[byte & 15];
    }
  }
  return hex;
}

Response Api::Handle(const Request& request) {
  const std::string& path = request.path;
  const std::string& method = request.method;
  if (path.rfind(kPrefix, 0) != 0) {
    const PageFile* file = FindPageFile(path);
    if (!file) return Error(404, "no such page: " + path);
    return method == "GET" ? Response{200, file->contentType, std::string(file->bytes), ""}
                           : NotAllowed("GET");
  }
  const std::string route = path.substr(std::string(kPrefix).size());
  if (route == "state") return method == "GET" ? Json(200, State()) : NotAllowed("GET");
  if (route == "openapi.json")
    return method == "GET" ? Response{200, "application/json", OpenApiJson(), ""}
                           : NotAllowed("GET");
  if (route == "display.png") return method == "GET" ? DisplayPng() : NotAllowed("GET");
  if (route == "preview") return method == "POST" ? Preview(request) : NotAllowed("POST");
  if (route == "messages") {
    if (method == "GET") {
      json queue = json::array();
      for (const live::Message& message : stage_.Queue()) queue.push_back(MessageJson(message));
      return Json(200, queue);
    }
    return method == "POST" ? PostMessage(request) : NotAllowed("GET, POST");
  }
  if (route.rfind("messages/", 0) == 0) {
    if (method != "DELETE") return NotAllowed("DELETE");
    const std::string id = route.substr(9);
    if (id.empty() || id.size() > 19 || id.find_first_not_of("0123456789") != std::string::npos ||
        !stage_.Delete(std::stoull(id)))
      return Error(404, "no message " + id);
    return {204, "application/json", "", ""};
  }
  if (route == "playlist") {
    if (method == "GET") return Json(200, PlaylistJson(stage_.CurrentPlaylist()));
    return method == "PUT" ? PutPlaylist(request) : NotAllowed("GET, PUT");
  }
  if (route == "media") {
    if (method == "GET") {
      json files = json::array();
      for (const auto& file : store_.ListMedia())
        files.push_back({{"name", file.name}, {"bytes", file.bytes}});
      return Json(200, files);
    }
    if (method != "POST") return NotAllowed("GET, POST");
    const auto name = request.query.find("name");
    return PostMedia(name == request.query.end() ? "" : name->second, request);
  }
  if (route.rfind("media/", 0) == 0) {
    const std::string name = route.substr(6);
    if (method == "PUT") return PostMedia(name, request);
    return method == "DELETE" ? DeleteMedia(name) : NotAllowed("PUT, DELETE");
  }
  if (route == "brightness") return method == "PUT" ? PutBrightness(request) : NotAllowed("PUT");
  if (route == "power") return method == "PUT" ? PutPower(request) : NotAllowed("PUT");
  return Error(404, "no such page: " + path);
}

json Api::State() const {
  const live::Stage::Now now = stage_.Showing();
  json showing = nullptr;
  if (now.item) {
    showing = {{"source", now.source}, {"item", ItemJson(*now.item)}};
    if (now.messageId) showing["id"] = *now.messageId;
    if (now.playlistIndex >= 0) showing["index"] = now.playlistIndex;
  }
  json queue = json::array();
  for (const live::Message& message : stage_.Queue()) queue.push_back(MessageJson(message));
  const live::Counters& tally = stage_.Tally();
  return {{"showing", showing},
          {"queue", queue},
          {"playlist", PlaylistJson(stage_.CurrentPlaylist())},
          {"brightness", live::BrightnessOfLevel(stage_.Level())},
          {"power", stage_.On() ? "on" : "off"},
          {"counters",
           {{"shown", tally.shown}, {"expired", tally.expired}, {"refused", tally.refused}}},
          {"errors", errors_}};
}

Api::Api(live::Stage& stage, const live::StateStore& store) : stage_(stage), store_(store) {}

json Api::KeptState() const {
  json kept{{"playlist", PlaylistJson(stage_.CurrentPlaylist())}};
  if (!brightness_.empty()) kept["brightness"] = std::stoi(brightness_);
  if (!power_.empty()) kept["power"] = power_;
  return kept;
}

void Api::Restore(const json& kept) {
  const json level = kept.value("brightness", json());
  if (level.is_number_integer() && level >= 1 && level <= 16)
    brightness_ = std::to_string(level.get<int>());
  const json power = kept.value("power", json());
  if (power == "on" || power == "off") {
    power_ = power.get<std::string>();
    stage_.SetPower(power == "on");
  }
}

void Api::Remember(const std::string& error) {
  if (errors_.size() == kErrorsKept) errors_.erase(errors_.begin());
  errors_.push_back(error);
}

std::string Api::UploadPath(uint64_t number) const {
  return store_.Folder() + "/uploads/" + std::to_string(number);
}

Response Api::PostMessage(const Request& request) {
  live::Message message;
  if (IsJson(request)) {
    json body;
    if (auto wrong = ParseBody(request, body)) return *wrong;
    if (std::string why = ReadMessage(body, message); !why.empty()) return Error(400, why);
  } else {
    // A picture or movie as the body; the message's other fields in the address.
    json fields = json::object();
    for (const auto& [key, value] : request.query) {
      const bool number = !value.empty() && value.size() < 10 &&
                          value.find_first_not_of("0123456789") == std::string::npos;
      fields[key] = number ? json(std::stoll(value)) : json(value);
    }
    fields["picture"] = "upload";
    if (std::string why = ReadMessage(fields, message); !why.empty()) return Error(400, why);
    if (request.body.empty()) return Error(400, "no picture or movie in the body");
    const std::string path = UploadPath(++uploads_);
    if (std::string why = CheckUpload(request.body, path); !why.empty()) {
      unlink(path.c_str());
      return Error(422, why);
    }
    ReplacementFile file(path);
    if (!file.Write(request.body.data(), request.body.size())) return Error(507, file.Error());
    if (std::string why = file.Commit(); !why.empty()) return Error(507, why);
    message.content.source = path;
  }
  const uint64_t id = stage_.Post(std::move(message));
  if (id == 0) return Error(503, "the queue is full");
  return Json(201, json{{"id", id}});
}

Response Api::PutPlaylist(const Request& request) {
  json body;
  if (auto wrong = ParseBody(request, body)) return *wrong;
  live::Playlist playlist;
  if (std::string why = ReadPlaylist(body, playlist, false); !why.empty()) return Error(400, why);
  for (const live::Item& item : playlist.items) {
    if ((item.kind == live::ItemKind::kMovie || item.kind == live::ItemKind::kPicture) &&
        access(store_.MediaPath(item.source).c_str(), R_OK) != 0)
      return Error(422, "no stored media named " + item.source + " (POST /api/media first)");
  }
  stage_.SetPlaylist(std::move(playlist));
  Keep();
  return Json(200, PlaylistJson(stage_.CurrentPlaylist()));
}

Response Api::PostMedia(const std::string& name, const Request& request) {
  if (!live::IsMediaName(name))
    return Error(400, "name: letters, digits, '.', '-' and '_', not leading '.'");
  if (request.body.empty()) return Error(400, "no picture or movie in the body");
  const std::string check = store_.Folder() + "/uploads/media-check";
  const std::string why = CheckUpload(request.body, check);
  unlink(check.c_str());
  if (!why.empty()) return Error(422, why);
  if (std::string full = store_.SaveMedia(name, request.body); !full.empty())
    return Error(507, full);
  return Json(201, json{{"name", name}, {"bytes", request.body.size()}});
}

Response Api::DeleteMedia(const std::string& name) {
  for (const live::Item& item : stage_.CurrentPlaylist().items)
    if (item.source == name) return Error(409, name + " is in the playlist");
  if (!store_.DeleteMedia(name)) return Error(404, "no stored media named " + name);
  return {204, "application/json", "", ""};
}

Response Api::PutBrightness(const Request& request) {
  json body;
  if (auto wrong = ParseBody(request, body)) return *wrong;
  const json level = body.is_object() ? body.value("brightness", json()) : body;
  if (!level.is_number_integer() || level < 1 || level > 16)
    return Error(400, "brightness: a whole number from 1 to 16");
  stage_.SetBrightness(live::LevelOfBrightness(level.get<int32_t>()));
  brightness_ = std::to_string(level.get<int>());
  Keep();
  return Json(200, json{{"brightness", level}});
}

Response Api::PutPower(const Request& request) {
  json body;
  if (auto wrong = ParseBody(request, body)) return *wrong;
  const json power = body.is_object() ? body.value("power", json()) : body;
  if (power != "on" && power != "off") return Error(400, "power: \"on\" or \"off\"");
  stage_.SetPower(power == "on");
  power_ = power.get<std::string>();
  Keep();
  return Json(200, json{{"power", power}});
}

// A text as the display would draw it, for its sender to see before sending: its frames, a
// marquee's steps taken evenly so that a long one stays a small answer.
Response Api::Preview(const Request& request) const {
  static constexpr std::size_t kLongestText = 1000;
  static constexpr int kMostFrames = 120;
  json body;
  if (auto wrong = ParseBody(request, body)) return *wrong;
  live::Item item;
  if (std::string why = live::ReadItem(body, item, false); !why.empty()) return Error(400, why);
  if (item.kind != live::ItemKind::kText) return Error(400, "only a text is previewed");
  if (item.text.size() > kLongestText)
    return Error(400, "a preview takes " + std::to_string(kLongestText) + " bytes of text at most");
  TextFrames text = live::TextItemFrames(item, kStillPictureMs);
  const int every = text.Scrolls() ? (text.Width() + kPixelColumns) / kMostFrames + 1 : 1;
  json frames = json::array();
  DotFrame frame;
  for (int step = 0; text.Next(frame); ++step)
    if (step % every == 0)
      frames.push_back({{"dots", FrameHex(frame)}, {"ms", frame.slices * kSliceMs * every}});
  return Json(200, {{"scrolls", text.Scrolls()}, {"frames", frames}});
}

Response Api::DisplayPng() const {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = kPixelColumns;
  image.height = kPixelRows;
  image.format = PNG_FORMAT_GRAY;
  std::vector<uint8_t> grey(kPixelColumns * kPixelRows);
  const DotFrame& shown = stage_.Shown();
  for (std::size_t k = 0; k < grey.size(); ++k) grey[k] = shown.dots[k] ? 255 : 0;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, grey.data(), 0, nullptr);
  std::string bytes(size, '\0');
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, grey.data(), 0, nullptr))
    return Error(500, "the picture cannot be made");
  bytes.resize(size);
  return {200, "image/png", bytes, ""};
}

void Api::Keep() {
  if (std::string why = store_.Save(KeptState()); !why.empty())
    Remember("the state cannot be kept: " + why);
}

}  // namespace glowreel::server
