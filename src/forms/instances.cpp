#include "forms/instances.h"

#include <memory>

namespace frambolist::forms {

namespace {
std::unique_ptr<FrmOptions> options;
std::unique_ptr<FrmSplash> splash;
}  // namespace

FrmOptions& frmOptions() {
  if (!options) options = std::make_unique<FrmOptions>();
  return *options;
}

FrmSplash& frmSplash() {
  if (!splash) splash = std::make_unique<FrmSplash>();
  return *splash;
}

void DiscardFormsForTesting() {
  options.reset();
  splash.reset();
}

}  // namespace frambolist::forms
