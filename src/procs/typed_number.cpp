#include "procs/typed_number.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include "host/single_precision.h"

namespace frambolist::procs {

namespace {

// A numeric text taken apart: sign, the significant digits with the decimal
// point placed, and the exponent, ready for std::from_chars.
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

// Whether a number that from_chars found out of range is too large (rather
// than too small): its decimal magnitude is positive.
bool TooLarge(const Number& n) {
  long long magnitude = 0;
  const size_t first = n.whole.find_first_not_of('0');
  if (first != std::string::npos) {
    magnitude = static_cast<long long>(n.whole.size() - first);
  } else {
    const size_t nonzero = n.fraction.find_first_not_of('0');
    if (nonzero == std::string::npos) return false;  // zero
    magnitude = -static_cast<long long>(nonzero);
  }
  // The exponent may be absurdly long; its sign and size are what matter.
  std::string_view e = n.exponent;
  const bool negative = !e.empty() && e.front() == '-';
  if (negative) e.remove_prefix(1);
  while (e.size() > 1 && e.front() == '0') e.remove_prefix(1);
  if (e.size() > 12) return !negative;
  long long exponent = 0;
  std::from_chars(e.data(), e.data() + e.size(), exponent);
  return magnitude + (negative ? -exponent : exponent) > 0;
}

}  // namespace

bool IsNumericText(std::string_view text, const NumberFormat& format) {
  return Parse(text, format).has_value();
}

host::Outcome<float> TextToSingle(std::string_view text, const NumberFormat& format) {
  auto n = Parse(text, format);
  if (!n) return host::errors::TypeMismatch();
  std::string plain = (n->whole.empty() ? "0" : n->whole) + "." + n->fraction;
  if (!n->exponent.empty()) plain += "e" + n->exponent;

  float value = 0;
  auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; beyond the single range is an overflow. The
    // double path catches what is just out of single range but rounds in.
    double wide = 0;
    auto [wide_end, wide_ec] = std::from_chars(plain.data(), plain.data() + plain.size(), wide);
    if (wide_ec == std::errc()) {
      value = host::RoundToSingle(wide);
    } else {
      value = TooLarge(*n) ? INFINITY : 0.0f;
    }
  } else if (ec != std::errc()) {
    return host::errors::TypeMismatch();
  }
  if (!std::isfinite(value)) return host::errors::Overflow();
  return n->negative ? -value : value;
}

}  // namespace frambolist::procs
