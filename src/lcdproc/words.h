#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The words of a command line as lcdproc's clients write them.
namespace glowreel::lcdproc {

// Words apart by spaces or tabs; a word in double quotes or in braces ({CPU LOAD}, as lcdproc's
// own client sends it) keeps its spaces; a backslash takes the next character as it is, or
// stands for a line feed, carriage return or tab before n, r or t. None when a quote or brace
// is left open.
std::optional<std::vector<std::string>> SplitWords(std::string_view line);

}  // namespace glowreel::lcdproc
