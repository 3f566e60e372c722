#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

#include "live/stage.h"
#include "live/state_store.h"
#include "server/http_server.h"

// The live display's HTTP API: JSON in and out, every change through the stage.
namespace glowreel::server {

// The frame as the display holds it, in hexadecimal: page by page, a byte a column, bit 0 at the
// top (the data of the event stream's frames).
std::string FrameHex(const DotFrame& frame);

class Api {
 public:
  Api(live::Stage& stage, const live::StateStore& store);

  Response Handle(const Request& request);
  // What GET /api/state answers.
  nlohmann::json State() const;
  // What is kept across restarts: the playlist and the controls asked for.
  nlohmann::json KeptState() const;
  // The controls kept before: the power asked for again, the brightness remembered (the stage
  // starts at it).
  void Restore(const nlohmann::json& kept);
  // Reports of items that could not be shown, the last few.
  void Remember(const std::string& error);
  // Where a message's uploaded picture or movie is kept while it waits.
  std::string UploadPath(uint64_t number) const;

 private:
  Response PostMessage(const Request& request);
  Response PutPlaylist(const Request& request);
  Response PostMedia(const std::string& name, const Request& request);
  Response DeleteMedia(const std::string& name);
  Response PutBrightness(const Request& request);
  Response PutPower(const Request& request);
  Response DisplayPng() const;
  Response Preview(const Request& request) const;
  void Keep();

  live::Stage& stage_;
  const live::StateStore& store_;
  std::vector<std::string> errors_;
  uint64_t uploads_ = 0;
  std::string brightness_, power_;  // as asked for, "" where never
};

// The OpenAPI 3 description of the API.
const char* OpenApiJson();

}  // namespace glowreel::server
