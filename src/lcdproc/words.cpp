#include "lcdproc/words.h"

namespace glowreel::lcdproc {

namespace {

char Escaped(char c) {
  switch (c) {
    case 'n':
      return '\n';
    case 'r':
      return '\r';
    case 't':
      return '\t';
    default:
      return c;
  }
}

}  // namespace

std::optional<std::vector<std::string>> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (true) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    if (at == line.size()) return words;
    const char open = line[at];
    const char close = open == '"' ? '"' : open == '{' ? '}' : '\0';
    if (close) ++at;
    std::string word;
    bool closed = !close;
    for (; at < line.size(); ++at) {
      const char c = line[at];
      if (c == '\\' && at + 1 < line.size()) {
        word += Escaped(line[++at]);
      } else if (close ? c == close : (c == ' ' || c == '\t')) {
        closed = true;
        if (close) ++at;
        break;
      } else {
        word += c;
      }
    }
    if (!closed) return std::nullopt;
    words.push_back(std::move(word));
  }
}

}  // namespace glowreel::lcdproc
