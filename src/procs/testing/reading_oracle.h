#pragma once
// The standard library's reading of typed numbers, as the oracle the
// add-in's own reading is compared with. The add-in reads through the C
// library's strtof (a few KB in the DLL); std::from_chars reads correctly
// rounded too, but weighs 33 KB. Both must give the same single for every
// text: the native tests, the fuzzer and the Windows tests (where the C
// library is MinGW's) compare them over random texts.

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "procs/typed_number.h"

namespace frambolist::procs::testing {

// What the standard library reads from a text in C syntax ("-12.5e-3"):
// the nearest single, an overflow (nullopt), or, for the rare text whose
// magnitude even a long double cannot hold, nothing known (`known` false).
struct Reading {
  bool known = true;
  std::optional<float> value;
};

inline Reading StandardReading(std::string_view text) {
  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+')) text.remove_prefix(1);
  const char* first = text.data();
  const char* last = first + text.size();
  float single = 0;
  auto [end, ec] = std::from_chars(first, last, single);
  if (ec == std::errc() && end == last) return {true, negative ? -single : single};
  if (ec != std::errc::result_out_of_range) return {false, {}};
  // Out of the single range: rounded to an infinity (an overflow) or to zero.
  long double wide = 0;
  auto [wide_end, wide_ec] = std::from_chars(first, last, wide);
  if (wide_ec != std::errc()) return {false, {}};
  if (std::fabs(wide) > 1) return {true, std::nullopt};
  return {true, negative ? -0.0f : 0.0f};
}

// A random text in C syntax: signs, leading and trailing zeros, long digit
// strings, exponents far out, and, one time in four, a value half-way
// between two singles (where reading is hardest), written exactly or cut
// short.
inline std::string RandomNumericText(std::mt19937_64& random) {
  auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  std::string text = pick(0, 3) == 0 ? "-" : "";
  if (pick(0, 3) == 0) {
    uint32_t bits = static_cast<uint32_t>(random()) & 0x7F7FFFFFu;  // finite, positive
    float low;
    std::memcpy(&low, &bits, sizeof low);
    const double halfway =
        (static_cast<double>(low) + static_cast<double>(std::nextafter(low, INFINITY))) / 2;
    char exact[160];
    std::snprintf(exact, sizeof exact, "%.*e", pick(0, 3) == 0 ? pick(3, 20) : 120, halfway);
    return text + exact;
  }
  auto digits = [&](int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += static_cast<char>('0' + pick(0, 9));
    return out;
  };
  const int whole = pick(0, 3) == 0 ? pick(0, 60) : pick(0, 9);
  const int fraction = pick(0, 3) == 0 ? pick(0, 60) : pick(0, 9);
  text += digits(whole);
  if (fraction > 0 || whole == 0) text += "." + digits(fraction > 0 ? fraction : 1);
  if (pick(0, 1) == 0) {
    const int span = pick(0, 7) == 0 ? 400 : 50;
    text += (pick(0, 1) ? "e" : "E") + std::to_string(pick(-span, span));
  }
  return text;
}

// The first text of `count` random ones (from `seed`) whose reading differs
// from the standard library's, as "text: ours, standard"; nothing when all
// agree. Texts with a magnitude beyond the oracle's are left out.
inline std::optional<std::string> FirstDisagreement(int count, uint64_t seed) {
  std::mt19937_64 random(seed);
  const NumberFormat c_syntax{".", ""};
  for (int i = 0; i < count; ++i) {
    const std::string text = RandomNumericText(random);
    const Reading standard = StandardReading(text);
    if (!standard.known) continue;
    const host::Outcome<float> ours = TextToSingle(text, c_syntax);
    const bool same = ours.ok() ? standard.value && std::memcmp(&*standard.value, &ours.value(),
                                                                sizeof(float)) == 0
                                : !standard.value && ours.error().number == 6;
    if (!same) {
      char figures[96];
      std::snprintf(figures, sizeof figures, ": ours %.9g, standard %.9g",
                    ours.ok() ? static_cast<double>(ours.value()) : INFINITY,
                    standard.value ? static_cast<double>(*standard.value) : INFINITY);
      return text + figures;
    }
  }
  return std::nullopt;
}

}  // namespace frambolist::procs::testing
