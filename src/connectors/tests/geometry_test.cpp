// Selection tracking, size editing, the aspect toggle and rotation, driven as
// a user would through the host program; each case is a script and the lines
// it must print.

#include <gtest/gtest.h>

#include "hostprog/testing/run_script.h"

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

const Case kSelection[] = {
    {"PowerPoint shows and enables, in the display unit",
     "start powerpoint\nadd A 72 36 45.5\nselect A\nprint TxWidth.Text\nprint TxHeight.Text\n"
     "print TxRotate.Text\nprint TxRotate.Enabled\n",
     "TxWidth.Text = \"1\"\nTxHeight.Text = \"0.5\"\nTxRotate.Text = \"45.5\"\nTxRotate.Enabled = "
     "true\n"},
    {"PowerPoint disables on 'nothing selected' and keeps the text",
     "start powerpoint\nadd A 72 36\nselect A\nselect none\nprint TxWidth.Text\nprint "
     "TxWidth.Enabled\n"
     "print TxRotate.Enabled\n",
     "TxWidth.Text = \"1\"\nTxWidth.Enabled = false\nTxRotate.Enabled = false\n"},
    {"PowerPoint: any other number changes nothing, Enabled included",
     "start powerpoint\nadd A 72 36\nadd B 144 144\nselect A\nselect none\nfail Name 424 always\nselect "
     "B\n"
     "print TxWidth.Text\nprint TxWidth.Enabled\n",
     "TxWidth.Text = \"1\"\nTxWidth.Enabled = false\n"},
    {"a failure half-way leaves the mixture of old and new text",
     "start powerpoint\nadd A 72 36 10\nadd B 144 144 20\nselect A\nfail Height 5 always\nselect B\n"
     "print TxWidth.Text\nprint TxHeight.Text\nprint TxRotate.Text\n",
     "TxWidth.Text = \"2\"\nTxHeight.Text = \"0.5\"\nTxRotate.Text = \"10\"\n"},
    {"PowerPoint: a shape resized and rotated with the mouse is shown at the next update",
     "start powerpoint\nadd A 72 36\nselect A\nresize A 144 72\nrotate A 30\n"
     "print TxWidth.Text\nprint TxHeight.Text\nprint TxRotate.Text\n",
     "TxWidth.Text = \"2\"\nTxHeight.Text = \"1\"\nTxRotate.Text = \"30\"\n"},
    {"Excel: the same, and each sheet's same-named shape shows its own size",
     "start excel\nadd A 72 36\nselect A\nresize A 144 72\nrotate A 30\nprint TxWidth.Text\n"
     "print TxRotate.Text\nactivate Sheet2\nadd A 216 72\nselect A\nprint TxWidth.Text\n"
     "activate Sheet1\nprint TxWidth.Text\n",
     "TxWidth.Text = \"2\"\nTxRotate.Text = \"30\"\nTxWidth.Text = \"3\"\nTxWidth.Text = "
     "\"2\"\n"},
    {"Word: the same (its rotation follows only with an in-line picture selected)",
     "start word\nadd A 72 36\nadd P 72 72 inline\nselect A\nresize A 144 72\nrotate A 30\n"
     "print TxWidth.Text\nprint TxRotate.Text\nselect A P\nresize P 216 72\nrotate A 45\n"
     "print TxWidth.Text\nprint TxRotate.Text\n",
     "TxWidth.Text = \"2\"\nTxRotate.Text = \"0\"\nTxWidth.Text = \"3\"\nTxRotate.Text = "
     "\"45\"\n"},
    {"PowerPoint names only a single shape, so several shapes disable the boxes",
     "start powerpoint\nadd A 72 36\nadd B 144 144\nselect A\nselect A B\nprint TxWidth.Enabled\n"
     "print TxWidth.Text\ntype TxWidth 3\nprint A.Width\n",
     "TxWidth.Enabled = false\nTxWidth.Text = \"1\"\nA.Width = 72\n"},
    {"Word disables on 424 (insertion point in text)",
     "start word\nadd A 72 36\nselect A\nselect none\nprint TxWidth.Enabled\nprint TxWidth.Text\n",
     "TxWidth.Enabled = false\nTxWidth.Text = \"1\"\n"},
    {"Word disables on access denied, not on other numbers",
     "start word\nadd A 72 36\nfail Name -2147024891 always\nselect A\nprint TxHeight.Enabled\n"
     "heal\nselect A\nfail Name 4198 always\nselect A\nprint TxHeight.Enabled\n",
     "TxHeight.Enabled = false\nTxHeight.Enabled = true\n"},
    {"Word with a floating shape only keeps the old rotation text",
     "start word\nadd A 72 36 30\nadd B 144 72 60\nselect A\nselect B\nprint TxWidth.Text\n"
     "print TxHeight.Text\nprint TxRotate.Text\nprint TxRotate.Enabled\n",
     "TxWidth.Text = \"2\"\nTxHeight.Text = \"1\"\nTxRotate.Text = \"0\"\nTxRotate.Enabled = "
     "true\n"},
    {"Word: an in-line picture's size replaces the range's; rotation from the range",
     "start word\nadd F 72 36 30\nadd P 144 108 inline\nselect F P\nprint TxWidth.Text\n"
     "print TxHeight.Text\nprint TxRotate.Text\n",
     "TxWidth.Text = \"2\"\nTxHeight.Text = \"1.5\"\nTxRotate.Text = \"30\"\n"},
    {"Excel reads the active window's selection and never disables",
     "start excel\nadd A 72 36 90\nselect A\nprint TxWidth.Text\nprint TxRotate.Text\nselect none\n"
     "print TxWidth.Text\nprint TxWidth.Enabled\n",
     "TxWidth.Text = \"1\"\nTxRotate.Text = \"90\"\nTxWidth.Text = \"1\"\nTxWidth.Enabled = "
     "true\n"},
    {"boxes show the new unit at the update that follows the dialog",
     "start powerpoint\nadd A 72 72\nselect A\nclick ButSettings\nclick Option1(2)\nclick "
     "OKButton\n"
     "print TxWidth.Text\nprint LblWidth.Caption\n",
     "show frmOptions\nhide frmOptions\nTxWidth.Text = \"25.3968\"\n"
     "LblWidth.Caption = \"Width (mm)\"\n"},
};

