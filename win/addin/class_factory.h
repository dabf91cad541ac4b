#pragma once
// The class factory of one connector class.

#include <string_view>

#include "com/com_object.h"
#include "platform/platform.h"

namespace frambolist::win {

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
 public:
  ClassFactory(std::string_view class_name, platform::Platform& platform)
      : class_name_(class_name), platform_(platform) {}

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  std::string_view class_name_;
  platform::Platform& platform_;
};

}  // namespace frambolist::win
