// libFuzzer: random sessions against the simulated hosts (selections, typed
// texts, clicks, dialog actions, injected faults). After every command: no
// non-finite or negative length was written, the boxes hold a shown value or
// the user's own text, and the aspect icon is 2308 or 2309.

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "connectors/toolbar_layout.h"
#include "hostprog/session.h"
#include "hostprog/testing/run_script.h"
#include "hostprog/testing/toolbar_invariants.h"

using namespace frambolist;

namespace {

const char* kTexts[] = {"2",    "0",    "-3",  "1e39", "1e37",    "abc",
                        "\"\"", "12.5", "1,5", "-1",   "4.00005", "0.0001"};
// The toolbar's edit boxes, from its table.
const std::vector<std::string>& Boxes() {
  static const std::vector<std::string> boxes = [] {
    std::vector<std::string> out;
    for (const auto& control : frambolist::connectors::ToolbarLayout()) {
      if (control.event == "Change") out.emplace_back(control.field);
    }
    return out;
  }();
  return boxes;
}
const char* kMembers[] = {"ShapeRange", "Width",           "Height",      "Text",         "FaceId",
                          "Caption",    "LockAspectRatio", "Rotation",    "InlineShapes", "Item",
                          "Name",       "Enabled",         "ActiveWindow"};
const char* kNumbers[] = {"-2147188160", "424", "-2147024891", "4198", "5941", "438", "5"};

// Each byte pair becomes one command.
std::vector<std::string> Commands(const uint8_t* data, size_t size, bool word) {
  std::vector<std::string> out;
  for (size_t i = 0; i + 1 < size; i += 2) {
    const uint8_t a = data[i], b = data[i + 1];
    switch (a % 9) {
      case 0:
        out.push_back(b % 4 == 0   ? "select none"
                      : b % 4 == 1 ? "select A"
                      : b % 4 == 2 ? "select A B"
                                   : (word ? "select P" : "select B"));
        break;
      case 1:
      case 2:
        out.push_back("type " + Boxes()[b % Boxes().size()] + " " +
                      kTexts[(b / 3) % std::size(kTexts)]);
        break;
      case 3:
        out.push_back("click ButAspect");
        break;
      case 4:
        out.push_back("click ButSettings\nclick Option1(" + std::to_string(b % 5) + ")\n" +
                      (b & 0x40   ? "click CancelButton"
                       : b & 0x20 ? "close"
                                  : "click OKButton"));
        break;
      case 5:
        out.push_back("click ButAbout\n" +
                      std::string(b & 1 ? "click Label2\nkey x" : "click Frame1"));
        break;
      case 6:
        out.push_back(std::string("fail ") + kMembers[b % std::size(kMembers)] + " " +
                      kNumbers[(b / 16) % 7] + (b & 0x80 ? " \"x\" always" : ""));
        break;
      case 7:
        out.push_back("heal");
        break;
      case 8:
        out.push_back(b & 1 ? "locale , ." : "locale . ,");
        break;
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const char* kHosts[] = {"powerpoint", "excel", "word"};
  const char* host = kHosts[data[0] % 3];
  const bool word = data[0] % 3 == 2;
  hostprog::testing::StartAsAFreshProcess();

  std::ostringstream out;
  hostprog::Session session(out,
                            [](platform::Platform& p) { return hostprog::MakeNativeLoader(p); });
  std::vector<std::string> typed;
  platform::NumberFormat format;
  auto run = [&](const std::string& text) {
    std::istringstream in(text + "\n");
    hostprog::ScriptReader reader(in, "");
    std::ostringstream err;
    out.str("");
    if (session.Run(reader, err, true) != 0) std::abort();  // every generated command is valid
    if (session.world() &&
        !hostprog::testing::ToolbarProblems(
             *session.world(), out.str(), typed,
             {format, platform::NumberFormat{".", ","}, platform::NumberFormat{",", "."}})
             .empty()) {
      std::abort();
    }
  };
  run(std::string("start ") + host + "\nadd A 144 72 30\nadd B 10 20\n" +
      (word ? "add P 50 40 inline\n" : "") + "trace on");
  for (const std::string& command : Commands(data + 1, size - 1, word)) {
    if (command.rfind("type ", 0) == 0) {
      std::string text = command.substr(command.rfind(' ') + 1);
      typed.push_back(text == "\"\"" ? "" : text);  // as the box holds it
    }
    if (command.rfind("locale ", 0) == 0)
      format = command[7] == ',' ? platform::NumberFormat{",", "."} : platform::NumberFormat{};
    run(command);
  }
  run("heal\nquit");
  if (session.world()->TotalExternalRefs() != 0) std::abort();  // a leaked host object
  return 0;
}
