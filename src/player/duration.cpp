#include "player/duration.h"

#include <charconv>
#include <cmath>
#include <string>

namespace glowreel {

namespace {

// Walks the text, skipping blanks and tabs between any two characters it takes.
class NumberReader {
 public:
  explicit NumberReader(std::string_view text) : text_(text) {}

  char Peek() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  void Take() { ++pos_; }
  bool AtEnd() {
    Peek();
    return pos_ == text_.size();
  }
  bool TakeIf(char a, char b = '\0') {
    const char c = Peek();
    if (c == '\0' || (c != a && c != b)) return false;
    Take();
    return true;
  }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Anything of ten to the eleventh or more overflows; below a hundredth it rounds to zero.
constexpr long kLargestMagnitude = 11;
constexpr long kSmallestMagnitude = -2;
constexpr long kExponentCap = 1000000;

}  // namespace

std::optional<int32_t> ParseDuration(std::string_view text, bool* clean) {
  NumberReader reader(text);
  const auto result = [&](std::optional<int32_t> value, bool digits) {
    if (clean) *clean = digits && reader.AtEnd();
    return value;
  };
  const bool negative = reader.Peek() == '-';
  if (!negative)
    reader.TakeIf('+');
  else
    reader.Take();

  // Significant digits without leading zeros, and the power of ten of the first of them.
  std::string digits;
  long pointShift = 0;  // digits before the point minus leading zeros
  bool anyDigit = false;
  bool afterPoint = false;
  for (;;) {
    const char c = reader.Peek();
    if (NumberReader::IsDigit(c)) {
      anyDigit = true;
      if (c != '0' || !digits.empty()) digits.push_back(c);
      if (!afterPoint && !digits.empty()) ++pointShift;
      if (afterPoint && digits.empty()) --pointShift;
      reader.Take();
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
      reader.Take();
    } else {
      break;
    }
  }
  if (!anyDigit) return result(0, false);

  long exponent = 0;
  if (reader.TakeIf('E', 'e') || reader.TakeIf('D', 'd')) {
    const bool negativeExponent = reader.Peek() == '-';
    if (!reader.TakeIf('-')) reader.TakeIf('+');
    while (NumberReader::IsDigit(reader.Peek())) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (reader.Peek() - '0');
      reader.Take();
    }
    if (negativeExponent) exponent = -exponent;
  }
  if (digits.empty()) return result(0, true);

  const long magnitude = pointShift + exponent;  // value lies in [10^(m-1), 10^m)
  if (magnitude > kLargestMagnitude) return result(std::nullopt, true);
  if (magnitude < kSmallestMagnitude) return result(0, true);

  const std::string scientific = "0." + digits + "e" + std::to_string(magnitude);
  double value = 0;
  std::from_chars(scientific.data(), scientific.data() + scientific.size(), value);
  if (negative) value = -value;
  const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
  if (rounded < -2147483648.0 || rounded > 2147483647.0) return result(std::nullopt, true);
  return result(static_cast<int32_t>(rounded), true);
}

}  // namespace glowreel
