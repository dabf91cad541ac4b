#pragma once
// The result of a call across the host object model: a value or the host's
// error. The abstract interface never throws; failures travel as values.

#include <utility>
#include <variant>

#include "host/host_error.h"

namespace frambolist::host {

template <class T>
class [[nodiscard]] Outcome {
 public:
  Outcome(T value) : state_(std::move(value)) {}
  Outcome(HostError error) : state_(std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  T& value() { return std::get<0>(state_); }
  const T& value() const { return std::get<0>(state_); }
  const HostError& error() const { return std::get<1>(state_); }

  // For the late-bound facade: the value, or the error thrown as HostFailure.
  T ValueOrThrow() && {
    if (!ok()) throw HostFailure{error()};
    return std::move(value());
  }

 private:
  std::variant<T, HostError> state_;
};

template <>
class [[nodiscard]] Outcome<void> {
 public:
  Outcome() = default;
  Outcome(HostError error) : state_(std::move(error)) {}

  bool ok() const { return state_.index() == 0; }
  const HostError& error() const { return std::get<1>(state_); }
  void ThrowIfFailed() const {
    if (!ok()) throw HostFailure{error()};
  }

 private:
  std::variant<std::monostate, HostError> state_;
};

}  // namespace frambolist::host
