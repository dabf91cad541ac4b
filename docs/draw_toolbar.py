#!/usr/bin/env python3
"""Draws the toolbar as a user sees it in Office, from the host program's
`print toolbar` line: a command bar with its grip, group separators,
captions, edit boxes and buttons, and our own placeholder icons where the
hosts' built-in ones (by FaceId) are not ours to copy. Greyed controls are
drawn greyed.

    build/frambolist-sim SCRIPT | docs/draw_toolbar.py OUT.png

Reads the first line that starts with "toolbar"; draws with ImageMagick.
"""
import re
import subprocess
import sys

HEIGHT = 26
FONT_SIZE = 11
TEXT = "#000000"
GREYED = "#8D8D8D"


def parse(line):
    """The controls of a `print toolbar` line: (starts_group, kind, icon, caption, greyed)."""
    controls = []
    for sep, body in re.findall(r'( \| | )\[([^\]]*)\]', line.split(":", 1)[1]):
        greyed = body.endswith(" greyed")
        body = body.removesuffix(" greyed")
        caption = re.search(r'"((?:[^"\\]|\\.)*)"', body)
        caption = caption.group(1).replace('\\"', '"') if caption else ""
        icon = re.match(r"icon (\d+)", body)
        kind = "box" if body.startswith("box ") else "button"
        controls.append((sep.strip() == "|", kind, int(icon.group(1)) if icon else None,
                         caption, greyed))
    return controls


def text_width(text):
    """The text's width in pixels at FONT_SIZE, as ImageMagick draws it."""
    if not text:
        return 0
    run = subprocess.run(["convert", "-font", "DejaVu-Sans", "-pointsize", str(FONT_SIZE),
                          f"label:{text}", "-format", "%w", "info:"],
                         capture_output=True, text=True, check=True)
    return int(run.stdout)


def icon(face, x, y, colour):
    """Our placeholder for a built-in icon, 16 pixels square, as MVG."""
    c = f"stroke '{colour}' fill none stroke-width 1.4"
    if face == 1647:  # height: an arrow up and down
        return (f"{c} line {x+8},{y+2} {x+8},{y+14} "
                f"polyline {x+5},{y+5} {x+8},{y+2} {x+11},{y+5} "
                f"polyline {x+5},{y+11} {x+8},{y+14} {x+11},{y+11}")
    if face == 1646:  # width: an arrow left and right
        return (f"{c} line {x+2},{y+8} {x+14},{y+8} "
                f"polyline {x+5},{y+5} {x+2},{y+8} {x+5},{y+11} "
                f"polyline {x+11},{y+5} {x+14},{y+8} {x+11},{y+11}")
    if face in (2308, 2309):  # a padlock, closed (locked) or open
        shackle = (f"path 'M {x+5},{y+8} V {y+5} A 3,3 0 0 1 {x+11},{y+5} V {y+8}'" if face == 2308
                   else f"path 'M {x+11},{y+8} V {y+3} A 3,3 0 0 0 {x+5},{y+3} V {y+5}'")
        return (f"push graphic-context {c} {shackle} pop graphic-context "
                f"fill '#C9A23A' stroke '{colour}' stroke-width 1 "
                f"rectangle {x+3},{y+8} {x+13},{y+15}")
    if face == 49:  # About: a question mark in a blue disc
        return (f"fill '#2F6FC9' stroke none circle {x+8},{y+8} {x+8},{y+1} "
                f"fill white font-size 11 font 'DejaVu-Sans-Bold' text {x+5},{y+12} '?'")
    return f"{c} rectangle {x+2},{y+2} {x+14},{y+14}"


def mvg(controls):
    parts, x = [], 10  # the grip takes the first pixels
    for starts_group, kind, face, caption, greyed in controls:
        colour = GREYED if greyed else TEXT
        if starts_group:
            parts.append(f"stroke '#A0A8B8' line {x+2},4 {x+2},{HEIGHT-5} "
                         f"stroke white line {x+3},4 {x+3},{HEIGHT-5}")
            x += 7
        if kind == "box":
            width = max(64, text_width(caption) + 8)
            parts.append(f"fill white stroke '#7F9DB9' rectangle {x},3 {x+width},{HEIGHT-4}")
            parts.append(f"fill '{colour}' stroke none text {x+4},17 '{caption}'")
            x += width + 4
            continue
        x += 3
        if face is not None:
            parts.append(icon(face, x, 5, colour))
            x += 18
        if caption:
            parts.append(f"fill '{colour}' stroke none text {x+1},17 '{caption}'")
            x += text_width(caption) + 2
        x += 4
    width = x + 8
    grip = " ".join(f"fill '#6F7F9F' stroke none rectangle 4,{y} 5,{y+1}" for y in range(5, HEIGHT - 5, 4))
    head = (f"viewbox 0 0 {width} {HEIGHT} "
            f"fill '#EEF2F8' stroke none rectangle 0,0 {width},{HEIGHT} "
            f"fill '#D5DDEA' rectangle 0,{HEIGHT//2} {width},{HEIGHT} "
            f"stroke '#9AA6BB' line 0,{HEIGHT-1} {width},{HEIGHT-1} "
            f"stroke none font 'DejaVu-Sans' font-size {FONT_SIZE} {grip} ")
    return width, head + " ".join(parts)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    line = next((l for l in sys.stdin if l.startswith("toolbar ")), None)
    if line is None:
        print("no toolbar line in the input", file=sys.stderr)
        return 1
    width, drawing = mvg(parse(line.strip()))
    subprocess.run(["convert", "-size", f"{width}x{HEIGHT}", "xc:white", "-draw", drawing,
                    sys.argv[1]], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
