#include "host/decimal_conversion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "host/single_precision.h"

namespace frambolist::host {

namespace {

// An unsigned integer of any size, in 32-bit limbs, least significant
// first, with no zero limb at the top (zero has none). Only what the
// conversions need: multiply by a small factor, by a power of five or two,
// divide by a small divisor, compare.
class BigNumber {
 public:
  explicit BigNumber(uint64_t value = 0) {
    for (; value != 0; value >>= 32) limbs_.push_back(static_cast<uint32_t>(value));
  }
  static BigNumber FromDigits(std::string_view digits) {
    BigNumber n;
    while (!digits.empty()) {
      const size_t take = std::min<size_t>(digits.size(), 9);
      uint32_t chunk = 0, scale = 1;
      for (char c : digits.substr(0, take)) {
        chunk = chunk * 10 + static_cast<uint32_t>(c - '0');
        scale *= 10;
      }
      n.MultiplyAdd(scale, chunk);
      digits.remove_prefix(take);
    }
    return n;
  }

  void MultiplyAdd(uint32_t factor, uint32_t addend = 0) {
    uint64_t carry = addend;
    for (uint32_t& limb : limbs_) {
      const uint64_t product = uint64_t{limb} * factor + carry;
      limb = static_cast<uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<uint32_t>(carry));
  }
  void MultiplyByPowerOfFive(long long power) {
    constexpr uint32_t kFiveToThe13 = 1220703125;  // the largest that fits
    for (; power >= 13; power -= 13) MultiplyAdd(kFiveToThe13);
    uint32_t factor = 1;
    for (; power > 0; --power) factor *= 5;
    MultiplyAdd(factor);
  }
  void ShiftLeft(long long bits) {
    if (limbs_.empty() || bits <= 0) return;
    limbs_.insert(limbs_.begin(), static_cast<size_t>(bits / 32), 0);
    MultiplyAdd(uint32_t{1} << (bits % 32));
  }
  // Divides in place; gives the remainder.
  uint32_t DivideSmall(uint32_t divisor) {
    uint64_t remainder = 0;
    for (size_t i = limbs_.size(); i-- > 0;) {
      const uint64_t current = (remainder << 32) | limbs_[i];
      limbs_[i] = static_cast<uint32_t>(current / divisor);
      remainder = current % divisor;
    }
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
    return static_cast<uint32_t>(remainder);
  }
  std::string ToDecimal() const {
    BigNumber n = *this;
    std::string reversed;
    while (!n.limbs_.empty()) {
      uint32_t chunk = n.DivideSmall(1'000'000'000);
      for (int i = 0; i < 9; ++i, chunk /= 10) reversed += static_cast<char>('0' + chunk % 10);
    }
    while (reversed.size() > 1 && reversed.back() == '0') reversed.pop_back();
    return reversed.empty() ? "0" : std::string(reversed.rbegin(), reversed.rend());
  }

  friend int Compare(const BigNumber& a, const BigNumber& b) {
    if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    for (size_t i = a.limbs_.size(); i-- > 0;) {
      if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
    }
    return 0;
  }

 private:
  std::vector<uint32_t> limbs_;
};

// A finite positive double as significand x 2^exponent, exactly.
struct Binary {
  uint64_t significand;
  int exponent;
};
Binary BinaryOf(double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  const int biased = static_cast<int>(bits >> 52) & 0x7FF;
  const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  if (biased == 0) return {fraction, -1074};  // subnormal
  return {fraction | (uint64_t{1} << 52), biased - 1075};
}

// The sign of digits x 10^exponent - value, exactly.
int CompareExactly(std::string_view digits, long long exponent, double value) {
  const Binary binary = BinaryOf(value);
  BigNumber left = BigNumber::FromDigits(digits), right(binary.significand);
  // Both sides as integers times powers of two: 10^e = 5^e 2^e.
  long long left_twos = 0, right_twos = 0;
  if (exponent >= 0) {
    left.MultiplyByPowerOfFive(exponent);
    left_twos += exponent;
  } else {
    right.MultiplyByPowerOfFive(-exponent);
    right_twos -= exponent;
  }
  if (binary.exponent >= 0)
    right_twos += binary.exponent;
  else
    left_twos -= binary.exponent;
  const long long common = std::min(left_twos, right_twos);
  left.ShiftLeft(left_twos - common);
  right.ShiftLeft(right_twos - common);
  return Compare(left, right);
}

bool EvenSignificand(float f) { return (std::bit_cast<uint32_t>(f) & 1) == 0; }

// The singles either side of a finite positive (or zero) one: their bit
// patterns are neighbours.
float NextUp(float f) { return std::bit_cast<float>(std::bit_cast<uint32_t>(f) + 1); }
float NextDown(float f) { return std::bit_cast<float>(std::bit_cast<uint32_t>(f) - 1); }

}  // namespace

float NearestSingle(std::string_view digits, long long exponent) {
  const size_t first = digits.find_first_not_of('0');
  if (first == std::string_view::npos) return 0.0f;
  digits.remove_prefix(first);
  const size_t last = digits.find_last_not_of('0');
  exponent += static_cast<long long>(digits.size() - last - 1);
  digits = digits.substr(0, last + 1);
  // 10^(top - 1) <= value < 10^top. The largest single is below 10^39 and
  // half the least is above 10^-46.
  const long long top = static_cast<long long>(digits.size()) + exponent;
  if (top > 39) return std::numeric_limits<float>::infinity();
  if (top < -45) return 0.0f;

  // An estimate from the first 19 digits, within a step or two of the
  // nearest single...
  const size_t taken = std::min<size_t>(digits.size(), 19);
  uint64_t lead = 0;
  for (char c : digits.substr(0, taken)) lead = lead * 10 + static_cast<uint64_t>(c - '0');
  const long long scale_exponent = exponent + static_cast<long long>(digits.size() - taken);
  double scale = 1;
  for (long long i = std::llabs(scale_exponent); i > 0; --i) scale *= 10;
  const double estimate = static_cast<double>(lead);
  float nearest = RoundToSingle(scale_exponent >= 0 ? estimate * scale : estimate / scale);
  if (std::isinf(nearest)) nearest = std::numeric_limits<float>::max();

  // ...then moved, by exact comparison with the half-way points on either
  // side, to the nearest. A tie goes to the even significand; infinity
  // stands above the largest single as an even one would.
  constexpr double kAboveLargest = 0x1p128;
  while (true) {
    const float up = NextUp(nearest);
    const double halfway_up = (double{nearest} + (std::isinf(up) ? kAboveLargest : double{up})) / 2;
    const int above = CompareExactly(digits, exponent, halfway_up);
    if (above > 0 || (above == 0 && !EvenSignificand(nearest))) {
      if (std::isinf(up)) return up;
      nearest = up;
      continue;
    }
    if (nearest == 0) return nearest;
    const float down = NextDown(nearest);
    const int below = CompareExactly(digits, exponent, (double{nearest} + double{down}) / 2);
    if (below < 0 || (below == 0 && !EvenSignificand(nearest))) {
      nearest = down;
      continue;
    }
    return nearest;
  }
}

DecimalDigits RoundedDigits(double magnitude, int count) {
  DecimalDigits out;
  if (!(magnitude > 0)) {
    out.digits.assign(static_cast<size_t>(count), '0');
    return out;
  }
  // The exact value as an integer times a power of ten: m 2^e is m 5^-e
  // 10^e when e < 0.
  const Binary binary = BinaryOf(magnitude);
  BigNumber whole(binary.significand);
  int decimal_shift = 0;
  if (binary.exponent >= 0) {
    whole.ShiftLeft(binary.exponent);
  } else {
    whole.MultiplyByPowerOfFive(-binary.exponent);
    decimal_shift = binary.exponent;
  }
  std::string text = whole.ToDecimal();
  out.exponent = static_cast<int>(text.size()) - 1 + decimal_shift;
  const auto kept = static_cast<size_t>(count);
  if (text.size() <= kept) {
    text.resize(kept, '0');
    out.digits = std::move(text);
    return out;
  }
  const char next = text[kept];
  const bool beyond_half = text.find_first_not_of('0', kept + 1) != std::string::npos;
  const bool odd = (text[kept - 1] - '0') % 2 == 1;
  const bool round_up = next > '5' || (next == '5' && (beyond_half || odd));
  text.resize(kept);
  if (round_up) {
    size_t i = kept;
    while (i > 0 && text[i - 1] == '9') text[--i] = '0';
    if (i == 0) {  // 999.. rounds up to the next power of ten
      text.insert(text.begin(), '1');
      text.pop_back();
      ++out.exponent;
    } else {
      ++text[i - 1];
    }
  }
  out.digits = std::move(text);
  return out;
}

std::string GeneralText(double value, int precision) {
  const std::string sign = std::signbit(value) ? "-" : "";
  if (std::isnan(value)) return sign + "nan";
  if (std::isinf(value)) return sign + "inf";
  if (value == 0) return sign + "0";
  const int significant = std::max(precision, 1);
  const DecimalDigits rounded = RoundedDigits(std::fabs(value), significant);
  const std::string& digits = rounded.digits;
  const int exponent = rounded.exponent;
  auto with_fraction = [](const std::string& whole, std::string fraction) {
    fraction.erase(fraction.find_last_not_of('0') + 1);  // %g drops trailing zeros
    return fraction.empty() ? whole : whole + "." + fraction;
  };
  if (exponent >= -4 && exponent < significant) {
    if (exponent >= 0) {
      const auto point = static_cast<size_t>(exponent) + 1;
      return sign + with_fraction(digits.substr(0, point), digits.substr(point));
    }
    return sign + with_fraction("0", std::string(static_cast<size_t>(-exponent - 1), '0') + digits);
  }
  const int magnitude = std::abs(exponent);
  return sign + with_fraction(digits.substr(0, 1), digits.substr(1)) +
         (exponent < 0 ? "e-" : "e+") + (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
}

}  // namespace frambolist::host
