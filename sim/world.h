#pragma once
// One simulated host process: PowerPoint, Excel or Word with one document,
// its shapes and selection, the command bars, and the test facilities (fault
// injection, write trace, reference audit). The host program and the tests
// act on it as the user would (AddShape, Select, Click, Type); the add-in
// reaches it only through the Application object.

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "sim/faults.h"
#include "sim/sim_object.h"

namespace frambolist::sim {

enum class HostKind { PowerPoint, Excel, Word };
std::string_view HostName(HostKind kind);

struct Shape {
  std::string name;
  double width = 0;  // points; PowerPoint and Word keep singles
  double height = 0;
  float rotation = 0;  // degrees, in [0, 360)
  bool lock_aspect_ratio = false;
  bool is_inline = false;  // Word's in-line picture
  std::string sheet = {};  // Excel: the worksheet it lies on
  // A group's shapes (PowerPoint and Word), and the group a shape is in.
  std::vector<std::shared_ptr<Shape>> members = {};
  Shape* group = nullptr;
};

class CommandBar;
class Control;
class Application;

// A document (presentation, workbook, Word document) and what the user has
// selected in it; each window shows one.
struct Document {
  std::vector<std::shared_ptr<Shape>> shapes;  // top level: a group's are its members
  std::vector<std::shared_ptr<Shape>> selection;
  // A shape selected inside a group (the selection then is the group).
  std::vector<std::shared_ptr<Shape>> child_selection;
  // Excel: the active sheet, and what the inactive sheets had selected.
  std::string active_sheet = "Sheet1";
  std::map<std::string, std::vector<std::shared_ptr<Shape>>> sheet_selections;

  // The selection's floating shapes, or its in-line pictures (Word).
  std::vector<std::shared_ptr<Shape>> Selected(bool inline_pictures) const;
};

struct LiveObject {
  std::string type_name;
  int refs;
};

class World {
 public:
  // `version`: Office's major version (11: Office 2003, command bars only;
  // 12 and later: the ribbon).
  explicit World(HostKind kind, int version = 11);
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  HostKind kind() const { return kind_; }
  int version() const { return version_; }
  // Whether each document window draws a ribbon of its own (Word from
  // Office 2007, PowerPoint from 2010, Excel from 2013); before that a host's
  // windows share one.
  bool RibbonPerWindow() const;
  // Application.Version as Office answers it.
  std::string VersionText() const { return std::to_string(version_) + ".0"; }
  Application& application() { return *application_; }
  host::ObjectRef ApplicationRef();

  // The document and the user's selection. In Excel, shapes lie on the
  // sheet that was active when they were added, and only the active sheet's
  // are found (names repeat across sheets, as Excel numbers them per sheet).
  Shape* AddShape(Shape shape);
  // Finds a shape by name, inside groups too.
  Shape* FindShape(std::string_view name);
  // PowerPoint and Word: groups shapes of the active document into a new
  // group `name`, as wide as its widest member and as high as its highest.
  Shape* Group(const std::string& name, const std::vector<Shape*>& members);
  // The user selects one member of a group: the selection is the group,
  // its child shape range the member.
  std::vector<HostError> SelectInGroup(Shape& group, Shape& member);
  // After a member's size changed: the group's size again.
  void FitGroup(Shape& group);
  // A group resized from (old_width, old_height): its members scale by the
  // same factors.
  void ScaleMembers(Shape& group, double old_width, double old_height);
  const std::string& active_sheet() const { return document().active_sheet; }
  // The active window's document, and its selection.
  const Document& document() const { return *documents_[active_window_]; }
  const std::shared_ptr<Document>& shared_document() const { return documents_[active_window_]; }
  std::vector<std::shared_ptr<Shape>> SelectedShapes(bool inline_pictures) const {
    return document().Selected(inline_pictures);
  }
  bool AnyShapeSelected() const { return !document().selection.empty(); }

