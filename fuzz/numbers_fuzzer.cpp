// libFuzzer: typed text under random separators. No crash; the conversion
// never yields NaN or an infinity; the test and the conversion agree; blanks
// around a text (space, tab, the no-break spaces) never change how it reads;
// and the shown value of any single reads back as its rounded value.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "procs/shown_value.h"
#include "procs/typed_number.h"

using namespace frambolist::procs;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  // The first bytes choose the separators, as users' locales do.
  static const char* kDecimals[] = {".", ",", "\xC2\xB7"};
  static const char* kGroups[] = {",", ".", " ", "\xC2\xA0", "'", "", "\xE2\x80\xAF"};
  static const char* kBlanks[] = {" ", "\t", "\xC2\xA0", "\xE2\x80\xAF"};
  NumberFormat format{kDecimals[data[0] % 3], kGroups[data[1] % 7]};
  if (format.decimal == format.group) format.group = "";
  float bits;
  std::memcpy(&bits, data + 1, sizeof bits);
  const std::string text(reinterpret_cast<const char*>(data + 5), size - 5);

  auto value = TextToSingle(text, format);
  if (value.ok() != IsNumericText(text, format) &&
      !(IsNumericText(text, format) && value.error().number == 6)) {
    std::abort();  // the test and the conversion disagree
  }
  if (value.ok() && !std::isfinite(value.value())) std::abort();

  const std::string padded = kBlanks[data[2] % 4] + text + kBlanks[data[3] % 4];
  auto padded_value = TextToSingle(padded, format);
  if (value.ok() && (!padded_value.ok() ||
                     std::memcmp(&padded_value.value(), &value.value(), sizeof(float)) != 0)) {
    std::abort();  // a blank around a number changed how it reads
  }

  if (std::isfinite(bits)) {
    const std::string shown = ShownValue(bits, format);
    const float rounded = RoundToFourDecimals(bits);
    if (std::fabs(rounded) < 1000.0f) {
      auto back = TextToSingle(shown, format);
      if (!back.ok() || back.value() != rounded + 0.0f) std::abort();  // the round trip
    }
  }
  return 0;
}
