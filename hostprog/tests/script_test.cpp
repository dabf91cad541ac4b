// The host program's script language: what a script that cannot go on
// reports, and how words and lines are read.

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <sstream>
#include <string_view>

#include "connectors/testing/toolbar_control.h"
#include "hostprog/command_line.h"
#include "hostprog/testing/run_script.h"
#include "sim/command_bars.h"

namespace frambolist::hostprog {
namespace {

using testing::RunScript;

struct ErrorRow {
  const char* script;
  const char* error;
};
// In ctest's lines: the error the row expects, not its pointers' bytes.
void PrintTo(const ErrorRow& row, std::ostream* out) {
  std::string_view error = row.error;
  if (!error.empty() && error.back() == '\n') error.remove_suffix(1);
  *out << '"' << error << '"';
}
const ErrorRow kErrors[] = {
    {"frobnicate\n", "script error, line 1: unknown command: \"frobnicate\"\n"},
    {"start notepad\n", "script error, line 1: no such host: notepad\n"},
    {R"~(
# comment
start word
select Nope
)~",
     "script error, line 4: no shape named Nope\n"},
    {R"~(start word
start word
)~",
     "script error, line 2: one host per run\n"},
    {R"~(start excel
add P 1 1 inline
)~",
     "script error, line 2: in-line pictures exist in Word only\n"},
    {R"~(start excel
click OKButton
)~",
     "script error, line 2: no toolbar control named OKButton\n"},
    {R"~(start excel
click ButAbout
click Nobody
)~",
     "script error, line 3: frmSplash has no control Nobody\n"},
    {R"~(start excel
click ButSettings
type TxWidth 3
)~",
     "script error, line 3: 'type' cannot be used while frmOptions is shown\n"},
    {R"~(start excel
click ButSettings
)~",
     "script error, line 2: the script ended while frmOptions is shown\n"},
    {R"~(start excel
key a
)~",
     "script error, line 2: no dialog is shown\n"},
    {R"~(start excel
type TxWidth "unterminated
)~",
     "script error, line 2: unterminated quoted word\n"},
    {R"~(start excel
print TxWidth.FaceId
)~",
     "script error, line 2: no such thing to print: TxWidth.FaceId\n"},
    // Groups (PowerPoint and Word).
    {R"~(start excel
add A 1 1
group G A
)~",
     "script error, line 3: groups are PowerPoint's and Word's only\n"},
    {R"~(start word
add A 1 1
add B 1 1
group G A B
select A
)~",
     "script error, line 5: A is in the group G: select G/A\n"},
    {R"~(start powerpoint
add A 1 1
add B 1 1
group G A
select G/B
)~",
     "script error, line 5: B is not in the group G\n"},
    // The ribbon's words (Office 2007 and later).
    {"start word 13\n",
     "script error, line 1: no such Office version: 13 (11, 12, 14, 15 or 16)\n"},
    {R"~(start word
window new
)~",
     "script error, line 2: one window per host before Office 2007 (start the host with 12 or "
     "later)\n"},
    {R"~(start word 16
window 2
)~",
     "script error, line 2: no window 2 (there are 1)\n"},
    {R"~(start word 16
print ButAspect.Text
)~",
     "script error, line 2: no such thing to print: ButAspect.Text\n"},
    {R"~(start word 16
print ButAspect.Enabled
)~",
     "script error, line 2: no such thing to print: ButAspect.Enabled\n"},
    {R"~(start powerpoint 16
set TxWidth.Text 3
)~",
     "script error, line 2: no macro can write a ribbon control: TxWidth\n"},
    {R"~(start excel 15
click ButAbout
click ButAspect
)~",
     "script error, line 3: ButAspect is on the ribbon, which no macro can click (frmSplash is "
     "shown)\n"},
    {R"~(start excel
print ribbon
)~",
     "script error, line 2: there is no ribbon of an add-in\n"},
    {"select A\n", "script error, line 1: no host is running (start one first)\n"},
    {"fail Height x\n", "script error, line 1: not a whole number: \"x\"\n"},
    {"fail Height 99999999999\n",
     "script error, line 1: out of range for a 32-bit number: \"99999999999\"\n"},
    {R"~(start excel
click ButSettings
click Option1()
)~",
     "script error, line 3: not a whole number: \"\"\n"},
    {"\"\"\n", "script error, line 1: unknown command: \"\"\n"},
    {"locale \"\" ,\n", "script error, line 1: the decimal separator cannot be empty\n"},
    {"locale . abcd\n",
     "script error, line 1: the group separator is longer than 3 characters: \"abcd\"\n"},
    {R"~(start word
quit
frobnicate
)~",
     "script error, line 3: the host has quit: nothing can follow 'quit'\n"},
    {R"~(start word
add A nan 10
)~",
     "script error, line 2: not a finite number: \"nan\"\n"},
    {R"~(start word
add A 10 inf
)~",
     "script error, line 2: not a finite number: \"inf\"\n"},
    {R"~(fail Add 5
start excel
click ButAbout
)~",
     "script error, line 3: there is no toolbar\n"},
    {"locale \xE2\x80 ,\n",
     "script error, line 1: the decimal separator is not valid UTF-8 text\n"},
    {"locale . \xC0\xAE\n", "script error, line 1: the group separator is not valid UTF-8 text\n"},
};

