#!/usr/bin/env python3
"""Draws the ribbon group as Office lays it out on the Home tab, from the
host program's `print ribbon` line: small controls three to a column (an
edit box with its label, a toggle button lit while pressed, buttons), the
group's label underneath. Greyed controls are drawn greyed.

    build/frambolist-sim SCRIPT | docs/draw_ribbon.py OUT.png

Reads the first line that starts with "ribbon"; draws with ImageMagick.
"""
import re
import subprocess
import sys

from draw_toolbar import FONT_SIZE, text_width  # the same font, measured the same way

ROW = 24
ROWS = 3
TEXT = "#262626"
GREYED = "#A6A6A6"
BOX_WIDTH = 70


def parse(line):
    """The group's label and its controls: (id, label, text or None, pressed or None, greyed)."""
    head, body = line.split(":", 1)
    group = re.search(r'"(.*)"', head).group(1)
    controls = []
    for item in re.findall(r"\[([^\]]*)\]", body):
        greyed = item.endswith(" greyed")
        item = item.removesuffix(" greyed")
        quoted = re.findall(r'"((?:[^"\\]|\\.)*)"', item)
        pressed = None
        if item.endswith(" not pressed"):
            pressed = False
        elif item.endswith(" pressed"):
            pressed = True
        text = quoted[1] if len(quoted) > 1 else None
        controls.append((item.split(" ", 1)[0], quoted[0], text, pressed, greyed))
    return group, controls


def mvg(group, controls):
    parts, x, y0 = [], 6, 6
    columns = [controls[i:i + ROWS] for i in range(0, len(controls), ROWS)]
    for column in columns:
        label_width = max(text_width(label) for _, label, _, _, _ in column)
        width = label_width + (BOX_WIDTH + 8 if any(t is not None for _, _, t, _, _ in column) else 8)
        for row, (_, label, text, pressed, greyed) in enumerate(column):
            y = y0 + row * ROW
            colour = GREYED if greyed else TEXT
            if pressed:
                parts.append(f"fill '#C5D2E8' stroke '#7A95C2' rectangle {x},{y} "
                              f"{x + label_width + 8},{y + ROW - 4}")
            parts.append(f"fill '{colour}' stroke none text {x + 4},{y + 15} '{label}'")
            if text is not None:
                bx = x + label_width + 8
                parts.append(f"fill white stroke '{'#D0D0D0' if greyed else '#ABABAB'}' "
                             f"rectangle {bx},{y + 1} {bx + BOX_WIDTH},{y + ROW - 5}")
                parts.append(f"fill '{colour}' stroke none text {bx + 4},{y + 15} '{text}'")
        x += width + 10
    width = x
    height = y0 + ROWS * ROW + 22
    label_x = (width - text_width(group)) // 2
    head = (f"viewbox 0 0 {width} {height} "
            f"fill '#F3F3F3' stroke none rectangle 0,0 {width},{height} "
            f"stroke '#D5D5D5' line {width - 1},4 {width - 1},{height - 4} "
            f"stroke none font 'DejaVu-Sans' font-size {FONT_SIZE} "
            f"fill '#5F5F5F' text {label_x},{height - 8} '{group}' ")
    return width, height, head + " ".join(parts)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    line = next((l for l in sys.stdin if l.startswith("ribbon ")), None)
    if line is None:
        print("no ribbon line in the input", file=sys.stderr)
        return 1
    width, height, drawing = mvg(*parse(line.strip()))
    subprocess.run(["convert", "-size", f"{width}x{height}", "xc:white", "-draw", drawing,
                    sys.argv[1]], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
