#pragma once

#include <string>
#include <string_view>
#include <vector>

// The display's web page: its files, built into the program, served at "/" to anyone who can
// reach the server. What it shows and does goes through the API, which asks for the token.
namespace glowreel::server {

struct PageFile {
  const char* path;  // "/index.html"
  const char* contentType;
  std::string_view bytes;
};

// Every file of the page (made from web/ at build time).
const std::vector<PageFile>& PageFiles();

// The page's file at this path ("/" is "/index.html"), or none.
const PageFile* FindPageFile(const std::string& path);

}  // namespace glowreel::server
