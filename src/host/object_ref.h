#pragma once
// An owning, counted reference to an automation object. Copying adds a
// reference, destruction and reassignment release it; an empty ObjectRef is
// Visual Basic's Nothing. The only place in the core that calls AddRef and
// Release.

#include <utility>

namespace frambolist::host {

class Object;

class ObjectRef {
 public:
  ObjectRef() = default;
  // Takes a new reference of its own to `object` (which may be null).
  explicit ObjectRef(Object* object);
  ObjectRef(const ObjectRef& other) : ObjectRef(other.object_) {}
  ObjectRef(ObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ObjectRef& operator=(ObjectRef other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~ObjectRef();

  // Adopts a reference that the caller already counted (a fresh object).
  static ObjectRef Adopt(Object* object) {
    ObjectRef ref;
    ref.object_ = object;
    return ref;
  }

  Object* get() const { return object_; }
  Object* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void reset() { ObjectRef().swap(*this); }
  void swap(ObjectRef& other) noexcept { std::swap(object_, other.object_); }

  friend bool operator==(const ObjectRef& a, const ObjectRef& b) { return a.object_ == b.object_; }

 private:
  Object* object_ = nullptr;
};

}  // namespace frambolist::host
