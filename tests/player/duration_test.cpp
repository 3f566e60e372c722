#include <gtest/gtest.h>

#include <optional>

#include "player/duration.h"

namespace glowreel {
namespace {

struct DurationCase {
  const char* text;
  std::optional<int32_t> value;  // empty: overflow
};

TEST(ParseDuration, ReadsTheNumberRules) {
  const std::vector<DurationCase> cases = {
      {"", 0},
      {"100", 100},
      {"100ms", 100},
      {"1 0 0", 100},
      {"\t1\t0 0 ms", 100},
      {"abc", 0},
      {"-20", -20},
      {"+20", 20},
      {"- 20", -20},
      {"100.5", 100},
      {"101.5", 102},
      {"-2.5", -2},
      {"0.5", 0},
      {"1.5", 2},
      {"2.4999", 2},
      {"1E3", 1000},
      {"1e3", 1000},
      {"1D3", 1000},
      {"1d+3", 1000},
      {"15E-1", 2},
      {"1 E 3", 1000},
      {"1E", 1},
      {"1E+", 1},
      {"1E-", 1},
      {"E5", 0},
      {"-", 0},
      {"+", 0},
      {".", 0},
      {"-.", 0},
      {".5", 0},
      {".51", 1},
      {"1.2.3", 1},
      {"1e3.5", 1000},
      {"+-5", 0},
      {"--5", 0},
      {"&H10", 0},
      {"007", 7},
      {"0.000000001e9", 1},
      {"1e-400", 0},
      {"0e999999999999", 0},
      {"2147483647", 2147483647},
      {"2147483648", std::nullopt},
      {"-2147483648", -2147483648},
      {"-2147483649", std::nullopt},
      {"2147483647.4", 2147483647},
      {"2147483647.5", std::nullopt},  // rounds to the even 2147483648
      {"2147483646.5", 2147483646},
      {"-2147483648.5", -2147483648},  // rounds to the even -2147483648
      {"-2147483649.5", std::nullopt},
      {"3000000000", std::nullopt},
      {"1E10", std::nullopt},
      {"1E400", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"0.0000000000000000000001e30", 100000000},
      {"0.0000000000000000000001e33", std::nullopt},
  };
  for (const DurationCase& c : cases) {
    SCOPED_TRACE(std::string("text \"") + c.text + "\"");
    EXPECT_EQ(ParseDuration(c.text), c.value);
  }
}

}  // namespace
}  // namespace glowreel
