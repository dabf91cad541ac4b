#include "host/object_ref.h"

#include "host/object.h"

namespace frambolist::host {

ObjectRef::ObjectRef(Object* object) : object_(object) {
  if (object_) object_->AddRef();
}

ObjectRef::~ObjectRef() {
  if (object_) object_->Release();
}

}  // namespace frambolist::host