  // Document windows (Office 2007 and later in the host program): a new
  // document in a window of its own, made active; another window made
  // active. Each raises the command bars' update, as every switch does.
  std::vector<HostError> NewWindow();
  std::vector<HostError> ActivateWindow(size_t index);  // from 0
  size_t window_count() const { return windows_.size(); }
  size_t active_window() const { return active_window_; }
  // The Window object of each window: one object for the window's life, as
  // Office keeps it, so that a ribbon's Context tells windows apart.
  const std::shared_ptr<SimObject>& window(size_t index) const { return windows_[index]; }
  // The user selects these shapes (none: an empty slide area, the insertion
  // point in text, a cell). The host's selection events follow; the failures
  // that handlers report are returned.
  std::vector<HostError> Select(const std::vector<Shape*>& shapes);
  // Excel: the user activates another sheet, whose selection is what it was
  // when the sheet was last active (at first a cell), as Excel keeps it.
  std::vector<HostError> ActivateSheet(const std::string& name);
  // The user resizes or rotates a shape with the mouse or the format pane:
  // no event but the command bars' update follows.
  std::vector<HostError> Resize(Shape& shape, double width, double height);
  std::vector<HostError> Rotate(Shape& shape, float degrees);
  // The command bars' update event, which Office raises after every change
  // of the user interface (a selection, a typed edit, a click) and often
  // besides.
  std::vector<HostError> RaiseCommandBarsUpdate();
  // `failures` of a user action, and then those of the update that follows it.
  std::vector<HostError> AndCommandBarsUpdate(std::vector<HostError> failures);
  // The host's add-in list, for a click on a button whose OnAction names an
  // add-in ("!<ProgId>"): the host connects it if it is not connected.
  void SetLoadOnDemand(std::function<void(const std::string& prog_id)> load) {
    load_on_demand_ = std::move(load);
  }
  void LoadOnDemand(const std::string& prog_id) {
    if (load_on_demand_) load_on_demand_(prog_id);
  }
  // The host has shut down: every call into it fails from now on, as calls
  // into a closed Office do.
  void Close() { closed_ = true; }
  bool closed() const { return closed_; }
  // Hosts store lengths as singles.
  double StoreLength(double points) const;

  // The command bars, oldest first.
  std::vector<std::shared_ptr<CommandBar>>& bars() { return bars_; }
  // Word keeps command bars in its customization context (the Normal
  // template): any change to a bar marks the template changed, so Word asks
  // at exit whether to save it. Office does not say whether a temporary
  // bar does; the simulation takes the strict reading. Saved is also what
  // the template's Saved property reads and writes.
  void NoteBarChange() {
    if (kind_ == HostKind::Word) template_saved_ = false;
  }
  bool& template_saved() { return template_saved_; }
  // The CommandBars collection: one object for the host's life, the source
  // of the update event.
  const std::shared_ptr<SimObject>& command_bars() const { return command_bars_; }
  CommandBar* NewestBar(std::string_view name);

  // Test facilities.
  Faults& faults() { return faults_; }
  // While recording, every call the add-in makes is kept with its target,
  // so that benchmarks can replay the same host work without the add-in.
  struct RecordedCall {
    // Subscribe: member is the interface. Event: no call but a marker, where
    // the host raised the event `member` (the command bars' update).
    enum class Kind { Get, Put, Subscribe, Event } kind;
    host::ObjectRef target;
    std::string member;
    std::vector<Value> args;
  };
  void Record(bool on) {
    recording_ = on;
    if (on) recorded_.clear();
  }
  bool recording() const { return recording_; }
  void NoteCall(RecordedCall call) { recorded_.push_back(std::move(call)); }
  const std::vector<RecordedCall>& recorded() const { return recorded_; }
  bool NoHostCallRecorded() const {
    return std::ranges::all_of(
        recorded_, [](const RecordedCall& c) { return c.kind == RecordedCall::Kind::Event; });
  }
  void SetTrace(std::function<void(const std::string&)> out) { trace_ = std::move(out); }
  void TraceWrite(std::string_view object, std::string_view property, const Value& value);
  std::vector<LiveObject> LiveReferences() const;  // objects the add-in (or anyone) holds
  int TotalExternalRefs() const;
  size_t TotalConnectedSinks() const;  // over every live object
  int double_releases() const { return double_releases_; }

  // For SimObject's bookkeeping only.
  void Track(SimObject* object) { live_.insert(object); }
  void Untrack(SimObject* object) { live_.erase(object); }
  void NoteDoubleRelease(SimObject*) { ++double_releases_; }

 private:
  Document& document() { return *documents_[active_window_]; }

  HostKind kind_;
  int version_;
  std::set<SimObject*> live_;
  Faults faults_;
  std::function<void(const std::string&)> trace_;
  int double_releases_ = 0;
  bool recording_ = false;
  std::vector<RecordedCall> recorded_;
  std::vector<std::shared_ptr<Document>> documents_;  // one per window
  std::vector<std::shared_ptr<SimObject>> windows_;
  size_t active_window_ = 0;
  std::vector<std::shared_ptr<CommandBar>> bars_;
  bool template_saved_ = true;
  std::shared_ptr<SimObject> command_bars_;
  std::shared_ptr<Application> application_;
  bool closed_ = false;
  std::function<void(const std::string&)> load_on_demand_;
};

}  // namespace frambolist::sim
