#include "host/value.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <type_traits>

#include "host/single_precision.h"

namespace frambolist::host {

namespace {
// A number read where text is expected: enough digits to read back to the
// same value, with '.' as radix (whatever the C locale). Visual Basic would
// use the user's locale; the add-in never meets this from a host, only the
// simulated hosts' coercion of numbers written to text properties does.
template <class T>
std::string ShortestText(T x) {
  if constexpr (std::is_floating_point_v<T>) {
    char text[32];
    const auto written =
        std::to_chars(text, text + sizeof text, static_cast<double>(x), std::chars_format::general,
                      std::is_same_v<T, float> ? 9 : 17);
    return std::string(text, written.ptr);
  } else {
    return std::to_string(static_cast<long>(x));
  }
}
}  // namespace

ObjectRef Value::ObjectOrNothing() const {
  if (const auto* o = std::get_if<ObjectRef>(&v_)) return *o;
  return {};
}

Outcome<double> Value::ToDouble() const {
  return std::visit(
      [](const auto& x) -> Outcome<double> {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, bool>)
          return x ? -1.0 : 0.0;
        else if constexpr (std::is_arithmetic_v<T>)
          return static_cast<double>(x);
        else if constexpr (std::is_same_v<T, Empty>)
          return 0.0;
        else
          return errors::TypeMismatch();
      },
      v_);
}

Outcome<float> Value::ToSingle() const {
  if (const auto* f = std::get_if<float>(&v_); f && std::isfinite(*f)) return *f;
  auto d = ToDouble();
  if (!d.ok()) return d.error();
  const float f = RoundToSingle(d.value());
  if (!std::isfinite(f)) return errors::Overflow();
  return f;
}

Outcome<int32_t> Value::ToLong() const {
  auto d = ToDouble();
  if (!d.ok()) return d.error();
  // CLng rounds half to even and refuses what a Long cannot hold.
  const double r = std::nearbyint(d.value());
  if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max())) {
    return errors::Overflow();
  }
  return static_cast<int32_t>(r);
}

Outcome<bool> Value::ToBool() const {
  if (const auto* b = std::get_if<bool>(&v_)) return *b;
  auto d = ToDouble();
  if (!d.ok()) return d.error();
  return d.value() != 0.0;
}

Outcome<std::string> Value::ToText() const {
  return std::visit(
      [](const auto& x) -> Outcome<std::string> {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::string>)
          return x;
        else if constexpr (std::is_same_v<T, bool>)
          return std::string(x ? "True" : "False");
        else if constexpr (std::is_arithmetic_v<T>)
          return ShortestText(x);
        else if constexpr (std::is_same_v<T, Empty>)
          return std::string();
        else
          return errors::TypeMismatch();
      },
      v_);
}

}  // namespace frambolist::host
