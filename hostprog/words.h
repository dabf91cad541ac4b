#pragma once
// The script's words read as what its commands take: numbers, angles, key
// names, control names, separators. Each refuses what a user could not have
// meant with a ScriptError that names the word.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "hostprog/script.h"

namespace frambolist::hostprog {

ScriptError Error(const std::string& message);
// Fails unless the line has from `at_least` to `at_most` words, its
// command's included.
void ExpectWords(const ScriptLine& line, size_t at_least, size_t at_most);
// A word as the user wrote it, quoted so that an empty one shows.
std::string Quoted(const std::string& word);
// A finite number: sizes and angles are what a user could draw.
double NumberWord(const std::string& word);
// An angle in degrees, stored as the hosts store it: normalised into [0, 360).
float AngleWord(const std::string& word);
int32_t IntegerWord(const std::string& word);
// Whether `text` is well-formed UTF-8.
bool IsUtf8(std::string_view text);
// A decimal or group separator as Windows would keep it.
void CheckSeparator(const std::string& separator, const char* what, bool may_be_empty);
// "Option1(2)" is the control array Option1 at index 2; a plain name has -1.
std::pair<std::string, int> ControlName(const std::string& word);
// "Enter", "Esc", "Space" or a single character, as a key code.
int KeyCode(const std::string& word);
// A command bar's position (msoBarTop and so on) by name.
std::string_view PositionName(int32_t position);

}  // namespace frambolist::hostprog
