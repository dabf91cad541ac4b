#include "sim/applications.h"

#include "sim/command_bars.h"
#include "sim/shapes.h"
#include "sim/world.h"

namespace frambolist::sim {

namespace {

template <class Make>
SimObject::Getter Fresh(Make make) {
  return [make](std::span<const Value>) -> Outcome<Value> { return Value(make()->Ref()); };
}

// A window's selection, which stays that window's when another is active.
class Selection : public SimObject {
 public:
  Selection(World& world, std::shared_ptr<Document> document)
      : SimObject(world, "Selection"), document_(std::move(document)) {
    Member("ShapeRange", [this](auto) { return ShapeRange(); });
    if (world.kind() != HostKind::Excel) {
      // A shape selected inside a group: ShapeRange is the whole group.
      Member("HasChildShapeRange",
             [this](auto) { return Outcome<Value>(Value(!document_->child_selection.empty())); });
      Member("ChildShapeRange", [this](auto) -> Outcome<Value> {
        if (document_->child_selection.empty()) {
          if (world_.kind() == HostKind::Word) return host_errors::WordCommandFailed();
          return host_errors::PowerPointNothingSelected();
        }
        return Value(MakeShapeRange(world_, document_->child_selection)->Ref());
      });
    }
    if (world.kind() == HostKind::Word) {
      Member("InlineShapes",
             Fresh([this] { return MakeInlineShapes(world_, document_->Selected(true)); }));
    }
  }

 private:
  Outcome<Value> ShapeRange() {
    auto floating = document_->Selected(false);
    if (world_.kind() == HostKind::PowerPoint && floating.empty()) {
      return host_errors::PowerPointNothingSelected();
    }
    if (world_.kind() == HostKind::Word && document_->selection.empty()) return Value::Nothing();
    return Value(MakeShapeRange(world_, std::move(floating))->Ref());
  }

  std::shared_ptr<Document> document_;
};

class Worksheet : public SimObject {
 public:
  Worksheet(World& world, std::string name)
      : SimObject(world, "Worksheet"), name_(std::move(name)) {
    Member("Name", [this](auto) { return Outcome<Value>(Value(name_)); });
  }

 private:
  std::string name_;
};

class CellRange : public SimObject {
 public:
  explicit CellRange(World& world) : SimObject(world, "Range") {
    Member("Address", [](auto) { return Outcome<Value>(Value("$A$1")); });
  }
};

class DrawingSelection : public SimObject {
 public:
  DrawingSelection(World& world, std::shared_ptr<Document> document)
      : SimObject(world, "DrawingObjects"), document_(std::move(document)) {
    Member("ShapeRange",
           Fresh([this] { return MakeShapeRange(world_, document_->Selected(false)); }));
  }

 private:
  std::shared_ptr<Document> document_;
};

class Window : public SimObject {
 public:
  Window(World& world, std::shared_ptr<Document> document)
      : SimObject(world, "Window"), document_(std::move(document)) {
    Member("Selection", [this](auto) -> Outcome<Value> {
      if (world_.kind() != HostKind::Excel)
        return Value(std::make_shared<Selection>(world_, document_)->Ref());
      if (!document_->selection.empty())
        return Value(std::make_shared<DrawingSelection>(world_, document_)->Ref());
      return Value(std::make_shared<CellRange>(world_)->Ref());
    });
  }

 private:
  std::shared_ptr<Document> document_;
};

std::string_view ApplicationEvents(HostKind kind) {
  switch (kind) {
    case HostKind::PowerPoint:
      return host::event_interfaces::kPowerPointApplication;
    case HostKind::Excel:
      return host::event_interfaces::kExcelApplication;
    case HostKind::Word:
      return host::event_interfaces::kWordApplication;
  }
  return {};
}

// Word's template, where its command bars are kept.
class Template : public SimObject {
 public:
  explicit Template(World& world) : SimObject(world, "Template") {
    Member(
        "Saved", [this](auto) { return Outcome<Value>(Value(world_.template_saved())); },
        [this](const Value& v) -> Outcome<void> {
          auto saved = v.ToBool();
          if (!saved.ok()) return host_errors::TypeMismatch();
          world_.template_saved() = saved.value();
          return {};
        });
  }
};

class AddInInstance : public SimObject {
 public:
  AddInInstance(World& world, std::string prog_id)
      : SimObject(world, "COMAddIn"), prog_id_(std::move(prog_id)) {
    Member("ProgId", [this](auto) { return Outcome<Value>(Value(prog_id_)); });
  }

 private:
  std::string prog_id_;
};

}  // namespace

Application::Application(World& world) : SimObject(world, "Application") {
  if (world.kind() == HostKind::Excel)
    OfferEvents(ApplicationEvents(world.kind()), {"SheetSelectionChange", "SheetActivate"});
  else
    OfferEvents(ApplicationEvents(world.kind()), {"WindowSelectionChange"});
  Member("Name", [this](auto) {
    return Outcome<Value>(Value("Microsoft " + std::string(HostName(world_.kind()))));
  });
  Member("CommandBars",
         [this](auto) { return Outcome<Value>(Value(world_.command_bars()->Ref())); });
  Member("Version", [this](auto) { return Outcome<Value>(Value(world_.VersionText())); });
  Member("ActiveWindow", [this](auto) {
    return Outcome<Value>(Value(world_.window(world_.active_window())->Ref()));
  });
  if (world.kind() == HostKind::Word) {
    // The customization context is the Normal template unless a macro
    // chose another.
    Member("NormalTemplate", Fresh([this] { return std::make_shared<Template>(world_); }));
    Member("CustomizationContext", Fresh([this] { return std::make_shared<Template>(world_); }));
  }
  if (world.kind() == HostKind::Excel) {
    Member("ActiveSheet",
           Fresh([this] { return std::make_shared<Worksheet>(world_, world_.active_sheet()); }));
  }
}

std::vector<HostError> Application::RaiseSelectionChange() {
  if (world_.kind() == HostKind::Excel) {
    if (world_.AnyShapeSelected()) return {};
    Value args[] = {Value(std::make_shared<Worksheet>(world_, world_.active_sheet())->Ref()),
                    Value(std::make_shared<CellRange>(world_)->Ref())};
    return Raise("SheetSelectionChange", args);
  }
  Value args[] = {Value(std::make_shared<Selection>(world_, world_.shared_document())->Ref())};
  return Raise("WindowSelectionChange", args);
}

std::vector<HostError> Application::RaiseSheetActivate(const std::string& name) {
  Value args[] = {Value(std::make_shared<Worksheet>(world_, name)->Ref())};
  return Raise("SheetActivate", args);
}

std::shared_ptr<SimObject> MakeWindow(World& world, std::shared_ptr<Document> document) {
  return std::make_shared<Window>(world, std::move(document));
}

std::shared_ptr<SimObject> MakeAddInInstance(World& world, std::string prog_id) {
  return std::make_shared<AddInInstance>(world, std::move(prog_id));
}

}  // namespace frambolist::sim
