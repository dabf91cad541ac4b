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
     R"~(start powerpoint
add A 72 36 45.5
select A
print TxWidth.Text
print TxHeight.Text
print TxRotate.Text
print TxRotate.Enabled
)~",
     R"~(TxWidth.Text = "1"
TxHeight.Text = "0.5"
TxRotate.Text = "45.5"
TxRotate.Enabled = true
)~"},
    {"PowerPoint disables on 'nothing selected' and keeps the text",
     R"~(start powerpoint
add A 72 36
select A
select none
print TxWidth.Text
print TxWidth.Enabled
print TxRotate.Enabled
)~",
     R"~(TxWidth.Text = "1"
TxWidth.Enabled = false
TxRotate.Enabled = false
)~"},
    {"PowerPoint: any other number changes nothing, Enabled included",
     R"~(start powerpoint
add A 72 36
add B 144 144
select A
select none
fail Name 424 always
select B
print TxWidth.Text
print TxWidth.Enabled
)~",
     R"~(TxWidth.Text = "1"
TxWidth.Enabled = false
)~"},
    {"a failure half-way leaves the mixture of old and new text",
     R"~(start powerpoint
add A 72 36 10
add B 144 144 20
select A
fail Height 5 always
select B
print TxWidth.Text
print TxHeight.Text
print TxRotate.Text
)~",
     R"~(TxWidth.Text = "2"
TxHeight.Text = "0.5"
TxRotate.Text = "10"
)~"},
    {"PowerPoint: a shape resized and rotated with the mouse is shown at the next update",
     R"~(start powerpoint
add A 72 36
select A
resize A 144 72
rotate A 30
print TxWidth.Text
print TxHeight.Text
print TxRotate.Text
)~",
     R"~(TxWidth.Text = "2"
TxHeight.Text = "1"
TxRotate.Text = "30"
)~"},
    {"Excel: the same, and each sheet's same-named shape shows its own size",
     R"~(start excel
add A 72 36
select A
resize A 144 72
rotate A 30
print TxWidth.Text
print TxRotate.Text
activate Sheet2
add A 216 72
select A
print TxWidth.Text
activate Sheet1
print TxWidth.Text
)~",
     R"~(TxWidth.Text = "2"
TxRotate.Text = "30"
TxWidth.Text = "3"
TxWidth.Text = "2"
)~"},
    {"Word: the same (its rotation follows only with an in-line picture selected)",
     R"~(start word
add A 72 36
add P 72 72 inline
select A
resize A 144 72
rotate A 30
print TxWidth.Text
print TxRotate.Text
select A P
resize P 216 72
rotate A 45
print TxWidth.Text
print TxRotate.Text
)~",
     R"~(TxWidth.Text = "2"
TxRotate.Text = "0"
TxWidth.Text = "3"
TxRotate.Text = "45"
)~"},
    {"PowerPoint names only a single shape, so several shapes disable the boxes",
     R"~(start powerpoint
add A 72 36
add B 144 144
select A
select A B
print TxWidth.Enabled
print TxWidth.Text
type TxWidth 3
print A.Width
)~",
     R"~(TxWidth.Enabled = false
TxWidth.Text = "1"
A.Width = 72
)~"},
    {"Word disables on 424 (insertion point in text)",
     R"~(start word
add A 72 36
select A
select none
print TxWidth.Enabled
print TxWidth.Text
)~",
     R"~(TxWidth.Enabled = false
TxWidth.Text = "1"
)~"},
    {"Word disables on access denied, not on other numbers",
     R"~(start word
add A 72 36
fail Name -2147024891 always
select A
print TxHeight.Enabled
heal
select A
fail Name 4198 always
select A
print TxHeight.Enabled
)~",
     R"~(TxHeight.Enabled = false
