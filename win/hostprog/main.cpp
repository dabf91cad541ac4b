// frambolist-sim.exe: the host program under Windows. The simulated hosts are
// served over COM and the add-in is the real DLL, found in the registry and
// created in process as Office creates it; the script language and output
// are the same as natively.

#include <windows.h>
#include <io.h>

#include <fstream>
#include <iostream>

#include "com/com_object.h"
#include "com/strings.h"
#include "hostprog/com_loader.h"
#include "hostprog/command_line.h"
#include "hostprog/pumping_input.h"
#include "hostprog/session.h"
#include "hostprog/shell_observer.h"
#include "hostprog/window_watch.h"

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
    session.SetLocaleObserver([](const procs::NumberFormat& format) {
      SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, win::Widen(format.decimal).c_str());
      SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, win::Widen(format.group).c_str());
    });
    win::WindowWatch watch(session);
    status = session.Run(script, std::cerr);
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
    auto can_unload = reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(library, "DllCanUnloadNow")));
    if (status == 0 && can_unload && can_unload() != S_OK) {
      std::cerr << "leak: DllCanUnloadNow answers S_FALSE\n";
      status = 3;
    }
  }
  OleUninitialize();
  return status;
}
