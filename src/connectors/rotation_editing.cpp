// Rotation editing: an angle typed into the rotation box rotates the
// selection. The box is never rewritten.

#include "connectors/connector.h"
#include "connectors/throwing_conversions.h"
#include "procs/shape_edits.h"
#include "procs/typed_number.h"

namespace frambolist::connectors {

using host::Value;

// No trap of its own: a failing read of the box goes back to the host.
void Connector::TxRotate_Change(const Value& /*Ctrl*/) {
  const std::string text = TextOf(TxRotate->Get("Text"));
  const platform::NumberFormat format = platform_.locale.NumberFormat();
  if (text.empty() || !procs::IsNumericText(text, format)) return;
  // An angle beyond the single range ends the edit without disturbing the
  // host: no error reaches it.
  auto angle = procs::TextToSingle(text, format);
  if (!angle.ok()) return;
  procs::ApplyRotation(HostApplication(), angle.value(), traits_.child_shape_ranges);
}

}  // namespace frambolist::connectors