const Case kSizeEditing[] = {
    {"lock on: the lock and the typed dimension only, the host scales the other",
     "start powerpoint\nadd A 144 72\nselect A\ntrace on\ntype TxHeight 2\nprint "
     "TxWidth.Text\nprint A.Width\n",
     "write ShapeRange.LockAspectRatio = true\nwrite ShapeRange.Height = 144\nTxWidth.Text = "
     "\"4\"\n"
     "A.Width = 288\n"},
    {"lock off: the lock and the typed dimension only",
     "start powerpoint\nadd A 144 72\nselect A\nclick ButAspect\ntrace on\ntype TxHeight 2\n"
     "print TxWidth.Text\nprint A.Width\n",
     "write ShapeRange.LockAspectRatio = false\nwrite ShapeRange.Height = 144\n"
     "TxWidth.Text = \"2\"\nA.Width = 144\n"},
    {"lock off, several shapes of different sizes: each keeps its own other dimension",
     "start excel\nadd A 144 72\nadd B 72 36\nselect A B\nclick ButAspect\ntype TxWidth 3\n"
     "print A.Width\nprint A.Height\nprint B.Width\nprint B.Height\n",
     "A.Width = 216\nA.Height = 72\nB.Width = 216\nB.Height = 36\n"},
    {"lock off in Word, an in-line picture: only the typed dimension",
     "start word\nadd P 200 100 inline\nselect P\nclick ButAspect\ntrace on\ntype TxWidth 4\n"
     "print P.Height\n",
     "write ShapeRange.LockAspectRatio = false\nwrite InlineShape.LockAspectRatio = false\n"
     "write InlineShape.Width = 288\nP.Height = 100\n"},
    {"the other box shows a shown value in the display unit",
     "start excel\nadd A 72 72\nselect A\nclick ButSettings\nclick Option1(2)\nclick OKButton\n"
     "type TxHeight 25.3968\nprint TxWidth.Text\nprint TxHeight.Text\n",
     "show frmOptions\nhide frmOptions\nTxWidth.Text = \"25.3968\"\nTxHeight.Text = \"25.3968\"\n"},
    {"empty and non-numeric text turn into 0 and resize nothing",
     "start powerpoint\nadd A 144 72\nselect A\ntrace on\ntype TxHeight \"\"\ntype TxWidth abc\n"
     "print TxHeight.Text\nprint TxWidth.Text\nprint A.Width\n",
     "TxHeight.Text = \"0\"\nTxWidth.Text = \"0\"\nA.Width = 144\n"},
    {"the user's decimal separator",
     "locale , .\nstart word\nadd A 144 72\nselect A\ntype TxWidth 1,5\nprint A.Width\nprint "
     "TxHeight.Text\n",
     "A.Width = 108\nTxHeight.Text = \"0,75\"\n"},
    {"a refused size shows the host's message, then the other box is refreshed",
     "start powerpoint\nadd A 144 72\nselect A\nclick ButAspect\ntype TxHeight -3\nprint "
     "TxWidth.Text\n",
     "message: The specified value is out of range.\nTxWidth.Text = \"2\"\n"},
    {"no shape selected: height edit stops at its first read, width edit with lock on "
     "reaches the host first",
     "start powerpoint\ntrace on\ntype TxHeight 2\nset TxWidth.Enabled true\ntype TxWidth 2\n",
     "message: Selection (unknown member) : Invalid request.  Nothing appropriate is currently "
     "selected.\n"},
    {"several shapes: the range is written whole",
     "start excel\nadd A 144 72\nadd B 72 72\nselect A B\ntype TxWidth 4\nprint "
     "A.Height\nprint B.Height\n"
     "print TxHeight.Text\n",
     "A.Height = 144\nB.Height = 288\nTxHeight.Text = \"2\"\n"},
    {"Word in-line picture, lock on: height worked out by the add-in, then the width",
     "start word\nadd P 200 100 inline\nselect P\ntrace on\ntype TxWidth 4\nprint P.Height\nprint "
     "TxHeight.Text\n",
     "write ShapeRange.LockAspectRatio = true\nwrite InlineShape.LockAspectRatio = true\n"
     "write InlineShape.Height = 144\nwrite InlineShape.Width = 288\nP.Height = 144\nTxHeight.Text "
     "= \"2\"\n"},
    {"Word in-line picture, lock on, height edit: width worked out, then the height",
     "start word\nadd P 200 100 inline\nselect P\ntrace on\ntype TxHeight 3\nprint P.Width\n",
     "write ShapeRange.LockAspectRatio = true\nwrite InlineShape.LockAspectRatio = true\n"
     "write InlineShape.Width = 432\nwrite InlineShape.Height = 216\nP.Width = 432\n"},
    {"a typed width of exactly -1 point is written as a width, not taken for 'derive'",
     "start powerpoint\nadd A 144 72\nselect A\nclick ButSettings\nclick Option1(0)\nclick "
     "OKButton\n"
     "trace on\ntype TxWidth -1\n",
     "show frmOptions\nhide frmOptions\nwrite ShapeRange.LockAspectRatio = true\n"
     "write ShapeRange.Width = -1\nmessage: The specified value is out of range.\n"},
    {"nothing infinite reaches the host: 10^37 inches, a picture 0 points wide",
     "start word\nadd A 144 72\nadd P 0 100 inline\nselect A\ntrace on\ntype TxWidth 1e37\ntype "
     "TxWidth 1e39\n"
     "select P\ntype TxWidth 2\nprint P.Height\n",
     "write ShapeRange.LockAspectRatio = true\nwrite InlineShape.LockAspectRatio = true\nP.Height "
     "= 100\n"},
    {"Excel and PowerPoint skip the width edit's first read with the lock on",
     "start excel\nadd A 144 72\nselect A\nfail Height 5 \"refused\" always\ntype TxWidth 4\nprint A.Height\n"
     "print TxHeight.Text\n",
     "A.Height = 144\nTxHeight.Text = \"1\"\n"},
};

