#pragma once

#include <string>
#include <vector>

namespace glowreel::test {

// A frame of ten lines: "@duration", eight rows, one empty line, joined by `eol`.
std::string Frame(const std::string& duration, const std::vector<std::string>& rows,
                  const std::string& eol = "\r\n");
// Eight identical rows.
std::vector<std::string> Rows(const std::string& row);
// Rows of all "0" but one cell "1".
std::vector<std::string> OneCell(int x, int y);

}  // namespace glowreel::test
