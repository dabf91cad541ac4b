#include "host/dispatch.h"

#include <span>

namespace frambolist::host {

Dispatch Dispatch::FromValue(const Value& value) {
  Dispatch d(value.ObjectOrNothing());
  d.from_expression_ = true;
  return d;
}

Object& Dispatch::Target(std::string_view) const {
  if (!ref_) {
    throw HostFailure{from_expression_ ? errors::ObjectRequired() : errors::ObjectVariableNotSet()};
  }
  return *ref_.get();
}

Value Dispatch::Get(std::string_view member, std::initializer_list<Value> args) const {
  return Target(member).Get(member, std::span<const Value>(args.begin(), args.size())).ValueOrThrow();
}

void Dispatch::Put(std::string_view member, const Value& value) const {
  Target(member).Put(member, value).ThrowIfFailed();
}

Value Dispatch::Call(std::string_view member, std::initializer_list<Value> args) const {
  return Target(member).Call(member, std::span<const Value>(args.begin(), args.size())).ValueOrThrow();
}

}  // namespace frambolist::host