const Case kAspectAndRotation[] = {
    {"the aspect button's three states",
     "start word\nprint ButAspect.Caption\nclick ButAspect\nprint ButAspect.Caption\nprint "
     "ButAspect.FaceId\n"
     "click ButAspect\nprint ButAspect.Caption\nprint ButAspect.FaceId\nclick ButAspect\nprint "
     "ButAspect.FaceId\n",
     "ButAspect.Caption = \"Aspect Ratio\"\nButAspect.Caption = \"Lock Aspect\"\nButAspect.FaceId "
     "= 2309\n"
     "ButAspect.Caption = \"Unlock Aspect\"\nButAspect.FaceId = 2308\nButAspect.FaceId = 2309\n"},
    {"a refused caption still switches the lock",
     "start powerpoint\nfail Caption 5\nclick ButAspect\nprint ButAspect.Caption\nprint "
     "ButAspect.FaceId\n",
     "ButAspect.Caption = \"Aspect Ratio\"\nButAspect.FaceId = 2309\n"},
    {"a refused FaceId goes back to the host",
     "start excel\nfail FaceId 70 \"Permission denied\"\nclick ButAspect\nprint "
     "ButAspect.Caption\n",
     "error: 70 Permission denied\nButAspect.Caption = \"Lock Aspect\"\n"},
    {"the toggle never touches the shapes",
     "start powerpoint\nadd A 10 10\nselect A\ntrace on\nclick ButAspect\nprint "
     "A.LockAspectRatio\n",
     "A.LockAspectRatio = false\n"},
    {"rotation is written as typed, to every selected shape",
     "start word\nadd A 10 10\nadd B 10 10\nselect A B\ntrace on\ntype TxRotate 400\ntype "
     "TxRotate 12.5\n"
     "print A.Rotation\nprint B.Rotation\nprint TxRotate.Text\n",
     "write ShapeRange.Rotation = 400\nwrite ShapeRange.Rotation = 12.5\nA.Rotation = "
     "12.5\nB.Rotation = 12.5\n"
     "TxRotate.Text = \"12.5\"\n"},
    {"rotation: empty, letters and overflow write nothing and keep the text",
     "start powerpoint\nadd A 10 10\nselect A\ntrace on\ntype TxRotate \"\"\ntype TxRotate "
     "abc\ntype TxRotate 1e39\n"
     "print TxRotate.Text\n",
     "TxRotate.Text = \"1e39\"\n"},
    {"rotation failures are swallowed: Excel cells, Word in-line pictures",
     "start word\nadd P 10 10 inline\nselect P\ntype TxRotate 45\n", ""},
};

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

