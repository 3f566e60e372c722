#include "support/movie_text.h"

namespace glowreel::test {

std::string Frame(const std::string& duration, const std::vector<std::string>& rows,
                  const std::string& eol) {
  std::string text = "@" + duration + eol;
  for (const std::string& row : rows) text += row + eol;
  return text + eol;
}

std::vector<std::string> Rows(const std::string& row) {
  return std::vector<std::string>(8, row);
}

std::vector<std::string> OneCell(int x, int y) {
  std::vector<std::string> rows = Rows(std::string(18, '0'));
  rows[y][x] = '1';
  return rows;
}

}  // namespace glowreel::test
