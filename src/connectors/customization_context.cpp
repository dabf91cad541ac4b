// Word keeps command bars in a template, its customization context (the
// Normal template unless a macro chose another), and marks the template
// changed whenever a bar changes, a temporary one included as far as anyone
// can tell. The add-in's bar is temporary and rebuilt at every start: none
// of its changes is worth a "save changes to Normal.dotm?" at exit.

#include "connectors/connector.h"
#include "connectors/error_policy.h"

namespace frambolist::connectors {

// One step inside another would read the template again after the outer
// step's writes had marked it changed, and leave the putting back to the
// outer step: nothing nests today, and it would still come out right.
void Connector::KeepingTemplateSaved(const std::function<void()>& work) {
  if (!traits_.bars_in_template || ribbon_) {
    work();
    return;
  }
  host::Dispatch context;
  bool was_saved = false;
  EndQuietly([&] {
    context = HostApplication().Obj("CustomizationContext");
    was_saved = context.Get("Saved").ToBool().ValueOrThrow();
  });
  auto restore = [&] {
    if (was_saved) EndQuietly([&] { context.Put("Saved", host::Value(true)); });
  };
  try {
    work();
  } catch (const HandlerAbandoned&) {
    throw;  // no call into a host that let go of us
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

}  // namespace frambolist::connectors