// Word's tolerant reads of the other dimension in size editing, and the
// rotation box, which never rewrites what the user typed.
const Case kTolerantReads[] = {
    {"Word: when the in-line read and the range read both answer, the range wins",
     // Call 27 is the first read of the update after the edit, which would show
     // the picture's width again.
     "start word\nadd F 72 36\nadd P 144 108 inline\nselect F P\nclick ButAspect\nfail #27 5\n"
     "type TxHeight 2\nprint F.Width\nprint F.Height\nprint TxWidth.Text\n",
     "F.Width = 72\nF.Height = 144\nTxWidth.Text = \"1\"\n"},
    // No in-line picture: that read fails by itself; call 20 is the range's
    // width after the edit.
    {"Word: when both reads fail after the edit, the value read before it stays",
     "start word\nadd F 72 36\nselect F\nclick ButAspect\nfail #20 5\ntype TxHeight 3\n"
     "print TxWidth.Text\nprint F.Height\n",
     "TxWidth.Text = \"1\"\nF.Height = 216\n"},
    {"Word: when the range read fails, the in-line read's value stays",
     "start word\nadd P 144 108 inline\nselect P\nclick ButAspect\ntype TxHeight 2\nprint "
     "P.Width\nprint P.Height\nprint TxWidth.Text\n",
     "P.Width = 144\nP.Height = 144\nTxWidth.Text = \"2\"\n"},
    {"rotation: letters, an empty box and a number beyond the range each leave the box as typed",
     "start powerpoint\nadd A 10 10\nselect A\ntype TxRotate abc\nprint TxRotate.Text\nprint "
     "A.Rotation\ntype TxRotate \"\"\nprint TxRotate.Text\ntype TxRotate 1e39\nprint "
     "TxRotate.Text\nprint A.Rotation\ntype TxRotate 45\nprint A.Rotation\n",
     "TxRotate.Text = \"abc\"\nA.Rotation = 0\nTxRotate.Text = \"\"\nTxRotate.Text = "
     "\"1e39\"\nA.Rotation = 0\nA.Rotation = 45\n"},
};

// Each row runs, and reports, as a test of its own.
class ScriptRows : public ::testing::TestWithParam<Case> {};
TEST_P(ScriptRows, PrintExactlyWhatTheUserMustSee) { Check(GetParam()); }
std::string RowName(const ::testing::TestParamInfo<Case>& row) {
  return hostprog::testing::TestNameOf(row.param.name);
}
INSTANTIATE_TEST_SUITE_P(SelectionTracking, ScriptRows, ::testing::ValuesIn(kSelection), RowName);
INSTANTIATE_TEST_SUITE_P(SizeEditing, ScriptRows, ::testing::ValuesIn(kSizeEditing), RowName);
INSTANTIATE_TEST_SUITE_P(DisablingRules, ScriptRows, ::testing::ValuesIn(kDisablingRules), RowName);
INSTANTIATE_TEST_SUITE_P(TolerantReads, ScriptRows, ::testing::ValuesIn(kTolerantReads), RowName);
INSTANTIATE_TEST_SUITE_P(AspectAndRotation, ScriptRows, ::testing::ValuesIn(kAspectAndRotation),
                         RowName);

TEST(Geometry, ALongSessionLeaksNoHostObject) {
  std::string script = "start word\nadd F 72 36\nadd P 50 50 inline\n";
  for (int i = 0; i < 200; ++i) {
    script += i % 3 ? "select F P\n" : "select none\n";
    script += "type TxWidth " + std::to_string(i % 7) +
              "\ntype TxHeight x\ntype TxRotate 5\nclick ButAspect\n";
  }
  script += "quit\n";
  auto run = RunScript(script);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.world().TotalExternalRefs(), 0);
  EXPECT_EQ(run.world().double_releases(), 0);
}

}  // namespace
}  // namespace frambolist::connectors
