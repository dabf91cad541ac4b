// The host's life: starting, loading its add-ins (at start-up, on a button's
// click, anew from the COM Add-ins dialog), and shutting down.

#include "hostprog/session.h"

#include "hostprog/words.h"
#include "sim/applications.h"

namespace frambolist::hostprog {

using host::Value;

void Session::Start(const std::string& host, int version) {
  if (world_) throw Error("one host per run");
  sim::HostKind kind;
  if (host == "powerpoint")
    kind = sim::HostKind::PowerPoint;
  else if (host == "excel")
    kind = sim::HostKind::Excel;
  else if (host == "word")
    kind = sim::HostKind::Word;
  else
    throw Error("no such host: " + host);
  world_ = std::make_unique<sim::World>(kind, version);
  for (const PendingFault& f : pending_faults_) world_->faults().Arm(f.member, f.error, f.always);
  pending_faults_.clear();
  if (std::exchange(refuse_subscription_, false)) world_->faults().RefuseNextSubscription();
  if (std::exchange(refuse_updates_, false))
    world_->faults().RefuseEventsOf(std::string(host::event_interfaces::kCommandBarsEvents));
  if (trace_) world_->SetTrace([this](const std::string& line) { out_ << line << "\n"; });
  if (on_host_started_) on_host_started_(*world_);
  world_->SetLoadOnDemand([this](const std::string& prog_id) { LoadOnDemand(prog_id); });
  ConnectAll(1);  // ext_cm_Startup
  if (on_startup_done_ && !ended_) on_startup_done_();
}

// Loads every add-in registered for the host with load behaviour 3.
void Session::ConnectAll(int32_t connect_mode) {
  for (const std::string& prog_id : loader_->StartupAddins(sim::HostName(world_->kind()))) {
    ConnectOne(prog_id, connect_mode);
    if (ended_) return;  // the host quit while a connection was under way
  }
}

// Office loads an add-in that a button's OnAction names when the button is
// clicked while the add-in is not connected (switched off, say).
void Session::LoadOnDemand(const std::string& prog_id) {
  for (const Connected& c : addins_) {
    if (c.prog_id == prog_id) return;
  }
  for (const std::string& registered : loader_->StartupAddins(sim::HostName(world_->kind()))) {
    if (registered == prog_id) ConnectOne(prog_id, 0);  // ext_cm_AfterStartup
  }
}

void Session::ConnectOne(const std::string& prog_id, int32_t connect_mode) {
  std::string why;
  std::shared_ptr<LoadedAddin> addin = loader_->Create(prog_id, why);
  if (!addin) {
    // What Office's COM Add-ins dialog would list: the add-in, not loaded.
    out_ << "not loaded: " << prog_id << ": " << why << "\n";
    return;
  }
  host::ObjectRef instance = sim::MakeAddInInstance(*world_, prog_id)->Ref();
  // Listed before it is connected, as Office's add-in list has it: a quit or
  // a switch-off that the user gives while the connection shows a message
  // reaches this add-in too. The local hold keeps it for the length of the
  // call, whatever the host lets go of meanwhile.
  addins_.push_back({addin, instance, prog_id, nullptr});
  auto failure =
      addin->OnConnection(Value(world_->ApplicationRef()), connect_mode, Value(instance));
  if (failure) {
    ReportFailures({*failure});
    return;
  }
  // Office 2007 and later then ask a connected add-in for its ribbon.
  if (world_->version() < 12 || ended_) return;
  for (Connected& c : addins_) {
    if (c.addin != addin) continue;
    c.ribbon = sim::AddinRibbon::Load(*world_, *addin, [this](const std::string& fault) {
      out_ << "ribbon error: " << fault << "\n";
    });
  }
}

void Session::Quit() {
  for (Connected& c : addins_) c.addin->OnBeginShutdown();
  ReleaseAddins(kHostShutdown);
  world_->Close();
  ended_ = true;
}

// Office disconnects each add-in and then releases it, before the instance
// object it was given.
void Session::ReleaseAddins(int32_t remove_mode) {
  for (Connected& c : addins_) c.ribbon.reset();  // Office drops the add-in's group
  for (Connected& c : addins_) c.addin->OnDisconnection(remove_mode);
  for (Connected& c : addins_) c.addin.reset();
  addins_.clear();
}

// The host's own commands, which the user may also give while a dialog of
// the add-in is up: the host connects its add-ins anew, or shuts down.
void Session::ExecuteHostCommand(const std::string& command) {
  RequireHost();
  ExpectHostRunning();
  if (command == "quit") {
    Quit();
    return;
  }
  // As the COM Add-ins dialog does: the connector is disconnected and
  // released (switched off); `connect` then connects a new one.
  ReleaseAddins(kUserClosed);
  if (command == "connect") ConnectAll(0);  // ext_cm_AfterStartup
}

}  // namespace frambolist::hostprog
