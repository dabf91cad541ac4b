// The add-in DLL through real COM as Office drives it where the Parts are
// silent: late-bound calls under locale 1033, failures of IDispatch itself,
// and a host that lets go of the add-in while one of its modal windows is up.
// Runs beside the registered frambolist.dll (run-wine.sh).

#include <gtest/gtest.h>

#include "host/testing/failure_number.h"

#include <functional>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "com/dispatch_object.h"
#include "com/errors.h"
#include "com/extensibility.h"
#include "com/strings.h"
#include "connectors/testing/toolbar_control.h"
#include "served_hosts/dispatch_server.h"
#include "served_hosts/host_window.h"
#include "host/dispatch.h"
#include "sim/applications.h"
#include "sim/command_bars.h"
#include "sim/world.h"

namespace frambolist::win {
namespace {

using host::testing::NumberOf;

class OfficeFaithful : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ServerFaults() = {};
  }
  void TearDown() override {
    ServerFaults() = {};
    OleUninitialize();
  }
};

TEST_F(OfficeFaithful, LateBoundCallsPassLocale1033AndKeepTheNumbersOfIDispatchFailures) {
  sim::World world(sim::HostKind::Excel);
  {
    auto served = ServerBridge().ToDispatch(world.ApplicationRef());
    host::Dispatch app(ClientBridge().ToObject(served.get()));
    EXPECT_EQ(app.Get("Name"), host::Value("Microsoft Excel"));  // refused under any other locale

    // Excel without the user's language pack refuses the user's locale.
    wchar_t name[] = L"Name";
    LPOLESTR names[] = {name};
    DISPID id;
    EXPECT_EQ(served->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), kLocaleRefused);

    ServerFaults().name_lookup_member = "ActiveWindow";
    ServerFaults().name_lookup_result = E_OUTOFMEMORY;
    EXPECT_EQ(NumberOf([&] { app.Get("ActiveWindow"); }), static_cast<int32_t>(E_OUTOFMEMORY));
    EXPECT_EQ(NumberOf([&] { app.Get("NoSuchMember"); }), 438);

    ServerFaults().empty_exception_member = "CommandBars";
    EXPECT_EQ(NumberOf([&] { app.Get("CommandBars"); }), static_cast<int32_t>(DISP_E_EXCEPTION));
  }
  EXPECT_EQ(world.TotalExternalRefs(), 0);
}

TEST_F(OfficeFaithful, NoFailureReachesAHostAsSuccess) {
  for (int32_t number : {0, 70000, 424, -2147024891}) {
    SCOPED_TRACE(number);
    EXPECT_TRUE(FAILED(ReturnError({number, "x"}, IID_IDTExtensibility2)));
    EXCEPINFO info{};
    FillExcepInfo({number, "x"}, &info);
    EXPECT_NE(ErrorFromInvoke(DISP_E_EXCEPTION, info).number, 0);
  }
}

// The registered add-in, created as Office creates it.
ComPtr<IDTExtensibility2> CreateAddin(const wchar_t* prog_id) {
  CLSID clsid;
  ComPtr<IDTExtensibility2> addin;
  if (SUCCEEDED(CLSIDFromProgID(prog_id, &clsid))) {
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDTExtensibility2,
                     addin.ReceiveVoid());
  }
  return addin;
}

HRESULT Connect(IDTExtensibility2& addin, sim::World& world, const char* prog_id) {
  auto app = ServerBridge().ToDispatch(world.ApplicationRef());
  auto instance = ServerBridge().ToDispatch(sim::MakeAddInInstance(world, prog_id)->Ref());
  return addin.OnConnection(app.get(), ext_cm_Startup, instance.get(), nullptr);
}

