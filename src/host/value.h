#pragma once
// A value as automation passes it (a VARIANT of the kinds the add-in meets),
// with the conversions Visual Basic makes where the add-in relies on them.

#include <cstdint>
#include <string>
#include <variant>

#include "host/object_ref.h"
#include "host/outcome.h"

namespace frambolist::host {

struct Empty {
  friend bool operator==(Empty, Empty) { return true; }
};
// An optional argument left out of a call.
struct Missing {
  friend bool operator==(Missing, Missing) { return true; }
};

class Value {
 public:
  using Storage =
      std::variant<Empty, Missing, bool, int16_t, int32_t, float, double, std::string, ObjectRef>;

  Value() = default;
  Value(Missing m) : v_(m) {}
  Value(bool b) : v_(b) {}
  Value(int16_t i) : v_(i) {}
  Value(int32_t i) : v_(i) {}
  Value(float f) : v_(f) {}
  Value(double d) : v_(d) {}
  Value(std::string s) : v_(std::move(s)) {}
  Value(const char* s) : v_(std::string(s)) {}
  Value(ObjectRef o) : v_(std::move(o)) {}

  static Value Nothing() { return Value(ObjectRef()); }

  const Storage& storage() const { return v_; }
  template <class T>
  bool is() const {
    return std::holds_alternative<T>(v_);
  }
  template <class T>
  const T& as() const {
    return std::get<T>(v_);
  }
  bool IsMissing() const { return is<Missing>(); }
  bool IsObject() const { return is<ObjectRef>(); }
  // The object held, or an empty reference for any other value.
  ObjectRef ObjectOrNothing() const;

  // Visual Basic's CDbl, CSng, CLng, CBool and CStr, as far as the add-in uses
  // them. Numeric text is not converted: the hosts never hand it to us where
  // a number is expected, and typed text has its own strict reader.
  Outcome<double> ToDouble() const;
  // Fails with Overflow for a value beyond the single range, and for NaN or an
  // infinity, so that nothing non-finite reaches a length or an angle.
  Outcome<float> ToSingle() const;
  Outcome<int32_t> ToLong() const;
  Outcome<bool> ToBool() const;
  Outcome<std::string> ToText() const;

  friend bool operator==(const Value&, const Value&) = default;

 private:
  Storage v_;
};

}  // namespace frambolist::host