TxHeight.Enabled = true
)~"},
    {"Word with a floating shape only keeps the old rotation text",
     R"~(start word
add A 72 36 30
add B 144 72 60
select A
select B
print TxWidth.Text
print TxHeight.Text
print TxRotate.Text
print TxRotate.Enabled
)~",
     R"~(TxWidth.Text = "2"
TxHeight.Text = "1"
TxRotate.Text = "0"
TxRotate.Enabled = true
)~"},
    {"Word: an in-line picture's size replaces the range's; rotation from the range",
     R"~(start word
add F 72 36 30
add P 144 108 inline
select F P
print TxWidth.Text
print TxHeight.Text
print TxRotate.Text
)~",
     R"~(TxWidth.Text = "2"
TxHeight.Text = "1.5"
TxRotate.Text = "30"
)~"},
    {"Excel reads the active window's selection and never disables",
     R"~(start excel
add A 72 36 90
select A
print TxWidth.Text
print TxRotate.Text
select none
print TxWidth.Text
print TxWidth.Enabled
)~",
     R"~(TxWidth.Text = "1"
TxRotate.Text = "90"
TxWidth.Text = "1"
TxWidth.Enabled = true
)~"},
    {"boxes show the new unit at the update that follows the dialog",
     R"~(start powerpoint
add A 72 72
select A
click ButSettings
click Option1(2)
click OKButton
print TxWidth.Text
print LblWidth.Caption
)~",
     R"~(show frmOptions
hide frmOptions
TxWidth.Text = "25.3968"
LblWidth.Caption = "Width (mm)"
)~"},
};

const Case kSizeEditing[] = {
    {"lock on: the lock and the typed dimension only, the host scales the other",
     R"~(start powerpoint
add A 144 72
select A
trace on
type TxHeight 2
print TxWidth.Text
print A.Width
)~",
     R"~(write ShapeRange.LockAspectRatio = true
write ShapeRange.Height = 144
TxWidth.Text = "4"
A.Width = 288
)~"},
    {"lock off: the lock and the typed dimension only",
     R"~(start powerpoint
add A 144 72
select A
click ButAspect
trace on
type TxHeight 2
print TxWidth.Text
print A.Width
)~",
     R"~(write ShapeRange.LockAspectRatio = false
write ShapeRange.Height = 144
TxWidth.Text = "2"
A.Width = 144
)~"},
    {"lock off, several shapes of different sizes: each keeps its own other dimension",
     R"~(start excel
add A 144 72
add B 72 36
select A B
click ButAspect
type TxWidth 3
print A.Width
print A.Height
print B.Width
print B.Height
)~",
     R"~(A.Width = 216
A.Height = 72
B.Width = 216
B.Height = 36
)~"},
    {"lock off in Word, an in-line picture: only the typed dimension",
     R"~(start word
add P 200 100 inline
select P
click ButAspect
trace on
type TxWidth 4
print P.Height
)~",
     R"~(write ShapeRange.LockAspectRatio = false
write InlineShape.LockAspectRatio = false
write InlineShape.Width = 288
P.Height = 100
)~"},
    {"the other box shows a shown value in the display unit",
     R"~(start excel
add A 72 72
select A
click ButSettings
click Option1(2)
click OKButton
type TxHeight 25.3968
print TxWidth.Text
print TxHeight.Text
)~",
     R"~(show frmOptions
hide frmOptions
TxWidth.Text = "25.3968"
TxHeight.Text = "25.3968"
)~"},
    {"empty and non-numeric text turn into 0 and resize nothing",
     R"~(start powerpoint
add A 144 72
select A
trace on
type TxHeight ""
type TxWidth abc
print TxHeight.Text
print TxWidth.Text
print A.Width
)~",
     R"~(TxHeight.Text = "0"
TxWidth.Text = "0"
A.Width = 144
)~"},
    {"the user's decimal separator",
     R"~(locale , .
start word
add A 144 72
select A
type TxWidth 1,5
print A.Width
print TxHeight.Text
)~",
     R"~(A.Width = 108