// Each host's own selection event, through its connection point, reaches
// the selection handler: without the update that follows it in Office, the
// boxes still show the new selection.
TEST_F(OfficeFaithful, EachHostsSelectionEventReachesItsHandler) {
  struct Row {
    sim::HostKind kind;
    const char* prog_id;
  };
  const Row rows[] = {{sim::HostKind::PowerPoint, "Kworrendival.Connect"},
                      {sim::HostKind::Excel, "Kworrendival.ConnectXl"},
                      {sim::HostKind::Word, "Kworrendival.ConnectWd"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.prog_id);
    sim::World world(row.kind);
    auto addin = CreateAddin(Widen(row.prog_id).c_str());
    ASSERT_TRUE(addin);
    ASSERT_EQ(Connect(*addin.get(), world, row.prog_id), S_OK);
    sim::Shape* shape = world.AddShape({.name = "A", .width = 72, .height = 36});
    world.Select({shape});
    ASSERT_EQ(connectors::testing::ToolbarControl(world, "TxHeight").text, "0.5");
    shape->height = 108;  // no update: only the selection event says so
    world.application().RaiseSelectionChange();
    if (row.kind == sim::HostKind::Excel) {
      // Excel reports cells only; a shape's selection comes with the update.
      EXPECT_EQ(connectors::testing::ToolbarControl(world, "TxHeight").text, "0.5");
    } else {
      EXPECT_EQ(connectors::testing::ToolbarControl(world, "TxHeight").text, "1.5");
    }
    addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
  }
}

TEST_F(OfficeFaithful, AnExcelConnectionThatFailsInAnyWayIsReportedAsAFailure) {
  for (bool empty_exception : {true, false}) {
    sim::World world(sim::HostKind::Excel);
    auto addin = CreateAddin(L"Kworrendival.ConnectXl");
    ASSERT_TRUE(addin);
    if (empty_exception)
      ServerFaults().empty_exception_member = "CommandBars";
    else
      world.faults().Arm("Add", {70000, "Beyond the automation range"}, false);
    EXPECT_TRUE(FAILED(Connect(*addin.get(), world, "Kworrendival.ConnectXl")));
    ServerFaults() = {};
    addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
  }
}

// The registered class factory of `prog_id`, or null.
ComPtr<IClassFactory> ClassFactoryOf(const wchar_t* prog_id, CLSID& clsid) {
  ComPtr<IClassFactory> factory;
  if (SUCCEEDED(CLSIDFromProgID(prog_id, &clsid))) {
    CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                     factory.ReceiveVoid());
  }
  return factory;
}

// A caller that passes no out-pointer gets E_POINTER from every object and
// export of the library, never a write through null.
TEST_F(OfficeFaithful, NoOutPointerIsAnErrorNotACrash) {
  CLSID clsid;
  ComPtr<IClassFactory> factory = ClassFactoryOf(L"Kworrendival.ConnectWd", clsid);
  ASSERT_TRUE(factory);
  EXPECT_EQ(factory->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
  // And the factory's other answers: IUnknown, no other interface, and no
  // aggregation.
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(factory->QueryInterface(IID_IUnknown, unknown.ReceiveVoid()), S_OK);
  ComPtr<IDispatch> not_a_factory_interface;
  EXPECT_EQ(factory->QueryInterface(IID_IDispatch, not_a_factory_interface.ReceiveVoid()),
            E_NOINTERFACE);
  EXPECT_FALSE(not_a_factory_interface);
  ComPtr<IUnknown> aggregated;
  EXPECT_EQ(factory->CreateInstance(unknown.get(), IID_IUnknown, aggregated.ReceiveVoid()),
            CLASS_E_NOAGGREGATION);
  auto addin = CreateAddin(L"Kworrendival.ConnectWd");
  ASSERT_TRUE(addin);
  EXPECT_EQ(addin->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
  // Late-bound only: no type information, and a count of none.
  UINT type_infos = 7;
  EXPECT_EQ(addin->GetTypeInfoCount(&type_infos), S_OK);
  EXPECT_EQ(type_infos, 0u);
  EXPECT_EQ(addin->GetTypeInfoCount(nullptr), E_POINTER);
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto get_class_object = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"frambolist.dll"), "DllGetClassObject")));
  ASSERT_TRUE(get_class_object);
  EXPECT_EQ(get_class_object(clsid, IID_IClassFactory, nullptr), E_POINTER);
}

