#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace glowreel {

// Reads a duration by the movie's number rules: blanks and tabs skipped anywhere, an optional
// sign, digits with at most one decimal point, an optional exponent (E or D, either case, with
// optional sign and digits); reading stops at the first character that does not fit, and no
// digit means 0. The value is rounded half to even. Empty when it does not fit 32 bits.
// `clean`, when given, tells whether the text was a number and nothing else.
std::optional<int32_t> ParseDuration(std::string_view text, bool* clean = nullptr);

}  // namespace glowreel
