#include "procs/typed_number.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace frambolist::procs {

namespace {

// A numeric text taken apart: sign, the digits on either side of the decimal
// separator, and the exponent.
struct Number {
  bool negative = false;
  std::string whole;     // digits before the decimal separator, groups removed
  std::string fraction;  // digits after it
  std::string exponent;  // with its sign, may be empty
};

// Blanks around a number: space, tab, and the no-break spaces that many
// locales group digits with (U+00A0, U+202F), in UTF-8.
constexpr std::string_view kBlanks[] = {" ", "\t", "\xC2\xA0", "\xE2\x80\xAF"};
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class Reader {
 public:
  explicit Reader(std::string_view text) : rest_(text) {}
  bool Take(std::string_view token) {
    if (token.empty() || !rest_.starts_with(token)) return false;
    rest_.remove_prefix(token.size());
    return true;
  }
  std::string Digits() {
    std::string out;
    while (!rest_.empty() && IsDigit(rest_.front())) {
      out += rest_.front();
      rest_.remove_prefix(1);
    }
    return out;
  }
  void SkipBlanks() {
    bool skipped = true;
    while (skipped) {
      skipped = false;
      for (std::string_view blank : kBlanks) skipped = skipped || Take(blank);
    }
  }
  bool AtEnd() const { return rest_.empty(); }
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

std::optional<Number> Parse(std::string_view text, const NumberFormat& format) {
  Number n;
  Reader r(text);
  r.SkipBlanks();
  if (r.Take("-"))
    n.negative = true;
  else
    r.Take("+");

  n.whole = r.Digits();
  if (!n.whole.empty()) {
    // A group separator stands between digits. One with no digit after it
    // is no group separator: "1," is not numeric, while under a blank group
    // separator "12 " is 12 with a trailing blank.
    while (!format.group.empty() && format.group != format.decimal &&
           r.rest().starts_with(format.group)) {
      Reader ahead = r;
      ahead.Take(format.group);
      std::string more = ahead.Digits();
      if (more.empty()) break;
      n.whole += more;
      r = ahead;
    }
  }
  if (r.Take(format.decimal)) n.fraction = r.Digits();
  if (n.whole.empty() && n.fraction.empty()) return std::nullopt;

  if (r.Take("E") || r.Take("e")) {
    if (r.Take("-"))
      n.exponent.push_back('-');
    else
      r.Take("+");
    std::string digits = r.Digits();
    if (digits.empty()) return std::nullopt;
    n.exponent += digits;
  }
  r.SkipBlanks();
  if (!r.AtEnd()) return std::nullopt;
  return n;
}

// The exponent's value, held within +-10^12: beyond that any number a text
// can hold is far outside the single range anyway.
long long ExponentOf(std::string_view e) {
  const bool negative = !e.empty() && e.front() == '-';
  if (negative) e.remove_prefix(1);
  long long exponent = 0;
  for (char c : e) {
    if (exponent < 1'000'000'000'000) exponent = exponent * 10 + (c - '0');
  }
  return negative ? -exponent : exponent;
}

// The nearest single to |n| (ties to even), as the standard library reads
// it in C's syntax; beyond the single range an infinity, below it zero.
float NearestSingle(const Number& n) {
  const long long exponent = ExponentOf(n.exponent);
  const std::string text =
      (n.whole.empty() ? "0" : n.whole) + "." + n.fraction + "e" + std::to_string(exponent);
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc::result_out_of_range) return value;
  // Out of range one way or the other: the place of the first significant
  // digit says which (10^38 and more overflows, 10^-45 and less is zero).
  const std::string digits = n.whole + n.fraction;
  const size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  const long long place =
      static_cast<long long>(n.whole.size()) - 1 - static_cast<long long>(first) + exponent;
  return place > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
}

}  // namespace

bool IsNumericText(std::string_view text, const NumberFormat& format) {
  return Parse(text, format).has_value();
}

host::Outcome<float> TextToSingle(std::string_view text, const NumberFormat& format) {
  auto n = Parse(text, format);
  if (!n) return host::errors::TypeMismatch();
  const float value = NearestSingle(*n);
  if (!std::isfinite(value)) return host::errors::Overflow();
  return n->negative ? -value : value;
}

}  // namespace frambolist::procs
