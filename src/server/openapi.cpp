#include "server/api.h"

namespace glowreel::server {

// Written out whole, so that it reads as the contract it is.
const char* OpenApiJson() {
  return R"json({
  "openapi": "3.0.3",
  "info": {"title": "GlowReel live display", "version": "1",
           "description": "Messages, playlists, media, brightness and power of a 128 x 64 dot display."},
  "components": {
    "securitySchemes": {"token": {"type": "http", "scheme": "bearer"}},
    "schemas": {
      "Error": {"type": "object", "required": ["error"], "properties": {"error": {"type": "string"}}},
      "Item": {"type": "object", "description": "One of movie, picture, text or clock.",
        "properties": {
          "movie": {"type": "string", "description": "a stored media name"},
          "picture": {"type": "string", "description": "a stored media name"},
          "text": {"type": "string", "maxLength": 65536},
          "clock": {"type": "string", "description": "strftime format of the time, default %H:%M"},
          "date": {"type": "string", "description": "strftime format of the date under the time"},
          "passes": {"type": "integer", "minimum": 1, "maximum": 10000},
          "duration_ms": {"type": "integer", "minimum": 1, "maximum": 86400000},
          "scroll_ms": {"type": "integer", "minimum": 0, "maximum": 327674}}},
      "Message": {"allOf": [{"$ref": "#/components/schemas/Item"}, {"type": "object", "properties": {
          "id": {"type": "integer", "readOnly": true},
          "priority": {"type": "string", "enum": ["info", "alert"]},
          "repeat": {"type": "integer", "minimum": 1, "maximum": 100},
          "lifetime_ms": {"type": "integer", "minimum": 1, "maximum": 86400000}}}]},
      "Window": {"type": "object", "properties": {
          "days": {"type": "array", "items": {"type": "string", "enum": ["sun", "mon", "tue", "wed", "thu", "fri", "sat"]}},
          "from": {"type": "string", "pattern": "^[0-2][0-9]:[0-5][0-9]$"},
          "to": {"type": "string", "pattern": "^[0-2][0-9]:[0-5][0-9]$"},
          "brightness": {"type": "integer", "minimum": 1, "maximum": 16},
          "power": {"type": "string", "enum": ["on", "off"]},
          "items": {"type": "array", "items": {"type": "integer", "minimum": 0}}}},
      "Playlist": {"type": "object", "properties": {
          "items": {"type": "array", "items": {"$ref": "#/components/schemas/Item"}},
          "schedule": {"type": "array", "items": {"$ref": "#/components/schemas/Window"}}}},
      "State": {"type": "object", "properties": {
          "showing": {"type": "object", "nullable": true, "description": "source (playlist, message or screens: an lcdproc client's, whose name the item's screens field gives) and the item"},
          "queue": {"type": "array", "items": {"$ref": "#/components/schemas/Message"}},
          "playlist": {"$ref": "#/components/schemas/Playlist"},
          "brightness": {"type": "integer", "minimum": 1, "maximum": 16},
          "power": {"type": "string", "enum": ["on", "off"]},
          "counters": {"type": "object", "properties": {
              "shown": {"type": "integer"}, "expired": {"type": "integer"}, "refused": {"type": "integer"}}},
          "errors": {"type": "array", "items": {"type": "string"}}}}
    },
    "responses": {
      "BadRequest": {"description": "invalid JSON or fields", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Error"}}}},
      "Unreadable": {"description": "a picture or movie that cannot be shown", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Error"}}}},
      "NotFound": {"description": "no such thing", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Error"}}}}
    }
  },
  "security": [{"token": []}],
  "paths": {
    "/api/state": {"get": {"summary": "What is shown, the queue, the playlist, brightness, power, counters",
      "responses": {"200": {"description": "the state", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/State"}}}}}}},
    "/api/messages": {
      "get": {"summary": "The messages waiting", "responses": {"200": {"description": "the queue",
        "content": {"application/json": {"schema": {"type": "array", "items": {"$ref": "#/components/schemas/Message"}}}}}}},
      "post": {"summary": "Queue a message: JSON, or a picture or movie as the body with the fields in the query",
        "parameters": [
          {"name": "priority", "in": "query", "schema": {"type": "string", "enum": ["info", "alert"]}},
          {"name": "duration_ms", "in": "query", "schema": {"type": "integer"}},
          {"name": "passes", "in": "query", "schema": {"type": "integer"}},
          {"name": "repeat", "in": "query", "schema": {"type": "integer"}},
          {"name": "lifetime_ms", "in": "query", "schema": {"type": "integer"}}],
        "requestBody": {"required": true, "content": {
          "application/json": {"schema": {"$ref": "#/components/schemas/Message"}},
          "application/octet-stream": {"schema": {"type": "string", "format": "binary"}}}},
        "responses": {"201": {"description": "queued", "content": {"application/json": {"schema": {"type": "object", "properties": {"id": {"type": "integer"}}}}}},
          "400": {"$ref": "#/components/responses/BadRequest"}, "413": {"description": "the body is too large"},
          "422": {"$ref": "#/components/responses/Unreadable"}, "503": {"description": "the queue is full"}}}},
    "/api/messages/{id}": {"delete": {"summary": "Take a message away, waiting or shown",
      "parameters": [{"name": "id", "in": "path", "required": true, "schema": {"type": "integer"}}],
      "responses": {"204": {"description": "taken away"}, "404": {"$ref": "#/components/responses/NotFound"}}}},
    "/api/playlist": {
      "get": {"summary": "The playlist and its schedule", "responses": {"200": {"description": "the playlist",
        "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Playlist"}}}}}},
      "put": {"summary": "Replace the playlist and its schedule",
        "requestBody": {"required": true, "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Playlist"}}}},
        "responses": {"200": {"description": "the playlist now", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Playlist"}}}},
          "400": {"$ref": "#/components/responses/BadRequest"}, "422": {"$ref": "#/components/responses/Unreadable"}}}},
    "/api/media": {
      "get": {"summary": "The stored media", "responses": {"200": {"description": "names and sizes", "content": {"application/json": {"schema": {"type": "array",
        "items": {"type": "object", "properties": {"name": {"type": "string"}, "bytes": {"type": "integer"}}}}}}}}},
      "post": {"summary": "Store a movie or picture under a name",
        "parameters": [{"name": "name", "in": "query", "required": true, "schema": {"type": "string", "pattern": "^[A-Za-z0-9_-][A-Za-z0-9._-]{0,99}$"}}],
        "requestBody": {"required": true, "content": {"application/octet-stream": {"schema": {"type": "string", "format": "binary"}}}},
        "responses": {"201": {"description": "stored"}, "400": {"$ref": "#/components/responses/BadRequest"},
          "413": {"description": "the body is too large"}, "422": {"$ref": "#/components/responses/Unreadable"}, "507": {"description": "the store is full"}}}},
    "/api/media/{name}": {
      "parameters": [{"name": "name", "in": "path", "required": true, "schema": {"type": "string"}}],
      "put": {"summary": "Store a movie or picture under this name",
        "requestBody": {"required": true, "content": {"application/octet-stream": {"schema": {"type": "string", "format": "binary"}}}},
        "responses": {"201": {"description": "stored"}, "400": {"$ref": "#/components/responses/BadRequest"}, "422": {"$ref": "#/components/responses/Unreadable"}}},
      "delete": {"summary": "Delete stored media",
        "responses": {"204": {"description": "deleted"}, "404": {"$ref": "#/components/responses/NotFound"}, "409": {"description": "the playlist uses it"}}}},
    "/api/brightness": {"put": {"summary": "Brightness from 1 to 16, at once",
      "requestBody": {"required": true, "content": {"application/json": {"schema": {"type": "object", "properties": {"brightness": {"type": "integer", "minimum": 1, "maximum": 16}}}}}},
      "responses": {"200": {"description": "set"}, "400": {"$ref": "#/components/responses/BadRequest"}}}},
    "/api/power": {"put": {"summary": "The display on or off, at once",
      "requestBody": {"required": true, "content": {"application/json": {"schema": {"type": "object", "properties": {"power": {"type": "string", "enum": ["on", "off"]}}}}}},
      "responses": {"200": {"description": "set"}, "400": {"$ref": "#/components/responses/BadRequest"}}}},
    "/api/display.png": {"get": {"summary": "The dots shown now, 128 x 64, lit white",
      "responses": {"200": {"description": "a PNG", "content": {"image/png": {"schema": {"type": "string", "format": "binary"}}}}}}},
    "/api/events": {"get": {"summary": "Server-sent events: state (JSON) on each change; frame as each is sent: 256 hexadecimal digits a page (a byte a column, bit 0 the top dot), 8 pages, a space, and the wall-clock time it was sent in milliseconds since 1970",
      "parameters": [{"name": "token", "in": "query", "schema": {"type": "string"}, "description": "for browsers, which cannot send the header"}],
      "responses": {"200": {"description": "an event stream", "content": {"text/event-stream": {"schema": {"type": "string"}}}}}}},
    "/api/preview": {"post": {"summary": "A text drawn as the display would show it, before it is sent: its frames (a marquee's steps taken evenly, 120 at most)",
      "requestBody": {"required": true, "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Item"}}}},
      "responses": {"200": {"description": "the frames", "content": {"application/json": {"schema": {"type": "object", "properties": {
          "scrolls": {"type": "boolean"},
          "frames": {"type": "array", "items": {"type": "object", "properties": {
            "dots": {"type": "string", "description": "as the event stream's frames"}, "ms": {"type": "integer"}}}}}}}}},
        "400": {"$ref": "#/components/responses/BadRequest"}}}},
    "/api/openapi.json": {"get": {"summary": "This description",
      "responses": {"200": {"description": "OpenAPI 3", "content": {"application/json": {"schema": {"type": "object"}}}}}}}
  }
})json";
}

}  // namespace glowreel::server
