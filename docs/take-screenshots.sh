#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb: the units dialog and the About
# box as the real DLL draws them through COM under Wine, and the toolbar as
# the host program reports it, drawn as a command bar. Writes docs/*.png.
# Usage: docs/take-screenshots.sh   (after scripts/test.sh or scripts/main.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
# fonts-wine: Wine's own fonts (see below).
for pkg in xvfb imagemagick xauth fonts-wine fonts-dejavu-core; do
  dpkg -s "$pkg" >/dev/null 2>&1 || { apt-get update -qq; DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends xvfb imagemagick xauth fonts-wine fonts-dejavu-core >/dev/null; break; }
done
[ -x build-win64/win/frambolist.dll ] || { cmake --preset mingw64 >/dev/null; cmake --build build-win64 --target frambolist frambolist-sim >/dev/null; }
[ -x build/frambolist-sim ] || { cmake --preset native >/dev/null; cmake --build build --target frambolist-sim >/dev/null; }

work=$(mktemp -d /tmp/frambolist-shots.XXXXXX)
export DISPLAY=:77 WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
Xvfb $DISPLAY -screen 0 640x480x24 >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 1

# A prefix of its own; with no window manager, Wine draws the frames itself.
timeout 300 "$wine" wineboot -i >/dev/null 2>&1
# Marlett, whose glyphs are the caption buttons, into the prefix's Fonts
# folder, where Windows keeps it: this Wine does not find its own fonts
# where Debian puts them, and without Marlett a close button is the letter
# "r". (The rest of Wine's fonts would replace the dialogs' TrueType
# stand-ins with bitmap ones that draw no bold.)
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
cp build-win64/win/frambolist.dll build-win64/win/frambolist-sim.exe "$work/"
"$wine" regsvr32 'Z:'"${work//\//\\}"'\frambolist.dll' >/dev/null 2>&1
"$wine" reg copy 'HKCU\Software\Classes' 'HKLM\Software\Classes' /s /f >/dev/null 2>&1

shot() {  # shot NAME WIDTH HEIGHT: the centre of the screen
  sleep 5  # the first logo decoding loads Wine's imaging codecs
  import -window root -crop "$2x$3+$(((640 - $2) / 2))+$(((480 - $3) / 2))" "docs/$1.png"
  echo "docs/$1.png"
}
mkfifo "$work/script"
"$wine" "$work/frambolist-sim.exe" < "$work/script" > "$work/out.txt" 2>&1 &
sim=$!
{
  printf 'start powerpoint\nclick ButSettings\nclick Option1(2)\n'
  shot units-dialog 280 220 >&2
  printf 'click OKButton\nclick ButAbout\n'
  shot about-box 240 250 >&2
  printf 'key Esc\nquit\n'
} > "$work/script"
# A screenshot of a session that failed (a script error, a leak, a modal
# breach) is no screenshot of the add-in: the host program's status counts.
wait $sim || { echo "the host program failed (status $?):" >&2; cat "$work/out.txt" >&2; exit 1; }

# The toolbar as a user sees it in the host, drawn from the host program's
# account of every control (docs/draw_toolbar.py).
cat > "$work/toolbar.txt" <<'SCRIPT'
start powerpoint
add Logo 144 72 30
click ButAspect
click ButSettings
click Option1(2)
click OKButton
select Logo
print toolbar
SCRIPT
build/frambolist-sim "$work/toolbar.txt" | docs/draw_toolbar.py docs/toolbar.png
echo docs/toolbar.png
# The same in Office 2016, where the controls are a group on the Home tab
# (docs/draw_ribbon.py).
sed 's/^start powerpoint$/start powerpoint 16/; s/^print toolbar$/print ribbon/' "$work/toolbar.txt" \
  > "$work/ribbon.txt"
build/frambolist-sim "$work/ribbon.txt" | docs/draw_ribbon.py docs/ribbon.png
echo docs/ribbon.png
