#!/usr/bin/python3
"""Draws the program icon (a printer sending a page up to a cloud) and writes app.ico.

Run it again after changing the drawing: /usr/bin/python3 resources/make_icon.py
The shapes are drawn at 4x4 samples per pixel and averaged, so edges stay smooth at 16 pixels.
"""
import os
import struct
import zlib

SIZES = (16, 24, 32, 48, 256)
SAMPLES = 4


def rounded_rect(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def colour_at(x, y):
    """Colour (r, g, b, a) of the unit square artwork at (x, y), 0..1 each way."""
    # Cloud in the upper right: three circles on a flat base.
    cloud = (circle(x, y, 0.62, 0.30, 0.15) or circle(x, y, 0.78, 0.33, 0.12)
             or circle(x, y, 0.48, 0.36, 0.10)
             or rounded_rect(x, y, 0.44, 0.30, 0.88, 0.45, 0.07))
    # Printer: paper sheet above a body with an output slot.
    paper = rounded_rect(x, y, 0.22, 0.30, 0.50, 0.60, 0.02)
    body = rounded_rect(x, y, 0.10, 0.52, 0.62, 0.82, 0.06)
    slot = rounded_rect(x, y, 0.20, 0.70, 0.52, 0.74, 0.01)
    lamp = circle(x, y, 0.53, 0.60, 0.028)
    # Dotted path from the paper to the cloud.
    dots = any(circle(x, y, px, py, 0.03) for px, py in ((0.40, 0.22), (0.48, 0.16)))
    background = rounded_rect(x, y, 0.02, 0.02, 0.98, 0.98, 0.18)

    if lamp:
        return (120, 230, 140, 255)
    if slot:
        return (40, 70, 110, 255)
    if body:
        return (245, 248, 252, 255)
    if paper:
        return (255, 255, 255, 255)
    if dots:
        return (255, 255, 255, 255)
    if cloud:
        return (190, 225, 255, 255)
    if background:
        # Gentle vertical gradient from teal to deep blue.
        t = y
        return (int(20 + 10 * t), int(140 - 60 * t), int(200 - 30 * t), 255)
    return (0, 0, 0, 0)


def render(size):
    """Rows of premultiplied-free RGBA pixels, top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    r, g, b, a = colour_at(x, y)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(c / acc[3])) for c in acc[:3]) + (int(round(alpha)),))
        rows.append(row)
    return rows


def dib_image(size, rows):
    """A 32-bit icon image: header, bottom-up BGRA pixels, then the 1-bit AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for i, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def png_image(size, rows):
    raw = b''.join(b'\0' + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))

    ihdr = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def main():
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png_image(size, rows) if size >= 256 else dib_image(size, rows)))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack('<BBBBHHII', dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'app.ico')
    with open(path, 'wb') as f:
        f.write(out)
    print(f'{path}: {len(out)} bytes')


if __name__ == '__main__':
    main()