TxHeight.Text = "0,75"
)~"},
    // Separators of up to three characters (some locales group digits with
    // more than one): typed and shown in full.
    {"separators of three characters",
     R"~(locale ",,," "' '"
start word
add A 144 72
select A
type TxWidth "1' '000,,,5"
print A.Width
type TxWidth 1,,,5
print A.Width
print TxHeight.Text
)~",
     R"~(A.Width = 72036
A.Width = 108
TxHeight.Text = "0,,,75"
)~"},
    {"a refused size shows the host's message, then the other box is refreshed",
     R"~(start powerpoint
add A 144 72
select A
click ButAspect
type TxHeight -3
print TxWidth.Text
)~",
     R"~(message: The specified value is out of range.
TxWidth.Text = "2"
)~"},
    {"no shape selected: height edit stops at its first read, width edit with lock on "
     "reaches the host first",
     R"~(start powerpoint
trace on
type TxHeight 2
set TxWidth.Enabled true
type TxWidth 2
)~",
     "message: Selection (unknown member) : Invalid request.  Nothing appropriate is currently "
     "selected.\n"},
    {"several shapes: the range is written whole",
     R"~(start excel
add A 144 72
add B 72 72
select A B
type TxWidth 4
print A.Height
print B.Height
print TxHeight.Text
)~",
     R"~(A.Height = 144
B.Height = 288
TxHeight.Text = "2"
)~"},
    {"Word in-line picture, lock on: height worked out by the add-in, then the width",
     R"~(start word
add P 200 100 inline
select P
trace on
type TxWidth 4
print P.Height
print TxHeight.Text
)~",
     R"~(write ShapeRange.LockAspectRatio = true
write InlineShape.LockAspectRatio = true
write InlineShape.Height = 144
write InlineShape.Width = 288
P.Height = 144
TxHeight.Text = "2"
)~"},
    {"Word in-line picture, lock on, height edit: width worked out, then the height",
     R"~(start word
add P 200 100 inline
select P
trace on
type TxHeight 3
print P.Width
)~",
     R"~(write ShapeRange.LockAspectRatio = true
write InlineShape.LockAspectRatio = true
write InlineShape.Width = 432
write InlineShape.Height = 216
P.Width = 432
)~"},
    {"a typed width of exactly -1 point is written as a width, not taken for 'derive'",
     R"~(start powerpoint
add A 144 72
select A
click ButSettings
click Option1(0)
click OKButton
trace on
type TxWidth -1
)~",
     R"~(show frmOptions
hide frmOptions
write ShapeRange.LockAspectRatio = true
write ShapeRange.Width = -1
message: The specified value is out of range.
)~"},
    {"nothing infinite reaches the host: 10^37 inches, a picture 0 points wide",
     R"~(start word
add A 144 72
add P 0 100 inline
select A
trace on
type TxWidth 1e37
type TxWidth 1e39
select P
type TxWidth 2
print P.Height
)~",
     R"~(write ShapeRange.LockAspectRatio = true
write InlineShape.LockAspectRatio = true
P.Height = 100
)~"},
    {"Excel and PowerPoint skip the width edit's first read with the lock on",
     R"~(start excel
add A 144 72
select A
fail Height 5 "refused" always
type TxWidth 4
print A.Height
print TxHeight.Text
)~",
     R"~(A.Height = 144
TxHeight.Text = "1"
)~"},
};

const Case kAspectAndRotation[] = {
    {"the aspect button's three states",
     R"~(start word
print ButAspect.Caption
click ButAspect
print ButAspect.Caption
print ButAspect.FaceId
click ButAspect
print ButAspect.Caption
print ButAspect.FaceId
click ButAspect
print ButAspect.FaceId
)~",
     R"~(ButAspect.Caption = "Aspect Ratio"
ButAspect.Caption = "Lock Aspect"
ButAspect.FaceId = 2309
ButAspect.Caption = "Unlock Aspect"
ButAspect.FaceId = 2308
ButAspect.FaceId = 2309
)~"},
    {"a refused caption still switches the lock",
     R"~(start powerpoint
fail Caption 5
click ButAspect
print ButAspect.Caption
print ButAspect.FaceId
)~",
     R"~(ButAspect.Caption = "Aspect Ratio"
