#include "host/dispatch.h"

#include <span>

namespace frambolist::host {

Dispatch Dispatch::FromValue(const Value& value) {
  Dispatch d(value.ObjectOrNothing());
  d.from_expression_ = true;
  return d;
}

Object& Dispatch::Target() const {
  if (!ref_) throw HostFailure{EmptyReferenceError()};
  return *ref_.get();
}

Value Dispatch::Get(std::string_view member, std::initializer_list<Value> args) const {
  return Target().Get(member, std::span<const Value>(args.begin(), args.size())).ValueOrThrow();
}

void Dispatch::Put(std::string_view member, const Value& value) const {
  Target().Put(member, value).ThrowIfFailed();
}

Outcome<Value> Dispatch::GetPath(std::initializer_list<Step> steps) const {
  Dispatch current = *this;
  Value value;
  for (const Step& step : steps) {
    if (&step != steps.begin()) current = FromValue(value);
    if (!current.ref_) return current.EmptyReferenceError();
    auto got =
        current.ref_->Get(step.member, std::span<const Value>(step.args.begin(), step.args.size()));
    if (!got.ok()) return got.error();
    value = std::move(got.value());
  }
  return value;
}

Value Dispatch::Call(std::string_view member, std::initializer_list<Value> args) const {
  return Target().Call(member, std::span<const Value>(args.begin(), args.size())).ValueOrThrow();
}

}  // namespace frambolist::host