// Office calls the connection interface through its vtable; a script host
// may call it by DISPID, and a call short of its arguments is refused as
// such, not read as empty arguments.
TEST_F(OfficeFaithful, TheConnectionInterfaceByDispidTakesItsArgumentsInOrderOrRefusesThem) {
  auto addin = CreateAddin(L"Kworrendival.Connect");
  ASSERT_TRUE(addin);
  ComPtr<IDispatch> by_name;
  ASSERT_EQ(addin->QueryInterface(IID_IDispatch, by_name.ReceiveVoid()), S_OK);
  constexpr DISPID kOnConnection = 1, kOnDisconnection = 2;
  DISPPARAMS none{};
  for (DISPID connection_call : {kOnConnection, kOnDisconnection}) {
    EXPECT_EQ(by_name->Invoke(connection_call, IID_NULL, 1033, DISPATCH_METHOD, &none, nullptr,
                              nullptr, nullptr),
              DISP_E_BADPARAMCOUNT)
        << connection_call;
  }

  // With their arguments, which IDispatch passes last first: the connection
  // builds the toolbar, and the user's switching off (mode 1) takes it away.
  sim::World world(sim::HostKind::PowerPoint);
  auto app = ServerBridge().ToDispatch(world.ApplicationRef());
  auto instance =
      ServerBridge().ToDispatch(sim::MakeAddInInstance(world, "Kworrendival.Connect")->Ref());
  auto object = [](IDispatch* d) {
    VARIANT v;
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = d;  // lent for the call
    return v;
  };
  auto number = [](LONG n) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = n;
    return v;
  };
  VARIANT custom;
  VariantInit(&custom);
  VARIANT connection_args[] = {custom, object(instance.get()), number(ext_cm_AfterStartup),
                               object(app.get())};
  DISPPARAMS connection{connection_args, nullptr, 4, 0};
  ASSERT_EQ(by_name->Invoke(kOnConnection, IID_NULL, 1033, DISPATCH_METHOD, &connection, nullptr,
                            nullptr, nullptr),
            S_OK);
  EXPECT_EQ(world.bars().size(), 1u);
  VARIANT disconnection_args[] = {custom, number(ext_dm_UserClosed)};
  DISPPARAMS disconnection{disconnection_args, nullptr, 2, 0};
  EXPECT_EQ(by_name->Invoke(kOnDisconnection, IID_NULL, 1033, DISPATCH_METHOD, &disconnection,
                            nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_TRUE(world.bars().empty());
  by_name.Reset();
  addin.Reset();
  app.Reset();
  instance.Reset();
  EXPECT_EQ(world.TotalExternalRefs(), 0);
}

// Watches this thread for the add-in's modal windows and, inside their
// loops, runs `inside` and then closes the window as the user would.
class ModalWatch {
 public:
  // With `close_after` false, `inside` sees to it that the window goes.
  explicit ModalWatch(std::function<void(HWND)> inside, bool close_after = true)
      : inside_(std::move(inside)), close_after_(close_after) {
    active_ = this;
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ModalWatch::DriverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FrambolistTestDriver";
    RegisterClassW(&wc);
    driver_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
    hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, &ModalWatch::Hook, nullptr, GetCurrentThreadId());
  }
  ~ModalWatch() {
    UnhookWindowsHookEx(hook_);
    DestroyWindow(driver_);
    active_ = nullptr;
  }
  int seen() const { return seen_; }

 private:
  static constexpr UINT kShown = WM_APP + 7;
  static bool IsModal(const CWPRETSTRUCT& call) {
    wchar_t name[64] = {};
    GetClassNameW(call.hwnd, name, 64);
    const std::wstring cls = name;
    return (call.message == WM_INITDIALOG && cls == L"#32770") ||
           (call.message == WM_SHOWWINDOW && call.wParam && cls.rfind(L"Frambolist.", 0) == 0);
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lparam);
    if (code == HC_ACTION && active_ && IsModal(*call)) {
      PostMessageW(active_->driver_, kShown, reinterpret_cast<WPARAM>(call->hwnd), 0);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }
  static LRESULT CALLBACK DriverProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != kShown || !active_) return DefWindowProcW(hwnd, message, wparam, lparam);
    HWND shown = reinterpret_cast<HWND>(wparam);
    if (!IsWindow(shown)) return 0;
    ++active_->seen_;
    active_->inside_(shown);
    if (!active_->close_after_) return 0;
    // A message box takes OK; a form its window's close command.
    if (GetDlgItem(shown, IDOK))
      PostMessageW(shown, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    else
      PostMessageW(shown, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
  }

  static inline ModalWatch* active_ = nullptr;
  std::function<void(HWND)> inside_;
  bool close_after_;
  HWND driver_ = nullptr;
  HHOOK hook_ = nullptr;
  int seen_ = 0;
};

