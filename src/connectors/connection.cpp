// The connection event: store the host reference, build the toolbar, under
// the host's error policy. One step is one unit of resumption: a failed
// CommandBars.Add leaves CmdBar empty, so every later toolbar step fails in
// turn (91), and in PowerPoint the user sees one message per failing step.

#include <charconv>

#include "connectors/connector.h"
#include "connectors/error_policy.h"
#include "connectors/throwing_conversions.h"
#include "connectors/toolbar_layout.h"
#include "procs/units.h"

namespace frambolist::connectors {

namespace {

using host::Dispatch;
using host::Value;

// `Set x = value`: an object or Nothing; anything else is no object.
Dispatch AsObjectVariable(const Value& value) {
  if (!value.IsObject()) throw host::HostFailure{host::errors::ObjectRequired()};
  return Dispatch(value.ObjectOrNothing());
}

// Office's major version from Application.Version ("16.0"), read silently:
// 0 where it cannot be read, and then the add-in builds the toolbar as for
// Office 2003 and earlier.
int OfficeVersion(const Dispatch& application) {
  auto version = application.GetPath({{"Version"}});
  if (!version.ok()) return 0;
  auto text = version.value().ToText();
  if (!text.ok()) return 0;
  int major = 0;
  const std::string& t = text.value();
  std::from_chars(t.data(), t.data() + t.size(), major);
  return major;
}

// Office 2007 brought the ribbon; its command bars show only on the Add-ins
// tab, and from 2013 on only in the window that was active when they were
// built.
constexpr int kFirstRibbonVersion = 12;

}  // namespace

template <class Policy>
void Connector::RunRibbonSteps(const Policy& policy, const Dispatch& application, int version) {
  policy.Run([&] { HostReference().Set(application); });
  DeleteBarLeftBehind();                   // the group replaces it
  procs::CurrentUnit = procs::Unit::Inch;  // before the labels are built
  ribbon_ = std::make_unique<RibbonSurface>(version < traits_.ribbon_per_window_from);
  for (const ControlLayout& control : ToolbarLayout())
    (this->*control.reference).Set(ribbon_->ControlOf(control.field));
}

std::string Connector::GetCustomUI(std::string_view ribbon_id) const {
  return ribbon_ && ribbon_id == traits_.ribbon_id ? RibbonSurface::CustomUI() : std::string();
}

host::Outcome<Value> Connector::RibbonCallback(std::string_view name, std::span<const Value> args) {
  if (!ribbon_) return host::errors::MemberNotSupported();
  // A dialog's modal loop may see the host release the connector.
  const auto hold = weak_from_this().lock();
  return ribbon_->Callback(name, args);
}

// A bar named as ours is ours: an earlier release saved it into Word's
// template, or a connection's deletion of it failed. Left there, it would
// take the name of the new one. Under a silent trap: when it cannot be
// deleted either, the connection meets the taken name as before.
void Connector::DeleteBarLeftBehind() {
  EndQuietly([&] {
    HostApplication()
        .Obj("CommandBars")
        .Obj("Item", {Value(std::string(kToolbarName))})
        .Call("Delete");
  });
}

template <class Policy>
void Connector::RunConnectionSteps(const Policy& policy, const Dispatch& application,
                                   const Dispatch& add_in) {
  policy.Run([&] { HostReference().Set(application); });
  KeepingTemplateSaved([&] { BuildToolbar(policy, add_in); });
}

template <class Policy>
void Connector::BuildToolbar(const Policy& policy, const Dispatch& add_in) {
  DeleteBarLeftBehind();
  policy.Run([&] {
    CmdBar = AsObjectVariable(HostApplication()
                                  .Obj("CommandBars")
                                  .Call("Add", {Value(std::string(kToolbarName)), host::Missing{},
                                                host::Missing{}, Value(true)}));
  });
  policy.Run([&] { procs::CurrentUnit = procs::Unit::Inch; });     // before any caption is built
  policy.Run([&] { CmdBar.Put("Position", Value(int32_t{1})); });  // msoBarTop
  policy.Run([&] { CmdBar.Put("Visible", Value(true)); });

  for (const ControlLayout& control : ToolbarLayout()) {
    host::WithEvents& field = this->*control.reference;
    policy.Run([&] {
      auto controls = CmdBar.Obj("Controls");
      Value added = control.add_type ? controls.Call("Add", {Value(*control.add_type)})
                                     : controls.Call("Add");
      field.Set(AsObjectVariable(added));
    });
    const PropertyWrite tag = TagOf(control);
    policy.Run([&] { field->Put(tag.property, tag.value); });
    for (const PropertyWrite& write : control.writes) {
      policy.Run([&] {
        Value value = write.value;
        if (write.kind == PropertyWrite::Kind::kUnitCaption) {
          value = Value(TextOf(write.value) + std::string(procs::NameOf(procs::CurrentUnit)) + ")");
        } else if (write.kind == PropertyWrite::Kind::kActionString) {
          value = Value("!<" + TextOf(add_in.Get("ProgId")) + ">");
        }
        field->Put(write.property, value);
      });
    }
  }
}

std::optional<host::HostError> Connector::AddinInstance_OnConnection(const Value& Application,
                                                                     int32_t /*ConnectMode*/,
                                                                     const Value& AddInInst) {
  // A host that breaks the interface's order gets COM's answer, not a
  // second toolbar or a dead one.
  if (ever_connected_) return host::errors::Unexpected();
  if (!Application.ObjectOrNothing()) return host::errors::InvalidPointer();
  ever_connected_ = true;
  // References of our own for the length of the call.
  const Dispatch application = Dispatch::FromValue(Application);
  const Dispatch add_in = Dispatch::FromValue(AddInInst);
  // The host's hold for the length of the call: PowerPoint's messages are
  // modal, and the host may release the connector while one is up.
  const auto hold = weak_from_this().lock();
  const int version = OfficeVersion(application);
  const bool ribbon = version >= kFirstRibbonVersion;
  connected_ = true;
  auto run = [&](const auto& policy) {
    if (ribbon)
      RunRibbonSteps(policy, application, version);
    else
      RunConnectionSteps(policy, application, add_in);
  };
  try {
    switch (traits_.connection_policy) {
      case ConnectionPolicy::kResumeWithMessage:
        run(ResumeWithMessage{platform_.message_box});
        break;
      case ConnectionPolicy::kResumeSilently:
        run(ResumeSilently{});
        break;
      case ConnectionPolicy::kStopAtFirstFailure:
        run(StopAtFirstFailure{});
        break;
    }
    AfterConnection();
  } catch (const host::HostFailure& failure) {
    return host::AsHostSeesIt(failure.error);  // Excel: nothing stored before it is undone
  } catch (const HandlerAbandoned&) {
    // Disconnected while a message was up: nothing more to build.
  }
  return std::nullopt;
}

}  // namespace frambolist::connectors
