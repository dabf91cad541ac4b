#pragma once
// The toolbar as a ribbon group, for Office 2007 and later. Office draws the
// group from the XML that the add-in hands it, asks the add-in for the
// controls' texts, labels and states through callbacks, and caches each
// answer until the add-in invalidates that control.
//
// The handlers stay as they are: in a ribbon host the connector's toolbar
// fields hold control objects of the add-in's own, with the get/put surface
// and the events of Office's command-bar controls. A handler's write records
// the control's new state; at the end of the event (or callback) every
// control whose state now differs from what Office shows is invalidated,
// once. A box's text and enabled state are kept per window, since each
// document window (Office 2013 and later) draws a ribbon of its own; labels
// and the aspect lock are the same in every window.

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "host/dispatch.h"

namespace frambolist::connectors {

struct RibbonState;

class RibbonSurface {
 public:
  // Starts as the toolbar starts: labels from its captions (built with
  // CurrentUnit as it is now), "0" and enabled in every box, the lock on.
  // `shared`: the host's windows share one ribbon (Office 2007 and 2010 in
  // PowerPoint and Excel), which shows whichever window is active.
  explicit RibbonSurface(bool shared);
  ~RibbonSurface();
  RibbonSurface(const RibbonSurface&) = delete;
  RibbonSurface& operator=(const RibbonSurface&) = delete;

  // The add-in's own control object for the toolbar field `field`.
  host::Dispatch ControlOf(std::string_view field) const;

  // The group's XML (customUI), the same for every host.
  static std::string CustomUI();
  // Whether Office's GetIDsOfNames finds `name` among the callbacks, and
  // all of their names (a COM binding numbers them by their place here).
  static bool KnowsCallback(std::string_view name);
  static std::span<const std::string_view> CallbackNames();
  // Runs the callback `name`. A handler's failure is dropped here: Office
  // gets no failure from a callback, whatever the handler met.
  host::Outcome<host::Value> Callback(std::string_view name, std::span<const host::Value> args);

  // The window whose boxes a handler's writes go to outside a callback (the
  // active one, at each event). True when that is another window than
  // before: what the boxes show there is not what they showed here.
  bool NoteActiveWindow(const host::Dispatch& window);

  // Runs one event's (or callback's) work; when the outermost one ends,
  // every control whose state changed is invalidated.
  template <class Work>
  void AsOneAction(Work&& work) {
    Enter();
    try {
      work();
    } catch (...) {
      Leave();
      throw;
    }
    Leave();
  }

 private:
  void Enter();
  void Leave();

  std::shared_ptr<RibbonState> state_;
};

}  // namespace frambolist::connectors
