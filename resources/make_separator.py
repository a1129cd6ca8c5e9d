#!/usr/bin/python3
"""Draws the separator line (bitmap 142) above the buttons of the Wi-Fi dialogs and the
invitation screen and writes separator.bmp.

Run it again after changing the drawing: /usr/bin/python3 resources/make_separator.py
One pixel high and as wide as the widest dialog that shows it (790 pixels) with some to spare;
the controls clip it to their own width. A quiet grey with a faint blue tint, so it reads as a
rule on the dialog face without drawing the eye.
"""
import os
import struct

WIDTH = 800
HEIGHT = 1
COLOUR = (0xC4, 0xCC, 0xD6)  # r, g, b


def bmp(width, height, pixel):
    """A bottom-up 24-bit BMP of one colour; rows padded to 4 bytes."""
    r, g, b = pixel
    row = bytes((b, g, r)) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    image = row * height
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(image), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    return header + info + image


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "separator.bmp")
    with open(path, "wb") as out:
        out.write(bmp(WIDTH, HEIGHT, COLOUR))


if __name__ == "__main__":
    main()
