#!/usr/bin/env python3
"""Draws the product's logo and icon: a selected shape with its eight sizing
handles and a rotation handle. Writes logo.gif (GIF89a, 109 x 119) and
frambolist.ico (16 and 32 pixels as 32-bit bitmaps; 48 and 128 as PNG).
Standard library only; run it again after changing the drawing."""

import math
import struct
import zlib

# Palette: 0 background, 1 outline, 2 fill, 3 handle fill, 4 handle edge, 5 arrow.
PALETTE = [(255, 255, 255), (40, 40, 60), (214, 36, 92), (255, 255, 255), (30, 90, 200), (30, 90, 200)]


def draw(size_w, size_h):
    """Returns rows of palette indices; 0 is the (transparent) background."""
    img = [[0] * size_w for _ in range(size_h)]
    s = min(size_w, size_h)
    def px(x, y, c):
        if 0 <= x < size_w and 0 <= y < size_h:
            img[y][x] = c
    left, right = round(size_w * 0.16), round(size_w * 0.84)
    top, bottom = round(size_h * 0.30), round(size_h * 0.86)
    r = max(1, s // 10)
    # A rounded body.
    for y in range(top, bottom):
        for x in range(left, right):
            dx = max(left + r - x, 0, x - (right - 1 - r))
            dy = max(top + r - y, 0, y - (bottom - 1 - r))
            d = dx * dx + dy * dy
            if d <= r * r:
                edge = d > (r - max(1, s // 40)) ** 2 if (dx or dy) else (
                    x < left + max(1, s // 40) or x >= right - max(1, s // 40) or
                    y < top + max(1, s // 40) or y >= bottom - max(1, s // 40))
                px(x, y, 1 if edge else 2)
    # The rotation handle: a stem and a ring above the body.
    cx = (left + right) // 2
    ring = max(2, s // 12)
    cy = top - ring * 3
    for y in range(cy + ring, top):
        for x in range(cx - max(0, s // 60), cx + max(1, s // 60)):
            px(x, y, 4)
    for y in range(cy - ring - 1, cy + ring + 2):
        for x in range(cx - ring - 1, cx + ring + 2):
            d = math.hypot(x - cx, y - cy)
            if d <= ring + 0.5:
                px(x, y, 4 if d > ring - max(1.0, s / 50) else 3)
    # Eight sizing handles.
    h = max(1, s // 16)
    for hx in (left, cx, right - 1):
        for hy in (top, (top + bottom) // 2, bottom - 1):
            if hx == cx and hy == (top + bottom) // 2:
                continue
            for y in range(hy - h, hy + h + 1):
                for x in range(hx - h, hx + h + 1):
                    edge = abs(x - hx) == h or abs(y - hy) == h
                    px(x, y, 4 if edge else 3)
    return img


def lzw(indices, min_code_size):
    """GIF's variable-length LZW, packed little-endian into sub-blocks."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {bytes([i]): i for i in range(clear)}
    next_code, width = end + 1, min_code_size + 1
    out, bits, nbits = bytearray(), 0, 0
    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    emit(clear)
    w = b""
    for i in indices:
        wc = w + bytes([i])
        if wc in table:
            w = wc
            continue
        emit(table[w])
        if next_code < 4096:
            table[wc] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            table = {bytes([k]): k for k in range(clear)}
            next_code, width = end + 1, min_code_size + 1
        w = bytes([i])
    if w:
        emit(table[w])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    blocks = bytearray()
    for k in range(0, len(out), 255):
        chunk = out[k:k + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks) + b"\x00"


def gif(img):
    h, w = len(img), len(img[0])
    palette = PALETTE + [(0, 0, 0)] * (8 - len(PALETTE))
    data = b"GIF89a" + struct.pack("<HHBBB", w, h, 0xF2, 0, 0)
    data += b"".join(bytes(c) for c in palette)
    data += b"\x21\xF9\x04\x01\x00\x00\x00\x00"  # index 0 transparent
    data += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)
    data += bytes([3]) + lzw([i for row in img for i in row], 3)
    return data + b"\x3B"


def bmp_entry(size, bpp):
    img = draw(size, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    rows = []
    if bpp == 8:
        pal = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE) + b"\x00" * 4 * (256 - len(PALETTE))
        for row in reversed(img):
            rows.append(bytes(row) + b"\x00" * ((4 - size % 4) % 4))
        body = pal + b"".join(rows)
    else:
        pal = b""
        for row in reversed(img):
            rows.append(b"".join(struct.pack("BBBB", *reversed(PALETTE[i]), 0 if i == 0 else 255) for i in row))
        body = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(img):
        bits = 0
        line = bytearray(mask_stride)
        for x, i in enumerate(row):
            if i == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + body + mask


def png_entry(size):
    img = draw(size, size)
    raw = b"".join(b"\x00" + b"".join(bytes(PALETTE[i]) + bytes([0 if i == 0 else 255]) for i in row) for row in img)
    def chunk(kind, payload):
        return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico():
    # True colour only (Windows 7 and later show no other). The sizes the
    # dialogs load at the usual DPI stay bitmaps; the larger ones are PNG,
    # which Windows reads in icons since Vista, at a tenth of the bytes.
    entries = [(16, 32), (32, 32), (48, 32), (128, 32)]
    images = [png_entry(s) if s >= 48 else bmp_entry(s, bpp) for s, bpp in entries]
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for (s, bpp), data in zip(entries, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


if __name__ == "__main__":
    import os
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "logo.gif"), "wb") as f:
        f.write(gif(draw(109, 119)))
    with open(os.path.join(here, "frambolist.ico"), "wb") as f:
        f.write(ico())
