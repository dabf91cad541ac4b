#include "addin/class_factory.h"

#include "addin/addin_object.h"
#include "com/guard.h"

namespace frambolist::win {

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return Guarded([&]() -> HRESULT {
    auto connector = connectors::CreateConnector(class_name_, platform_);
    if (!connector) return CLASS_E_CLASSNOTAVAILABLE;
    auto object = AddinObject::New(std::move(connector));
    return object->QueryInterface(riid, out);
  });
}

// cannot throw: counts
STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  if (lock)
    ++ServerLockCount();
  else
    --ServerLockCount();
  return S_OK;
}

}  // namespace frambolist::win