class ScriptErrors : public ::testing::TestWithParam<ErrorRow> {};
TEST_P(ScriptErrors, NameTheLineAndEndTheRunWithStatus2) {
  auto run = RunScript(GetParam().script);
  EXPECT_EQ(run.status, 2) << GetParam().script;
  EXPECT_EQ(run.err, GetParam().error) << GetParam().script;
}
INSTANTIATE_TEST_SUITE_P(HostProgram, ScriptErrors, ::testing::ValuesIn(kErrors),
                         [](const auto& row) {
                           // "script error, line 2: no dialog is shown" is NoDialogIsShown (and its
                           // row).
                           const std::string_view error = row.param.error;
                           const size_t what = error.find(": ");
                           return testing::TestNameOf(error.substr(what + 2)) + "Row" +
                                  std::to_string(row.index);
                         });

TEST(HostProgram, ReadsWordsAndLinesAsWindowsEditorsWriteThem) {
  // A byte-order mark, as editors on Windows write it, is no part of the
  // first command.
  EXPECT_EQ(RunScript("\xEF\xBB\xBFstart word\nprint CurrentUnit\n").out,
            "CurrentUnit = \"Inch\"\n");
  // Quoted words keep their blanks and escaped quotes.
  auto run = RunScript("start word\ntype TxRotate \"a \\\"b\\\" c\"\nprint TxRotate.Text\n");
  EXPECT_EQ(run.out, "TxRotate.Text = \"a \\\"b\\\" c\"\n");
}

// A script and piped input end at the first mistyped line; a person at the
// prompt gets the error and the prompt back, as in a shell.
TEST(HostProgram, AtThePromptAMistypedLineIsReportedAndTheSessionGoesOn) {
  testing::StartAsAFreshProcess();
  std::ostringstream out, err;
  std::istringstream in(
      R"~(frobnicate
start word
"unterminated
click ButSettings
click Nobody
click OKButton
print CurrentUnit
)~");
  Session session(out, [](platform::Platform& p) { return MakeNativeLoader(p); });
  ScriptReader prompted(in, "> ");
  EXPECT_EQ(session.Run(prompted, err), 0);
  EXPECT_EQ(err.str(),
            R"~(script error, line 1: unknown command: "frobnicate"
script error, line 3: unterminated quoted word
script error, line 5: frmOptions has no control Nobody
)~");
  EXPECT_EQ(out.str(), R"~(show frmOptions
hide frmOptions
CurrentUnit = "Inch"
)~");
}

// The host lists an add-in before it connects it, as Office does: a quit or
// a switch-off given while the connection's message is up reaches the add-in
// being connected, which then stops at that message.
TEST(HostProgram, HostCommandsInsideTheConnectionsMessageReachTheAddinBeingConnected) {
  for (const char* command : {"quit", "connect"}) {
    SCOPED_TRACE(command);
    testing::StartAsAFreshProcess();
    std::ostringstream out, err;
    std::istringstream in(R"~(fail Add 5 "Refused"
start powerpoint
)~");
    Session session(out, [](platform::Platform& p) { return MakeNativeLoader(p); });
    bool given = false;
    session.OnMessageBox([&](Session& s) {
      if (!std::exchange(given, true)) s.RunLine(command);
    });
    ScriptReader script(in, "");
    EXPECT_EQ(session.Run(script, err, /*keep_running=*/true), 0) << err.str();
    // One message: the connection that showed it went no further.
    EXPECT_EQ(out.str(), "message: Refused\n");
    EXPECT_EQ(session.connected_addins(), std::string(command) == "quit" ? 0u : 1u);
    if (std::string(command) == "connect") {
      // The new connection built the one toolbar.
      EXPECT_EQ(session.world()->bars().size(), 1u);
      EXPECT_EQ(session.world()->bars().front()->controls.size(),
                connectors::testing::ToolbarControls());
    }
  }
}

TEST(HostProgram, ADirectoryIsNoScript) {
  std::string directory = std::filesystem::temp_directory_path().string();
  char program[] = "frambolist-sim";
  char* argv[] = {program, directory.data()};
  std::ifstream file;
  EXPECT_EQ(OpenScript(2, argv, file), nullptr);
}

}  // namespace
}  // namespace frambolist::hostprog
