// Word keeps command bars in a template, its customization context (the
// Normal template unless a macro chose another), and marks the template
// changed whenever a bar changes, a temporary one included as far as anyone
// can tell. The add-in's bar is temporary and rebuilt at every start: none
// of its changes is worth a "save changes to Normal.dotm?" at exit.

#include "connectors/connector.h"
#include "connectors/error_policy.h"

namespace frambolist::connectors {

void Connector::KeepingTemplateSaved(const std::function<void()>& work) {
  if (!traits_.bars_in_template || ribbon_ || keeping_template_) {
    work();
    return;
  }
  keeping_template_ = true;
  host::Dispatch context;
  bool was_saved = false;
  EndQuietly([&] {
    context = HostApplication().Obj("CustomizationContext");
    was_saved = context.Get("Saved").ToBool().ValueOrThrow();
  });
  auto restore = [&] {
    keeping_template_ = false;
    if (was_saved) EndQuietly([&] { context.Put("Saved", host::Value(true)); });
  };
  try {
    work();
  } catch (const HandlerAbandoned&) {
    keeping_template_ = false;  // no call into a host that let go of us
    throw;
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

}  // namespace frambolist::connectors
