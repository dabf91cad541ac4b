#pragma once
// One run of the host program: a simulated host, the add-ins it loads, and
// the stand-ins for what the user sees (message boxes, dialogs, the shell),
// all driven by a script.

#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <vector>

#include "forms/form.h"
#include "hostprog/addin_loader.h"
#include "hostprog/script.h"
#include "hostprog/shown_dialog.h"
#include "sim/command_bars.h"
#include "sim/ribbon.h"
#include "sim/world.h"

namespace frambolist::hostprog {

class Session final : platform::OkMessageBox,
                      platform::UserLocale,
                      platform::DialogToolkit,
                      platform::Shell {
 public:
  using LoaderFactory = std::function<std::unique_ptr<AddinLoader>(platform::Platform&)>;
  Session(std::ostream& out, const LoaderFactory& make_loader);
  ~Session();

  // Runs the script to its end (or to `quit`). Returns the exit status: 0, or
  // 2 after a script error, which goes to `err`. At the end of the script the
  // host shuts down, unless `keep_running` (tests run scripts in phases).
  int Run(ScriptReader& script, std::ostream& err, bool keep_running = false);

  sim::World* world() { return world_.get(); }

  // For a host program whose dialogs and message boxes are real windows: it
  // reports them here as it sees them.
  std::ostream& out() { return out_; }
  // A dialog appeared: it takes the script's next lines until it is hidden or
  // unloaded ("show", then "hide" or "unload", are printed).
  void RunDialog(ShownDialog& dialog);
  // The same a line at a time, for a host program whose dialogs run in
  // their own modal loop, which must see the keys a line sends before the
  // next line runs: StepDialog runs the next line for the dialog shown last,
  // and is false once that dialog has gone. A dialog that its modal loop
  // closed (a key) is ended when the line under way returns, and
  // `dialog_gone` runs then.
  void BeginDialog(ShownDialog& dialog);
  bool StepDialog();
  void OnDialogGone(std::function<void()> dialog_gone) { on_dialog_gone_ = std::move(dialog_gone); }
  // Runs as soon as a host has started, before it loads its add-ins (tests
  // use it to prepare faults for the connection itself).
  void OnHostStarted(std::function<void(sim::World&)> prepare) {
    on_host_started_ = std::move(prepare);
  }
  // Runs once the host has loaded its start-up add-ins.
  void OnStartupDone(std::function<void()> done) { on_startup_done_ = std::move(done); }
  // Runs while each message box of the add-in is up, as the user's own work
  // would run in the box's message loop (tests give host commands there).
  void OnMessageBox(std::function<void(Session&)> inside) {
    inside_message_box_ = std::move(inside);
  }
  // Runs one line of the script language now.
  void RunLine(const std::string& text);
  size_t connected_addins() const { return addins_.size(); }
  // Reports a script error as Run does (for errors caught outside Run).
  void ReportScriptError(const ScriptError& error, std::ostream& err);
  // The user's regional number format changes (the `locale` command); a host
  // program whose add-in reads the real settings writes them here.
  void SetLocaleObserver(std::function<void(const platform::NumberFormat&)> observer) {
    locale_observer_ = std::move(observer);
    if (locale_observer_) locale_observer_(number_format_);
  }

 private:
  // The platform stand-ins.
  void Show(std::string_view text) override;
  platform::NumberFormat NumberFormat() override { return number_format_; }
  void ShowModal(forms::Form& form) override;
  void OpenPage(std::string_view address) override;

  using Words = std::vector<std::string>;
  void Execute(const ScriptLine& line);
  // The script's commands, one each (see Execute's table).
  void StartCommand(const Words& w);
  void WindowCommand(const Words& w);
  void HostCommand(const Words& w);
  void ActivateCommand(const Words& w);
  void AddCommand(const Words& w);
  void SelectCommand(const Words& w);
  void GroupCommand(const Words& w);
  void ResizeCommand(const Words& w);
  void RotateCommand(const Words& w);
  sim::Shape& ShapeNamed(const std::string& name);  // on the active sheet in Excel
  void TypeCommand(const Words& w);
  void ClickCommand(const Words& w);
  void KeyCommand(const Words& w);
  void CloseCommand(const Words& w);
  void LocaleCommand(const Words& w);
  void FailCommand(const Words& w);
  void HealCommand(const Words& w);
  void TraceCommand(const Words& w);
  void PrintCommand(const Words& w);
  void SetCommand(const Words& w);
  void RefuseCommand(const Words& w);
  void Start(const std::string& host, int version);
  void ConnectAll(int32_t connect_mode);
  void ConnectOne(const std::string& prog_id, int32_t connect_mode);
  void LoadOnDemand(const std::string& prog_id);
  void Quit();
  void ReleaseAddins(int32_t remove_mode);
  void ExecuteHostCommand(const std::string& command);
  void ExpectHostRunning() const;
  void Print(const std::string& what, ShownDialog* dialog);
  void PrintToolbar();
  // The ribbon of a connected add-in that has a control `id`, or null.
  sim::AddinRibbon* RibbonWith(std::string_view id);
  // Office draws its ribbons anew once the user's action is over.
  void RefreshRibbons();
  void ReportFailures(const std::vector<host::HostError>& failures);
  sim::World& RequireHost();
  sim::Control& ToolbarControl(const std::string& field);
  sim::Control& UserControl(const std::string& name);
  void ForeignCommand(const Words& w);

  std::ostream& out_;
  platform::Platform platform_;
  std::unique_ptr<AddinLoader> loader_;
  std::unique_ptr<sim::World> world_;
  struct Connected {
    std::shared_ptr<LoadedAddin> addin;
    host::ObjectRef instance;  // the add-in instance object passed to it
    std::string prog_id;
    std::unique_ptr<sim::AddinRibbon> ribbon;  // Office 2007 and later
  };
  std::vector<Connected> addins_;
  platform::NumberFormat number_format_;
  std::function<void(const platform::NumberFormat&)> locale_observer_;
  std::function<void(sim::World&)> on_host_started_;
  std::function<void()> on_startup_done_;
  std::function<void(Session&)> inside_message_box_;
  // Another add-in's controls (`foreign`), by name, on a bar of their own.
  std::shared_ptr<sim::CommandBar> foreign_bar_;
  std::map<std::string, std::shared_ptr<sim::Control>> foreign_controls_;
  struct PendingFault {
    std::string member;
    host::HostError error;
    bool always;
  };
  std::vector<PendingFault> pending_faults_;
  bool refuse_subscription_ = false;  // for the host about to start
  bool refuse_updates_ = false;       // likewise
  bool trace_ = false;
  bool ended_ = false;
  int command_depth_ = 0;  // commands under way: a dialog's run inside a click
  ScriptReader* script_ = nullptr;
  void EndDialog();
  void EndGoneDialogs();  // "hide" or "unload" for each dialog gone meanwhile
  std::function<void()> on_dialog_gone_;
  ShownDialog* dialog_ = nullptr;            // the dialog the script's lines go to
  std::vector<ShownDialog*> shown_dialogs_;  // those under it, each with the one before
  std::ostream* err_ = nullptr;
};

}  // namespace frambolist::hostprog
