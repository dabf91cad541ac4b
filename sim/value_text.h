#pragma once
// Values as the host program prints them, in `print` and `write` lines:
// strings in double quotes, booleans true/false, numbers in the shortest
// decimal form that reads back to the same value of their own type, always
// with '.' whatever the user's locale.

#include <string>

#include "host/value.h"

namespace frambolist::sim {

std::string ValueText(const host::Value& value);
std::string QuotedText(std::string_view text);
template <class Number>
std::string ShortestNumber(Number n);

}  // namespace frambolist::sim
