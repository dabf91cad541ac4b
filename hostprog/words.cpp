// The script's words read as numbers, angles, names and separators.

#include "hostprog/words.h"

#include <charconv>
#include <cmath>

#include "sim/shapes.h"

namespace frambolist::hostprog {

ScriptError Error(const std::string& message) { return ScriptError(message); }

void ExpectWords(const ScriptLine& line, size_t at_least, size_t at_most) {
  if (line.words.size() < at_least || line.words.size() > at_most) {
    throw Error("wrong number of words for '" + line.words[0] + "'");
  }
}

// A word as the user wrote it, quoted so that an empty one shows.
std::string Quoted(const std::string& word) { return "\"" + word + "\""; }

// A finite number: sizes and angles are what a user could draw.
double NumberWord(const std::string& word) {
  double value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) {
    throw Error("not a finite number: " + Quoted(word));
  }
  return value;
}

// An angle in degrees, stored as the hosts store it: normalised into [0, 360).
float AngleWord(const std::string& word) {
  auto angle = sim::NormalisedAngle(host::Value(NumberWord(word)));
  if (!angle.ok()) throw Error("not an angle: " + word);
  return angle.value();
}

int32_t IntegerWord(const std::string& word) {
  int32_t value = 0;
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec == std::errc::result_out_of_range && end == word.data() + word.size()) {
    throw Error("out of range for a 32-bit number: " + Quoted(word));
  }
  if (ec != std::errc() || end != word.data() + word.size())
    throw Error("not a whole number: " + Quoted(word));
  return value;
}

// Whether `text` is well-formed UTF-8: no stray continuation byte, no
// truncated or overlong sequence, no surrogate, nothing beyond U+10FFFF.
bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    char32_t code = 0, least = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, code = lead & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) return false;
      code = (code << 6) | (byte(i + k) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

// Windows keeps at most three characters for each separator (LOCALE_SDECIMAL,
// LOCALE_STHOUSAND), and a number needs a decimal separator.
void CheckSeparator(const std::string& separator, const char* what, bool may_be_empty) {
  // Windows keeps the separators as UTF-16; a byte sequence that is no text
  // could not be set there, so it is refused here as well.
  if (!IsUtf8(separator))
    throw Error(std::string("the ") + what + " separator is not valid UTF-8 text");
  size_t characters = 0;
  for (char c : separator) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  if (characters == 0 && !may_be_empty)
    throw Error(std::string("the ") + what + " separator cannot be empty");
  if (characters > 3)
    throw Error(std::string("the ") + what +
                " separator is longer than 3 characters: " + Quoted(separator));
}

// "Option1(2)" is the control array Option1 at index 2.
std::pair<std::string, int> ControlName(const std::string& word) {
  const size_t open = word.find('(');
  if (open == std::string::npos || word.back() != ')') return {word, -1};
  return {word.substr(0, open), IntegerWord(word.substr(open + 1, word.size() - open - 2))};
}

int KeyCode(const std::string& word) {
  if (word == "Enter") return 13;
  if (word == "Esc") return 27;
  if (word == "Space") return 32;
  if (word.size() == 1) return static_cast<unsigned char>(word[0]);
  throw Error("not a key: " + word);
}

std::string_view PositionName(int32_t position) {
  switch (position) {
    case 0:
      return "left";
    case 1:
      return "top";
    case 2:
      return "right";
    case 3:
      return "bottom";
    case 4:
      return "floating";
    default:
      return "elsewhere";
  }
}

}  // namespace frambolist::hostprog
