#include "sim/value_text.h"

#include <charconv>
#include <cmath>

namespace frambolist::sim {

template <class Number>
std::string ShortestNumber(Number n) {
  if (n == 0) n = 0;  // no "-0"
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, n);
  return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}
template std::string ShortestNumber<float>(float);
template std::string ShortestNumber<double>(double);
template std::string ShortestNumber<int16_t>(int16_t);
template std::string ShortestNumber<int32_t>(int32_t);

std::string QuotedText(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string ValueText(const host::Value& value) {
  return std::visit(
      [](const auto& x) -> std::string {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::string>)
          return QuotedText(x);
        else if constexpr (std::is_same_v<T, bool>)
          return x ? "true" : "false";
        else if constexpr (std::is_arithmetic_v<T>)
          return ShortestNumber(x);
        else if constexpr (std::is_same_v<T, host::ObjectRef>)
          return x ? "<object>" : "Nothing";
        else if constexpr (std::is_same_v<T, host::Missing>)
          return "<missing>";
        else
          return "Empty";
      },
      value.storage());
}

}  // namespace frambolist::sim
