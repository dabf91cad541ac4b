#pragma once
// Office's ribbon as it draws an add-in's group (Office 2007 and later).
//
// Host behaviour the tests rely on:
// - After the connection, Office asks the add-in for its XML once per
//   ribbon id (GetCustomUI), reads it (custom_ui.h), calls onLoad with the
//   IRibbonUI, and draws.
// - A ribbon asks for each control's label, text, enabled and pressed state
//   (the get... callbacks, with an IRibbonControl whose Context is the
//   window) when it is first drawn, and again only for the controls that the
//   add-in invalidated (IRibbonUI.InvalidateControl or Invalidate), at the
//   end of the user's action. Otherwise it shows what it cached.
// - Each document window has a ribbon of its own where the host draws one
//   per window (World::RibbonPerWindow); an invalidation makes every window's
//   ribbon ask again. Where the windows share one ribbon, its Context is the
//   active window.
// - The user's typing stays in the edit box, and onChange(control, text)
//   follows; a toggle button shows itself pressed (or not) and then calls
//   onAction(control, pressed); a button calls onAction(control). A disabled
//   control takes no typing and no click.
// - A callback that fails is reported, never passed on.

#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "sim/custom_ui.h"
#include "sim/world.h"

namespace frambolist::sim {

// The add-in as Office reaches its ribbon: IRibbonExtensibility's object,
// whose IDispatch finds and calls the callbacks by name.
class RibbonClient {
 public:
  // The XML for `ribbon_id`; empty when the add-in offers none.
  virtual std::string GetCustomUI(std::string_view ribbon_id) = 0;
  virtual bool KnowsCallback(std::string_view name) = 0;
  virtual Outcome<Value> Callback(std::string_view name, std::span<const Value> args) = 0;

 protected:
  ~RibbonClient() = default;
};

// The ribbon id of the host's document windows.
std::string_view RibbonIdOf(HostKind kind);

class AddinRibbon {
 public:
  // What one control shows in one ribbon.
  struct Shown {
    std::string label, text;
    bool enabled = true;
    bool pressed = false;
  };

  // Asks `client` for its ribbon, reads it (faults go to `report`), and calls
  // onLoad. Null when the add-in offers no ribbon.
  static std::unique_ptr<AddinRibbon> Load(World& world, RibbonClient& client,
                                           std::function<void(const std::string&)> report);
  AddinRibbon(World& world, CustomUi ui, RibbonClient& client,
              std::function<void(const std::string&)> report);

  // Draws the ribbons that are not drawn yet, and asks again for what was
  // invalidated: Office does it when the user's action is over.
  void Refresh();

  const DeclaredControl* Find(std::string_view id) const;
  // What the active window's ribbon shows.
  const Shown& ShownNow(std::string_view id);
  // The group's line for `print ribbon`.
  std::string Line();

  // The user's actions in the active window's ribbon.
  void Type(std::string_view id, const std::string& text);
  void Click(std::string_view id);

  // What the add-in invalidated since the ribbons last asked.
  struct Invalidated;

 private:
  size_t RibbonKey() const { return world_.RibbonPerWindow() ? world_.active_window() : 0; }
  std::map<std::string, Shown>& Drawn(size_t key);
  void Ask(size_t key, size_t window, const DeclaredControl& control);
  Value Control(const DeclaredControl& control, size_t window);
  std::optional<Value> Call(const std::string* callback, std::span<const Value> args);

  World& world_;
  CustomUi ui_;
  RibbonClient& client_;
  std::function<void(const std::string&)> report_;
  std::shared_ptr<Invalidated> invalidated_;
  std::shared_ptr<SimObject> ribbon_ui_;
  std::map<size_t, std::map<std::string, Shown>> drawn_;  // by ribbon: a window, or 0 for all
};

}  // namespace frambolist::sim