TEST_F(OfficeFaithful,
       AHostThatLetsGoDuringAModalWindowFindsItsWindowsEnabledAndNoCallAfterTheRelease) {
  struct Modal {
    const char* name;
    std::function<void(sim::World&, IDTExtensibility2&)> open;
  };
  const Modal modals[] = {
      {"the connection's message box",
       [](sim::World& w, IDTExtensibility2& addin) {
         w.faults().Arm("Caption", {7, "Out of memory"}, false);
         Connect(addin, w, "Kworrendival.Connect");
       }},
      {"the units dialog",
       [](sim::World& w, IDTExtensibility2& addin) {
         Connect(addin, w, "Kworrendival.Connect");
         connectors::testing::ToolbarControl(w, "ButSettings").UserClick();
       }},
      {"the About box",
       [](sim::World& w, IDTExtensibility2& addin) {
         Connect(addin, w, "Kworrendival.Connect");
         connectors::testing::ToolbarControl(w, "ButAbout").UserClick();
       }},
  };
  for (const Modal& m : modals) {
    for (bool shut_down : {true, false}) {
      SCOPED_TRACE(std::string(m.name) +
                   (shut_down ? ", host shut down" : ", add-in switched off"));
      HostWindow host("PowerPoint");
      sim::World world(sim::HostKind::PowerPoint);
      auto addin = CreateAddin(L"Kworrendival.Connect");
      ASSERT_TRUE(addin);
      IDTExtensibility2* raw = addin.get();
      {
        ModalWatch watch([&](HWND shown) {
          EXPECT_EQ(GetWindow(shown, GW_OWNER), host.hwnd());
          EXPECT_FALSE(IsWindowEnabled(host.hwnd()));
          if (shut_down) addin->OnBeginShutdown(nullptr);
          addin->OnDisconnection(shut_down ? ext_dm_HostShutdown : ext_dm_UserClosed, nullptr);
          addin.Reset();  // the host's last reference
          if (shut_down) world.Close();
          world.Record(true);
        });
        // The host holds the add-in while it calls it, as a caller does.
        ComPtr<IDTExtensibility2> during_call(raw);
        m.open(world, *during_call.get());
        EXPECT_EQ(watch.seen(), 1);
      }
      EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
      EXPECT_TRUE(world.NoHostCallRecorded()) << world.recorded().front().member;
      world.Record(false);
      addin.Reset();
      EXPECT_EQ(world.TotalExternalRefs(), 0);
    }
  }
}

// A message box raised while one of our dialogs is up is owned by that
// dialog, even while another window of the host's thread is the active one
// (a floating palette, say).
TEST_F(OfficeFaithful, AMessageBoxUnderOurDialogIsOwnedByIt) {
  HostWindow host("PowerPoint");
  host.FinishStartup();
  sim::World world(sim::HostKind::PowerPoint);
  auto addin = CreateAddin(L"Kworrendival.Connect");
  ASSERT_TRUE(addin);
  ASSERT_EQ(Connect(*addin.get(), world, "Kworrendival.Connect"), S_OK);
  HWND about = nullptr, palette = nullptr, box_owner = nullptr;
  {
    ModalWatch watch([&](HWND shown) {
      if (about) {
        box_owner = GetWindow(shown, GW_OWNER);
        return;
      }
      about = shown;
      palette = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"Palette", WS_POPUP | WS_VISIBLE, 0,
                                0, 100, 100, nullptr, nullptr, nullptr, nullptr);
      SetActiveWindow(palette);
      // A width typed with nothing selected: PowerPoint's refusal in a box.
      connectors::testing::ToolbarControl(world, "TxWidth").UserType("2");
    });
    connectors::testing::ToolbarControl(world, "ButAbout").UserClick();
    EXPECT_EQ(watch.seen(), 2);
  }
  EXPECT_TRUE(about);
  EXPECT_EQ(box_owner, about);
  DestroyWindow(palette);
  addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
}

