#pragma once
// A late-bound object variable, as Visual Basic code holds one: members are
// reached by name and a failing call throws HostFailure, which only the error
// policies catch. This keeps the handlers as readable as the steps they
// follow, while the Object interface underneath stays exception-free.

#include <initializer_list>
#include <string_view>

#include "host/object.h"

namespace frambolist::host {

class Dispatch {
 public:
  // An object variable never set: any member used through it fails with 91.
  Dispatch() = default;
  explicit Dispatch(ObjectRef ref) : ref_(std::move(ref)) {}

  // A value that a host returned, used as an object. Nothing or a non-object
  // fails with 424 as soon as a member is used on it (Word's
  // Selection.ShapeRange is Nothing while the insertion point is in text).
  static Dispatch FromValue(const Value& value);

  Value Get(std::string_view member, std::initializer_list<Value> args = {}) const;
  // Get, then use the result as an object.
  Dispatch Obj(std::string_view member, std::initializer_list<Value> args = {}) const {
    return FromValue(Get(member, args));
  }
  void Put(std::string_view member, const Value& value) const;
  Value Call(std::string_view member, std::initializer_list<Value> args = {}) const;

  // One get of a chain read without throwing.
  struct Step {
    std::string_view member;
    std::initializer_list<Value> args = {};
  };
  // Follows `steps` from this object (each result used as the next object)
  // and returns the last value or the first failure, without throwing: for
  // reads that are expected to fail often, such as Word's in-line picture
  // while none is selected, where an exception would cost more than the
  // host calls themselves.
  Outcome<Value> GetPath(std::initializer_list<Step> steps) const;

  const ObjectRef& ref() const { return ref_; }
  explicit operator bool() const { return static_cast<bool>(ref_); }

 private:
  Object& Target() const;
  // What using a member through an empty reference fails with: 91 for an
  // object variable never set, 424 for Nothing returned by a host.
  HostError EmptyReferenceError() const {
    return from_expression_ ? errors::ObjectRequired() : errors::ObjectVariableNotSet();
  }

  ObjectRef ref_;
  bool from_expression_ = false;
};

}  // namespace frambolist::host
