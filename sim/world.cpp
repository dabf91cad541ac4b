#include "sim/world.h"

#include <algorithm>
#include <functional>

#include "host/single_precision.h"
#include "sim/applications.h"
#include "sim/command_bars.h"
#include "sim/value_text.h"

namespace frambolist::sim {

std::string_view HostName(HostKind kind) {
  switch (kind) {
    case HostKind::PowerPoint:
      return "PowerPoint";
    case HostKind::Excel:
      return "Excel";
    case HostKind::Word:
      return "Word";
  }
  return {};
}

World::World(HostKind kind, int version) : kind_(kind), version_(version) {
  command_bars_ = MakeCommandBars(*this);
  application_ = std::make_shared<Application>(*this);
  documents_.push_back(std::make_shared<Document>());
  windows_.push_back(MakeWindow(*this, documents_.back()));
}

bool World::RibbonPerWindow() const {
  switch (kind_) {
    case HostKind::Word:
      return version_ >= 12;
    case HostKind::PowerPoint:
      return version_ >= 14;
    case HostKind::Excel:
      return version_ >= 15;
  }
  return false;
}

std::vector<HostError> World::NewWindow() {
  documents_.push_back(std::make_shared<Document>());
  windows_.push_back(MakeWindow(*this, documents_.back()));
  active_window_ = windows_.size() - 1;
  return RaiseCommandBarsUpdate();
}

std::vector<HostError> World::ActivateWindow(size_t index) {
  active_window_ = index;
  return RaiseCommandBarsUpdate();
}

std::vector<std::shared_ptr<Shape>> Document::Selected(bool inline_pictures) const {
  std::vector<std::shared_ptr<Shape>> out;
  std::copy_if(selection.begin(), selection.end(), std::back_inserter(out),
               [&](const auto& s) { return s->is_inline == inline_pictures; });
  return out;
}

World::~World() {
  // Objects still referenced from outside outlive this point only through a
  // leak, which the audit reports while the world stands.
  bars_.clear();
  windows_.clear();
  application_.reset();
  command_bars_.reset();
}

host::ObjectRef World::ApplicationRef() { return application_->Ref(); }

Shape* World::AddShape(Shape shape) {
  if (FindShape(shape.name)) return nullptr;
  Document& doc = document();
  if (kind_ == HostKind::Excel) shape.sheet = doc.active_sheet;
  shape.width = StoreLength(shape.width);
  shape.height = StoreLength(shape.height);
  doc.shapes.push_back(std::make_shared<Shape>(std::move(shape)));
  return doc.shapes.back().get();
}

Shape* World::FindShape(std::string_view name) {
  Document& doc = document();
  std::function<Shape*(const std::vector<std::shared_ptr<Shape>>&)> find =
      [&](const std::vector<std::shared_ptr<Shape>>& shapes) -> Shape* {
    for (auto& s : shapes) {
      if (s->name == name && s->sheet == (kind_ == HostKind::Excel ? doc.active_sheet : ""))
        return s.get();
      if (Shape* member = find(s->members)) return member;
    }
    return nullptr;
  };
  return find(doc.shapes);
}

Shape* World::Group(const std::string& name, const std::vector<Shape*>& members) {
  Document& doc = document();
  auto group = std::make_shared<Shape>(Shape{.name = name});
  for (Shape* member : members) {
    auto it = std::find_if(doc.shapes.begin(), doc.shapes.end(),
                           [&](const auto& s) { return s.get() == member; });
    if (it == doc.shapes.end()) continue;
    (*it)->group = group.get();
    group->members.push_back(*it);
    doc.shapes.erase(it);
  }
  FitGroup(*group);
  std::erase_if(doc.selection, [](const auto& s) { return s->group != nullptr; });
  doc.shapes.push_back(group);
  return group.get();
}

void World::FitGroup(Shape& group) {
  group.width = group.height = 0;
  for (const auto& member : group.members) {
    group.width = std::max(group.width, member->width);
    group.height = std::max(group.height, member->height);
  }
}

void World::ScaleMembers(Shape& group, double old_width, double old_height) {
  const double width_factor = old_width > 0 ? group.width / old_width : 1;
  const double height_factor = old_height > 0 ? group.height / old_height : 1;
  for (auto& member : group.members) {
    member->width = StoreLength(member->width * width_factor);
    member->height = StoreLength(member->height * height_factor);
  }
}

std::vector<HostError> World::SelectInGroup(Shape& group, Shape& member) {
  Document& doc = document();
  doc.selection.clear();
  doc.child_selection.clear();
  for (auto& s : doc.shapes) {
    if (s.get() != &group) continue;
    doc.selection.push_back(s);
    for (auto& m : s->members) {
      if (m.get() == &member) doc.child_selection.push_back(m);
    }
  }
  return AndCommandBarsUpdate(application_->RaiseSelectionChange());
}

std::vector<HostError> World::Select(const std::vector<Shape*>& shapes) {
  Document& doc = document();
  doc.selection.clear();
  doc.child_selection.clear();
  for (Shape* wanted : shapes) {
    for (auto& s : doc.shapes) {
      if (s.get() == wanted) doc.selection.push_back(s);
    }
  }
  return AndCommandBarsUpdate(application_->RaiseSelectionChange());
}

std::vector<HostError> World::ActivateSheet(const std::string& name) {
  Document& doc = document();
  doc.sheet_selections[doc.active_sheet] = std::move(doc.selection);
  doc.active_sheet = name;
  doc.selection = std::move(doc.sheet_selections[name]);
  doc.sheet_selections.erase(name);
  return AndCommandBarsUpdate(application_->RaiseSheetActivate(name));
}

std::vector<HostError> World::Resize(Shape& shape, double width, double height) {
  const double old_width = shape.width, old_height = shape.height;
  shape.width = StoreLength(width);
  shape.height = StoreLength(height);
  ScaleMembers(shape, old_width, old_height);
  if (shape.group) FitGroup(*shape.group);
  return RaiseCommandBarsUpdate();
}

std::vector<HostError> World::Rotate(Shape& shape, float degrees) {
  shape.rotation = degrees;
  return RaiseCommandBarsUpdate();
}

std::vector<HostError> World::AndCommandBarsUpdate(std::vector<HostError> failures) {
  auto more = RaiseCommandBarsUpdate();
  failures.insert(failures.end(), more.begin(), more.end());
  return failures;
}

std::vector<HostError> World::RaiseCommandBarsUpdate() {
  if (closed_) return {};
  if (recording_) NoteCall({RecordedCall::Kind::Event, {}, "OnUpdate", {}});
  return command_bars_->Raise("OnUpdate", {});
}

// GCC 12's SLP vectoriser drops a plain double-to-float-to-double round trip
// done for two fields at once (AddShape's width and height stayed unrounded
// at -O2); the checked rounding, with its branches, is not vectorised.
double World::StoreLength(double points) const {
  return static_cast<double>(host::RoundToSingle(points));
}

CommandBar* World::NewestBar(std::string_view name) {
  for (auto it = bars_.rbegin(); it != bars_.rend(); ++it) {
    if ((*it)->name == name) return it->get();
  }
  return nullptr;
}

void World::TraceWrite(std::string_view object, std::string_view property, const Value& value) {
  if (trace_) {
    trace_("write " + std::string(object) + "." + std::string(property) + " = " + ValueText(value));
  }
}

std::vector<LiveObject> World::LiveReferences() const {
  std::vector<LiveObject> out;
  for (SimObject* o : live_) {
    if (o->external_refs() > 0) out.push_back({o->type_name(), o->external_refs()});
  }
  std::sort(out.begin(), out.end(),
            [](const auto& a, const auto& b) { return a.type_name < b.type_name; });
  return out;
}

int World::TotalExternalRefs() const {
  int total = 0;
  for (SimObject* o : live_) total += o->external_refs();
  return total;
}

size_t World::TotalConnectedSinks() const {
  size_t total = 0;
  for (SimObject* o : live_) total += o->connected_sinks();
  return total;
}

}  // namespace frambolist::sim