// Keys as the user presses them: real key messages, posted to the focused
// control, through the dialog's own modal loop and IsDialogMessage.
void PressKeys(std::initializer_list<WPARAM> keys) {
  for (WPARAM key : keys) {
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  }
}

// PowerPoint's window and objects, with the add-in connected at startup.
struct ConnectedPowerPoint {
  ConnectedPowerPoint() {
    if (addin) connection = Connect(*addin.get(), world, "Kworrendival.Connect");
  }
  HostWindow host{"PowerPoint"};
  sim::World world{sim::HostKind::PowerPoint};
  ComPtr<IDTExtensibility2> addin = CreateAddin(L"Kworrendival.Connect");
  HRESULT connection = E_FAIL;
};

BOOL CALLBACK CollectFontFace(HWND control, LPARAM faces) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  if (!handle || !GetObjectW(handle, sizeof font, &font)) font.lfFaceName[0] = L'\0';
  reinterpret_cast<std::vector<std::wstring>*>(faces)->push_back(font.lfFaceName);
  return TRUE;
}

// The units dialog's controls are drawn in the dialog font, as Windows' own
// dialogs are, not in the system font a control starts with.
TEST_F(OfficeFaithful, TheUnitsDialogsControlsUseTheDialogFont) {
  ConnectedPowerPoint p;
  ASSERT_EQ(p.connection, S_OK);
  std::vector<std::wstring> faces;
  {
    ModalWatch watch([&](HWND shown) {
      EnumChildWindows(shown, CollectFontFace, reinterpret_cast<LPARAM>(&faces));
    });
    connectors::testing::ToolbarControl(p.world, "ButSettings").UserClick();
    EXPECT_EQ(watch.seen(), 1);
  }
  EXPECT_EQ(faces.size(), 8u);  // OK, Cancel, the frame and its five options
  for (const std::wstring& face : faces) EXPECT_EQ(face, L"MS Shell Dlg");
  p.addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
}

