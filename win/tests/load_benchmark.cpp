// Timed harness under Wine: the add-in's first load plus connection through
// COM (CoCreateInstance of the registered class, then OnConnection against a
// simulated PowerPoint served over IDispatch), and the median of later
// connections. Prints figures only; nothing here is a test.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "com/extensibility.h"
#include "com/strings.h"
#include "connectors/testing/toolbar_control.h"
#include "served_hosts/dispatch_server.h"
#include "sim/applications.h"
#include "sim/command_bars.h"
#include "sim/world.h"

using namespace frambolist;
using Clock = std::chrono::steady_clock;

namespace {

struct Split {
  double find_class, create, connect;
};

double ConnectOnce(sim::HostKind kind, const wchar_t* prog_id, Split* split = nullptr) {
  sim::World world(kind);
  auto app = win::ServerBridge().ToDispatch(world.ApplicationRef());
  auto instance =
      win::ServerBridge().ToDispatch(sim::MakeAddInInstance(world, "Kworrendival.Connect")->Ref());
  const auto start = Clock::now();
  CLSID clsid;
  CLSIDFromProgID(prog_id, &clsid);
  const auto found = Clock::now();
  win::ComPtr<win::IDTExtensibility2> addin;
  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, win::IID_IDTExtensibility2,
                   addin.ReceiveVoid());
  if (!addin) return -1;
  const auto created = Clock::now();
  SAFEARRAY* custom = SafeArrayCreateVector(VT_VARIANT, 0, 0);
  addin->OnConnection(app.get(), win::ext_cm_Startup, instance.get(), &custom);
  const auto connected = Clock::now();
  const double ms = std::chrono::duration<double, std::milli>(connected - start).count();
  if (split) {
    split->find_class = std::chrono::duration<double, std::milli>(found - start).count();
    split->create = std::chrono::duration<double, std::milli>(created - found).count();
    split->connect = std::chrono::duration<double, std::milli>(connected - created).count();
  }
  addin->OnBeginShutdown(&custom);
  SafeArrayDestroy(custom);
  return ms;
}

// The late-bound calls that each action costs through COM, in a PowerPoint
// with one shape selected: "GetIDsOfNames + Invoke".
void PrintCallsPerAction() {
  sim::World world(sim::HostKind::PowerPoint);
  auto app = win::ServerBridge().ToDispatch(world.ApplicationRef());
  auto instance =
      win::ServerBridge().ToDispatch(sim::MakeAddInInstance(world, "Kworrendival.Connect")->Ref());
  CLSID clsid;
  CLSIDFromProgID(L"Kworrendival.Connect", &clsid);
  win::ComPtr<win::IDTExtensibility2> addin;
  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, win::IID_IDTExtensibility2,
                   addin.ReceiveVoid());
  if (!addin) return;
  sim::Shape* shape = world.AddShape({.name = "A", .width = 144, .height = 72});
  auto counted = [](const char* action, auto&& act) {
    win::ServerCalls() = {};
    act();
    std::printf("calls through COM, %s: %ld + %ld\n", action, win::ServerCalls().name_lookups,
                win::ServerCalls().invokes);
  };
  counted("connection",
          [&] { addin->OnConnection(app.get(), win::ext_cm_Startup, instance.get(), nullptr); });
  counted("selection and its update", [&] { world.Select({shape}); });
  counted("update, nothing changed", [&] { world.RaiseCommandBarsUpdate(); });
  counted("update after a resize", [&] { world.Resize(*shape, 72, 72); });
  counted("size edit and its update",
          [&] { connectors::testing::ToolbarControl(world, "TxWidth").UserType("3"); });
  addin->OnDisconnection(win::ext_dm_HostShutdown, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  OleInitialize(nullptr);
  // An Office process has the shell loaded long before any add-in; with
  // "--as-in-office" this process loads it first too. "--once PROGID": one
  // process's figures for one registered add-in, on one line, for
  // load-figures.sh to take the medians of: load and create, the first
  // OnConnection, the median OnConnection of 20 later connections (ms).
  bool as_in_office = false, once = false;
  std::wstring prog_id = L"Kworrendival.Connect";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--as-in-office") as_in_office = true;
    if (arg == "--once" && i + 1 < argc) {
      once = true;
      prog_id = win::Widen(argv[++i]);
    }
  }
  if (as_in_office) LoadLibraryW(L"shell32.dll");
  Split split{};
  const double first = ConnectOnce(sim::HostKind::PowerPoint, prog_id.c_str(), &split);
  std::vector<double> later, later_on_connection;
  for (int i = 0; i < (once ? 20 : 51); ++i) {
    Split later_split{};
    later.push_back(ConnectOnce(sim::HostKind::PowerPoint, prog_id.c_str(), &later_split));
    later_on_connection.push_back(later_split.connect);
  }
  std::sort(later.begin(), later.end());
  std::sort(later_on_connection.begin(), later_on_connection.end());
  if (once) {
    std::printf("%.3f %.3f %.3f\n", split.create, split.connect,
                later_on_connection[later_on_connection.size() / 2]);
    OleUninitialize();
    return first < 0 ? 1 : 0;
  }
  std::printf(as_in_office ? "with the shell already loaded, as in Office:\n"
                           : "in a bare process:\n");
  std::printf(
      "first load + connection through COM: %.2f ms (ProgId to class %.2f, load and create %.2f, "
      "OnConnection %.2f)\n",
      first, split.find_class, split.create, split.connect);
  std::printf("later connections through COM: median %.3f ms (min %.3f, max %.3f, n=%zu)\n",
              later[later.size() / 2], later.front(), later.back(), later.size());
  if (!as_in_office) PrintCallsPerAction();
  OleUninitialize();
  return first < 0 ? 1 : 0;
}
