// Selection tracking, size editing, the aspect toggle and rotation, driven as
// a user would through the host program; each case is a script and the lines
// it must print. The tables are data beside this file, one per behaviour
// (NAME.cases); the disabling rules, one row per host and number, are here.

#include <gtest/gtest.h>

#include "hostprog/testing/run_script.h"
#include "hostprog/testing/script_cases.h"

namespace frambolist::connectors {
namespace {

using hostprog::testing::RunScript;

using Case = hostprog::testing::ScriptCase;

void Check(const Case& c) {
  auto run = RunScript(c.script);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, c.expected);
  EXPECT_EQ(run.world().TotalExternalRefs(), 0);
}

// Each host's disabling rule with every host's numbers: Excel never changes
// Enabled; PowerPoint and Word only on their own numbers.
#define DISABLING_ROW(host, read, number, enabled)            \
  Case {                                                      \
    host " with " #number,                                    \
        "start " host "\nadd A 72 36\nfail " read " " #number \
        " always\nselect A\nprint TxWidth.Enabled\n",         \
        "TxWidth.Enabled = " enabled "\n"                     \
  }
const Case kDisablingRules[] = {
    DISABLING_ROW("powerpoint", "Name", -2147188160, "false"),
    DISABLING_ROW("powerpoint", "Name", 424, "true"),
    DISABLING_ROW("powerpoint", "Name", -2147024891, "true"),
    DISABLING_ROW("word", "Name", -2147188160, "true"),
    DISABLING_ROW("word", "Name", 424, "false"),
    DISABLING_ROW("word", "Name", -2147024891, "false"),
    DISABLING_ROW("excel", "Width", -2147188160, "true"),
    DISABLING_ROW("excel", "Width", 424, "true"),
    DISABLING_ROW("excel", "Width", -2147024891, "true"),
};
#undef DISABLING_ROW

// Each row runs, and reports, as a test of its own.
class ScriptRows : public ::testing::TestWithParam<Case> {};
TEST_P(ScriptRows, PrintExactlyWhatTheUserMustSee) { Check(GetParam()); }
std::string RowName(const ::testing::TestParamInfo<Case>& row) {
  return hostprog::testing::TestNameOf(row.param.name);
}
std::vector<Case> Table(const char* file) {
  return hostprog::testing::ReadScriptCases(FRAMBOLIST_SOURCE_DIR "/src/connectors/tests/" +
                                            std::string(file));
}
INSTANTIATE_TEST_SUITE_P(SelectionTracking, ScriptRows,
                         ::testing::ValuesIn(Table("selection_tracking.cases")), RowName);
INSTANTIATE_TEST_SUITE_P(SizeEditing, ScriptRows, ::testing::ValuesIn(Table("size_editing.cases")),
                         RowName);
INSTANTIATE_TEST_SUITE_P(DisablingRules, ScriptRows, ::testing::ValuesIn(kDisablingRules), RowName);
INSTANTIATE_TEST_SUITE_P(TolerantReads, ScriptRows,
                         ::testing::ValuesIn(Table("tolerant_reads.cases")), RowName);
INSTANTIATE_TEST_SUITE_P(AspectAndRotation, ScriptRows,
                         ::testing::ValuesIn(Table("aspect_and_rotation.cases")), RowName);

TEST(Geometry, ALongSessionLeaksNoHostObject) {
  std::string script = R"~(start word
add F 72 36
add P 50 50 inline
)~";
  for (int i = 0; i < 200; ++i) {
    script += i % 3 ? "select F P\n" : "select none\n";
    script += "type TxWidth " + std::to_string(i % 7) +
              R"~(
type TxHeight x
type TxRotate 5
click ButAspect
)~";
  }
  script += "quit\n";
  auto run = RunScript(script);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.world().TotalExternalRefs(), 0);
  EXPECT_EQ(run.world().double_releases(), 0);
}

}  // namespace
}  // namespace frambolist::connectors