TEST_F(OfficeFaithful, EnterInTheUnitsDialogChoosesTheFocusedButtonAndNothingElse) {
  ConnectedPowerPoint p;
  ASSERT_EQ(p.connection, S_OK);
  struct Case {
    const char* keys_pressed;
    std::initializer_list<WPARAM> keys;
    bool hidden_by_a_button;  // else still up after the keys, closed by its close command
  };
  const Case cases[] = {
      {"Enter as the dialog opens (OK has the focus)", {VK_RETURN}, true},
      {"Tab, Enter (Cancel)", {VK_TAB, VK_RETURN}, true},
      {"Tab, Tab, Enter (an option button)", {VK_TAB, VK_TAB, VK_RETURN}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys_pressed);
    HWND dialog = nullptr;
    {
      ModalWatch watch(
          [&](HWND shown) {
            dialog = shown;
            PressKeys(c.keys);
            // After the keys: a dialog still up is closed, so the test ends.
            PostMessageW(shown, WM_SYSCOMMAND, SC_CLOSE, 0);
          },
          /*close_after=*/false);
      connectors::testing::ToolbarControl(p.world, "ButSettings").UserClick();
      EXPECT_EQ(watch.seen(), 1);
    }
    // A button hides the dialog and keeps it loaded; the close command
    // unloads it. The close command left in the queue must not reach it.
    ASSERT_TRUE(dialog);
    if (c.hidden_by_a_button) {
      EXPECT_TRUE(IsWindow(dialog));
      EXPECT_FALSE(IsWindowVisible(dialog));
    } else {
      EXPECT_FALSE(IsWindow(dialog));
    }
    if (IsWindow(dialog)) {
      // The close command posted after the keys is still queued: take it
      // away before a later loop would unload the hidden dialog with it.
      MSG msg;
      while (PeekMessageW(&msg, dialog, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) {
      }
    }
  }
  p.addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
  p.addin.Reset();
  EXPECT_EQ(p.world.TotalExternalRefs(), 0);
}

BOOL CALLBACK SendEveryWindowAMessage(HWND hwnd, LPARAM) {
  SendMessageW(hwnd, WM_NULL, 0, 0);
  SendMessageW(hwnd, WM_SETTINGCHANGE, 0, 0);
  return TRUE;
}

// Office frees an add-in's library when DllCanUnloadNow agrees; a window
// of the add-in left behind (the hidden units dialog, kept for its next
// showing) would crash the host at its next message.
TEST_F(OfficeFaithful, TheLibraryIsNeverFreedUnderOneOfItsWindows) {
  HostWindow host("PowerPoint");
  sim::World world(sim::HostKind::PowerPoint);
  HWND dialog = nullptr;
  {
    auto addin = CreateAddin(L"Kworrendival.Connect");
    ASSERT_TRUE(addin);
    ASSERT_EQ(Connect(*addin.get(), world, "Kworrendival.Connect"), S_OK);
    {
      // OK hides the dialog, which stays loaded for the next use.
      ModalWatch watch([&](HWND shown) { dialog = shown, PressKeys({VK_RETURN}); },
                       /*close_after=*/false);
      connectors::testing::ToolbarControl(world, "ButSettings").UserClick();
    }
    addin->OnBeginShutdown(nullptr);
    addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
  }
  HMODULE library = GetModuleHandleW(L"frambolist.dll");
  ASSERT_TRUE(library);
  using CanUnload = HRESULT(STDAPICALLTYPE*)();
  auto can_unload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllCanUnloadNow")));
  // A caller's lock on the server holds the library with no object alive.
  {
    CLSID clsid;
    ComPtr<IClassFactory> factory = ClassFactoryOf(L"Kworrendival.Connect", clsid);
    ASSERT_TRUE(factory);
    factory->LockServer(TRUE);
    factory.Reset();
    EXPECT_EQ(can_unload(), S_FALSE) << "locked";
    factory = ClassFactoryOf(L"Kworrendival.Connect", clsid);
    ASSERT_TRUE(factory);
    factory->LockServer(FALSE);
  }
  // Asked from another thread, which cannot destroy this thread's window,
  // the library must refuse: freed, its dialog's next message would crash.
  struct Asked {
    CanUnload can_unload;
    HRESULT answer = S_OK;
    static DWORD WINAPI Ask(void* asked) {
      auto& a = *static_cast<Asked*>(asked);
      a.answer = a.can_unload();
      return 0;
    }
  } from_another_thread{can_unload};
  HANDLE other = CreateThread(nullptr, 0, &Asked::Ask, &from_another_thread, 0, nullptr);
  ASSERT_TRUE(other);
  WaitForSingleObject(other, INFINITE);
  CloseHandle(other);
  EXPECT_EQ(from_another_thread.answer, S_FALSE);
  EXPECT_TRUE(IsWindow(dialog));
  // On the dialog's own thread, the window goes first, then the library.
  CoFreeUnusedLibrariesEx(0, 0);
  // Every top-level window of the thread gets a message: none may lead
  // into a library that is gone.
  EnumThreadWindows(GetCurrentThreadId(), &SendEveryWindowAMessage, 0);
  EXPECT_FALSE(IsWindow(dialog)) << "the library was freed under its dialog";
  EXPECT_FALSE(GetModuleHandleW(L"frambolist.dll")) << "nothing held the library";
  EXPECT_EQ(world.TotalExternalRefs(), 0);
}

// The connection interface called out of order answers as COM does:
// connected once only, never without an Application, and a disconnection
// of an object never connected does nothing.
TEST_F(OfficeFaithful, TheConnectionInterfaceCalledOutOfOrderRefusesAsComDoes) {
  sim::World world(sim::HostKind::PowerPoint);
  {
    auto never = CreateAddin(L"Kworrendival.Connect");
    ASSERT_TRUE(never);
    EXPECT_EQ(never->OnDisconnection(ext_dm_UserClosed, nullptr), S_OK);
    auto instance = ServerBridge().ToDispatch(sim::MakeAddInInstance(world, "x")->Ref());
    EXPECT_EQ(never->OnConnection(nullptr, ext_cm_Startup, instance.get(), nullptr), E_POINTER);

    auto addin = CreateAddin(L"Kworrendival.Connect");
    ASSERT_EQ(Connect(*addin.get(), world, "Kworrendival.Connect"), S_OK);
    EXPECT_EQ(Connect(*addin.get(), world, "Kworrendival.Connect"), E_UNEXPECTED);
    EXPECT_EQ(world.bars().size(), 1u);
    EXPECT_EQ(addin->OnDisconnection(ext_dm_UserClosed, nullptr), S_OK);
    EXPECT_EQ(Connect(*addin.get(), world, "Kworrendival.Connect"), E_UNEXPECTED);
    EXPECT_TRUE(world.bars().empty());
  }
  EXPECT_EQ(world.TotalExternalRefs(), 0);
}

// Office 2007 and later: the add-in answers IRibbonExtensibility, gives its
// XML for its own host's ribbon id only, and its IDispatch finds every
// callback that the XML names; a callback answers S_OK whatever it met.
TEST_F(OfficeFaithful, TheRibbonIsAskedForAndCalledBackAsOfficeDoes) {
  sim::World world(sim::HostKind::Excel, 16);
  auto addin = CreateAddin(L"Kworrendival.ConnectXl");
  ASSERT_TRUE(addin);
  auto ribbon = addin.Query<IRibbonExtensibility>();
  ASSERT_TRUE(ribbon);
  ASSERT_EQ(Connect(*addin.get(), world, "Kworrendival.ConnectXl"), S_OK);
  EXPECT_TRUE(world.bars().empty());

  auto custom_ui = [&](const wchar_t* id) {
    Bstr xml;
    EXPECT_EQ(ribbon->GetCustomUI(Bstr(id).get(), xml.Receive()), S_OK);
    return xml.Utf8();
  };
  const std::string xml = custom_ui(L"Microsoft.Excel.Workbook");
  EXPECT_NE(xml.find("<group id=\"Kworrendival\" label=\"Kworrendival\">"), std::string::npos);
  EXPECT_EQ(custom_ui(L"Microsoft.Excel.Chart"), "");
  EXPECT_EQ(custom_ui(L"Microsoft.Word.Document"), "");
  EXPECT_EQ(ribbon->GetCustomUI(nullptr, nullptr), E_POINTER);

  // Every callback the XML names is found, case aside, through the
  // interface Office holds; nothing else is.
  auto dispid_of = [&](const std::wstring& name, DISPID& id) {
    std::wstring copy = name;
    LPOLESTR names[] = {copy.data()};
    return ribbon->GetIDsOfNames(IID_NULL, names, 1, 1033, &id);
  };
  for (size_t at = xml.find("=\"Ribbon_"); at != std::string::npos;
       at = xml.find("=\"Ribbon_", at + 1)) {
    const std::string name = xml.substr(at + 2, xml.find('"', at + 2) - at - 2);
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(dispid_of(Widen(name), id), S_OK) << name;
  }
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(dispid_of(L"ribbon_gettext", id), S_OK);
  EXPECT_EQ(dispid_of(L"Ribbon_Nowhere", id), DISP_E_UNKNOWNNAME);

  // getText with a control whose Id cannot be read: S_OK and nothing more.
  ASSERT_EQ(dispid_of(L"Ribbon_GetText", id), S_OK);
  {
    Variant control;
    V_VT(control.ptr()) = VT_DISPATCH;
    V_DISPATCH(control.ptr()) =
        ServerBridge().ToDispatch(sim::MakeAddInInstance(world, "x")->Ref()).Detach();
    DISPPARAMS params{control.ptr(), nullptr, 1, 0};
    Variant result;
    EXPECT_EQ(ribbon->Invoke(id, IID_NULL, 1033, DISPATCH_METHOD, &params, result.ptr(), nullptr,
                             nullptr),
              S_OK);
    EXPECT_EQ(V_VT(result.ptr()), VT_EMPTY);
  }
  addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
  ribbon = {};
  addin = {};
  EXPECT_EQ(world.TotalExternalRefs(), 0);
}

}  // namespace
}  // namespace frambolist::win