ButAspect.FaceId = 2309
)~"},
    {"a refused FaceId goes back to the host",
     R"~(start excel
fail FaceId 70 "Permission denied"
click ButAspect
print ButAspect.Caption
)~",
     R"~(error: 70 Permission denied
ButAspect.Caption = "Lock Aspect"
)~"},
    {"the toggle never touches the shapes",
     R"~(start powerpoint
add A 10 10
select A
trace on
click ButAspect
print A.LockAspectRatio
)~",
     "A.LockAspectRatio = false\n"},
    {"rotation is written as typed, to every selected shape",
     R"~(start word
add A 10 10
add B 10 10
select A B
trace on
type TxRotate 400
type TxRotate 12.5
print A.Rotation
print B.Rotation
print TxRotate.Text
)~",
     R"~(write ShapeRange.Rotation = 400
write ShapeRange.Rotation = 12.5
A.Rotation = 12.5
B.Rotation = 12.5
TxRotate.Text = "12.5"
)~"},
    {"rotation: empty, letters and overflow write nothing and keep the text",
     R"~(start powerpoint
add A 10 10
select A
trace on
type TxRotate ""
type TxRotate abc
type TxRotate 1e39
print TxRotate.Text
)~",
     "TxRotate.Text = \"1e39\"\n"},
    {"rotation failures are swallowed: Excel cells, Word in-line pictures",
     R"~(start word
add P 10 10 inline
select P
type TxRotate 45
)~",
     ""},
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
     // Call 33 is the first read of the update after the edit, which would show
     // the picture's width again (the edit's calls include reading Word's
     // template before its writes and marking it saved after them).
     R"~(start word
add F 72 36
add P 144 108 inline
select F P
click ButAspect
fail #33 5
type TxHeight 2
print F.Width
print F.Height
print TxWidth.Text
)~",
     R"~(F.Width = 72
F.Height = 144
TxWidth.Text = "1"
)~"},
    // No in-line picture: that read fails by itself; call 20 is the range's
    // width after the edit.
    {"Word: when both reads fail after the edit, the value read before it stays",
     R"~(start word
add F 72 36
select F
click ButAspect
fail #20 5
type TxHeight 3
print TxWidth.Text
print F.Height
)~",
     R"~(TxWidth.Text = "1"
F.Height = 216
)~"},
    {"Word: when the range read fails, the in-line read's value stays",
     R"~(start word
add P 144 108 inline
select P
click ButAspect
type TxHeight 2
print P.Width
print P.Height
print TxWidth.Text
)~",
     R"~(P.Width = 144
P.Height = 144
TxWidth.Text = "2"
)~"},
    // No in-line picture, so that read fails: the range answers for the
    // other box, which showed a leftover "0" before.
    {"Word: typing the height a shape has still shows its width, read from the range",
     R"~(start word
add F 72 36
select F
type TxWidth abc
print TxWidth.Text
type TxHeight 0.5
print TxWidth.Text
print F.Height
)~",
     R"~(TxWidth.Text = "0"
TxWidth.Text = "1"
F.Height = 36
)~"},
    {"rotation: letters, an empty box and a number beyond the range each leave the box as typed",
     R"~(start powerpoint
add A 10 10
select A
type TxRotate abc
print TxRotate.Text
print A.Rotation
type TxRotate ""
print TxRotate.Text
type TxRotate 1e39
print TxRotate.Text
print A.Rotation
type TxRotate 45
print A.Rotation
)~",
     R"~(TxRotate.Text = "abc"
A.Rotation = 0
TxRotate.Text = ""
TxRotate.Text = "1e39"
A.Rotation = 0
A.Rotation = 45
)~"},
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
