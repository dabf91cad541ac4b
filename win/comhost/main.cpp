// frambolist-sim.exe: the host program under Windows. The simulated hosts are
// served over COM and the add-in is the real DLL, found in the registry and
// created in process as Office creates it; the script language and output
// are the same as natively.

#include <windows.h>
#include <io.h>

#include <fstream>
#include <iostream>
#include <optional>

#include "com/com_object.h"
#include "com/strings.h"
#include "comhost/com_loader.h"
#include "served_hosts/host_window.h"
#include "hostprog/command_line.h"
#include "comhost/pumping_input.h"
#include "hostprog/session.h"
#include "comhost/shell_observer.h"
#include "comhost/window_watch.h"
#include "sim/world.h"

int main(int argc, char** argv) {
  using namespace frambolist;
  std::ifstream file;
  std::istream* in = hostprog::OpenScript(argc, argv, file);
  if (!in) return 2;
  if (FAILED(OleInitialize(nullptr))) {
    std::cerr << "frambolist-sim: COM could not start\n";
    return 2;
  }
  int status = 0;
  {
    win::PumpingInput input(*in);
    hostprog::ScriptReader script([&input](std::string& line) { return input.NextLine(line); },
                                  argc == 1 && _isatty(_fileno(stdin)) ? "> " : "");
    hostprog::Session session(std::cout, [](platform::Platform&) { return win::MakeComLoader(); });
    win::SetShellOutput(&std::cout);
    // The add-in reads the user's real regional settings; this host program
    // runs in a throw-away prefix and sets them as the script says.
    session.SetLocaleObserver([](const platform::NumberFormat& format) {
      SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, win::Widen(format.decimal).c_str());
      SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, win::Widen(format.group).c_str());
    });
    win::WindowWatch watch(session);
    // Each host's application window: the owner of the add-in's modal windows.
    std::optional<win::HostWindow> host_window;
    session.OnHostStarted([&](sim::World& world) {
      host_window.emplace(sim::HostName(world.kind()));
      watch.WatchHostWindow(host_window->hwnd());
    });
    session.OnStartupDone([&] { host_window->FinishStartup(); });
    status = session.Run(script, std::cerr);
    watch.CheckHostEnabled("at the end of the script");
    if (status == 0 && watch.modal_faults() > 0) status = 4;
    if (status == 0 && session.world() && session.world()->TotalExternalRefs() != 0) {
      for (const auto& live : session.world()->LiveReferences()) {
        std::cerr << "leak: " << live.type_name << " x" << live.refs << "\n";
      }
      status = 3;
    }
  }
  // After the host released it, the library must agree to be unloaded.
  if (HMODULE library = GetModuleHandleW(L"frambolist.dll")) {
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    auto can_unload = reinterpret_cast<CanUnload>(
        reinterpret_cast<void*>(GetProcAddress(library, "DllCanUnloadNow")));
    if (status == 0 && can_unload && can_unload() != S_OK) {
      std::cerr << "leak: DllCanUnloadNow answers S_FALSE\n";
      status = 3;
    }
  }
  OleUninitialize();
  return status;
}
