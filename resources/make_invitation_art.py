#!/usr/bin/python3
"""Draws the pictures of the invitation screen at the pixel sizes its layouts use.

    /usr/bin/python3 resources/make_invitation_art.py BITMAP_DIR PICTURE_DIR

BITMAP_DIR receives the bitmaps built into the program (invitation_banner.bmp, bitmap 141;
invitation_card.bmp, bitmap 146); PICTURE_DIR the pictures that lie beside the program
(illust.png, illust_pr.png, ICON_PY_KiV.png, bt_normal.png, bt_press.png, bt_over.png).
The build runs it; nothing it writes is kept in the repository.

Every shape is a signed distance (negative inside, in pixels) and covers a pixel by how far its
centre lies inside the edge, so edges are smooth with one sample per pixel. Transparent keys:
the banner is 0x800080 where the dialog shows through (its edge pixels blend with the dialog
face); the button pictures are pure black outside the button and never black inside (their
edge pixels blend with white, the card behind them); the card and the illustrations never use
the screen's illustration key RGB(0x20, 0x00, 0xCC).
"""
import math
import os
import struct
import sys
import zlib

# Colours (r, g, b), 0..255.
NAVY = (16, 58, 110)
BLUE = (0, 102, 178)
SKY = (0, 150, 214)
TEAL = (0, 178, 190)
MIST = (232, 244, 251)
PALE = (205, 230, 245)
WHITE = (255, 255, 255)
INK = (52, 62, 76)
GREY = (196, 204, 214)
GREEN = (40, 170, 100)
ORANGE = (246, 160, 40)
FACE = (240, 240, 240)  # the dialog face the banner's edges blend with
BANNER_KEY = (0x80, 0x00, 0x80)
ILLUSTRATION_KEY = (0x20, 0x00, 0xCC)


# ---------------------------------------------------------------------------------------------
# Distances.

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(left, top, right, bottom, radius=0.0):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hw, hh = (right - left) / 2 - radius, (bottom - top) / 2 - radius

    def d(x, y):
        qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return d


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def d(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2
    return d


def polygon(points):
    n = len(points)

    def d(x, y):
        best = float("inf")
        sign = 1.0
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            best = min(best, math.hypot(wx - ex * t, wy - ey * t))
            crosses = ((ay <= y) != (by <= y))
            if crosses and x < ax + (y - ay) * ex / ey:
                sign = -sign
        return sign * best
    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def cut(shape, hole):
    return lambda x, y: max(shape(x, y), -hole(x, y))


def ring(shape, width):
    return lambda x, y: abs(shape(x, y)) - width / 2


def cloud(cx, cy, size):
    """A cloud about 2 x size wide and 1.2 x size high, centred at (cx, cy)."""
    return union(circle(cx - 0.45 * size, cy + 0.05 * size, 0.42 * size),
                 circle(cx + 0.15 * size, cy - 0.22 * size, 0.55 * size),
                 circle(cx + 0.62 * size, cy + 0.12 * size, 0.36 * size),
                 box(cx - 0.9 * size, cy, cx + 0.95 * size, cy + 0.48 * size, 0.24 * size))


def lerp(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ---------------------------------------------------------------------------------------------
# Canvas: premultiplied colour and coverage per pixel.

class Canvas:
    def __init__(self, width, height, colour=None):
        self.width, self.height = width, height
        n = width * height
        alpha = 0.0 if colour is None else 1.0
        c = (0, 0, 0) if colour is None else colour
        self.r = [c[0] * alpha] * n
        self.g = [c[1] * alpha] * n
        self.b = [c[2] * alpha] * n
        self.a = [alpha] * n

    def fill(self, shape, colour, bounds=None, opacity=1.0):
        """Covers the shape with a colour, or with colour(x, y) for a shade."""
        left, top, right, bottom = bounds or (0, 0, self.width, self.height)
        left, top = max(0, int(left) - 1), max(0, int(top) - 1)
        right, bottom = min(self.width, int(right) + 2), min(self.height, int(bottom) + 2)
        shaded = callable(colour)
        for y in range(top, bottom):
            py = y + 0.5
            row = y * self.width
            for x in range(left, right):
                px = x + 0.5
                cover = 0.5 - shape(px, py)
                if cover <= 0.0:
                    continue
                cover = min(cover, 1.0) * opacity
                r, g, b = colour(px, py) if shaded else colour
                i = row + x
                keep = 1.0 - cover
                self.r[i] = r * cover + self.r[i] * keep
                self.g[i] = g * cover + self.g[i] * keep
                self.b[i] = b * cover + self.b[i] * keep
                self.a[i] = cover + self.a[i] * keep

    def pixel(self, i, behind=None):
        """(r, g, b, a) of pixel i, over the colour behind when one is given."""
        a = self.a[i]
        if behind is not None:
            keep = 1.0 - a
            return (round(self.r[i] + behind[0] * keep), round(self.g[i] + behind[1] * keep),
                    round(self.b[i] + behind[2] * keep), 255)
        if a <= 0.0:
            return (0, 0, 0, 0)
        return (round(self.r[i] / a), round(self.g[i] / a), round(self.b[i] / a), round(a * 255))


def avoid(colour, key):
    """The colour, moved one step off the key so that it never counts as transparent."""
    if tuple(colour[:3]) == key:
        return (colour[0] + 1,) + tuple(colour[1:])
    return colour


def write_png(path, width, height, pixels, alpha):
    """pixels: rows of (r, g, b, a); RGBA or RGB, 8 bits a channel."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for p in row:
            raw.extend(p if alpha else p[:3])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                  chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def write_bmp(path, width, height, pixels):
    """A bottom-up 24-bit BMP; rows padded to 4 bytes."""
    image = bytearray()
    pad = b"\0" * ((4 - width * 3 % 4) % 4)
    for row in reversed(pixels):
        for r, g, b, _ in row:
            image.extend((b, g, r))
        image.extend(pad)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(image), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + bytes(image))


def rows(canvas, convert):
    return [[convert(canvas, y * canvas.width + x) for x in range(canvas.width)]
            for y in range(canvas.height)]


# ---------------------------------------------------------------------------------------------
# Pieces of the scenes.

def printer(c, x, y, w, colour=INK, paper=True):
    """A printer w wide whose body's top left corner is at (x, y)."""
    h = 0.5 * w
    if paper:
        c.fill(box(x + 0.22 * w, y - 0.32 * w, x + 0.78 * w, y + 0.1 * w, 0.02 * w), WHITE,
               (x, y - 0.33 * w, x + w, y + 0.1 * w))
        c.fill(ring(box(x + 0.22 * w, y - 0.32 * w, x + 0.78 * w, y + 0.1 * w, 0.02 * w), 1.5),
               GREY, (x, y - 0.34 * w, x + w, y + 0.12 * w))
        for k in range(3):
            ly = y - 0.22 * w + k * 0.08 * w
            c.fill(segment(x + 0.3 * w, ly, x + (0.7 - 0.1 * k) * w, ly, 0.02 * w + 1), PALE,
                   (x, ly - 0.03 * w - 1, x + w, ly + 0.03 * w + 1))
    c.fill(box(x, y, x + w, y + h, 0.08 * w),
           lambda px, py: lerp(lerp(colour, WHITE, 0.25), colour, (py - y) / h),
           (x, y, x + w, y + h))
    c.fill(box(x + 0.15 * w, y + 0.3 * h, x + 0.85 * w, y + 0.42 * h, 0.02 * w), NAVY,
           (x, y, x + w, y + h))
    c.fill(circle(x + 0.84 * w, y + 0.16 * h, 0.035 * w), GREEN, (x, y, x + w, y + h))
    c.fill(box(x + 0.2 * w, y + 0.62 * h, x + 0.8 * w, y + 0.84 * h, 0.02 * w), WHITE,
           (x, y, x + w, y + h))


def phone(c, x, y, w):
    h = 1.9 * w
    bounds = (x - 2, y - 2, x + w + 2, y + h + 2)
    c.fill(box(x, y, x + w, y + h, 0.16 * w), INK, bounds)
    c.fill(box(x + 0.08 * w, y + 0.12 * h, x + 0.92 * w, y + 0.86 * h, 0.04 * w),
           lambda px, py: lerp(SKY, TEAL, (py - y) / h), bounds)
    c.fill(circle(x + 0.5 * w, y + 0.93 * h, 0.05 * w), GREY, bounds)
    # The printer on the phone's screen.
    printer(c, x + 0.25 * w, y + 0.45 * h, 0.5 * w, colour=WHITE, paper=False)


def check_badge(c, cx, cy, r):
    bounds = (cx - r - 2, cy - r - 2, cx + r + 2, cy + r + 2)
    c.fill(circle(cx, cy, r), GREEN, bounds)
    c.fill(union(segment(cx - 0.45 * r, cy, cx - 0.12 * r, cy + 0.32 * r, 0.2 * r),
                 segment(cx - 0.12 * r, cy + 0.32 * r, cx + 0.48 * r, cy - 0.3 * r, 0.2 * r)),
           WHITE, bounds)


def dotted(c, points, radius, colour, gap):
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        steps = max(1, int(math.hypot(bx - ax, by - ay) / gap))
        for k in range(steps):
            t = k / steps
            px, py = ax + (bx - ax) * t, ay + (by - ay) * t
            c.fill(circle(px, py, radius), colour, (px - radius, py - radius,
                                                    px + radius, py + radius))


def up_arrow(cx, cy, size):
    return union(box(cx - 0.16 * size, cy - 0.1 * size, cx + 0.16 * size, cy + 0.55 * size,
                     0.05 * size),
                 polygon([(cx, cy - 0.6 * size), (cx + 0.48 * size, cy - 0.02 * size),
                          (cx - 0.48 * size, cy - 0.02 * size)]))


# ---------------------------------------------------------------------------------------------
# The pictures.

def banner():
    """790 x 40: a band across the top whose lower edge swings up to the right."""
    w, h = 790, 40
    c = Canvas(w, h)

    def band(x, y):
        edge = 33 - 9 * (0.5 - 0.5 * math.cos(math.pi * x / w)) + 2.5 * math.sin(x / 61.0)
        return y - edge

    c.fill(band, lambda x, y: lerp(NAVY, BLUE, x / w) if y < 22 else lerp(BLUE, SKY, x / w))
    c.fill(lambda x, y: band(x, y) + 4, lambda x, y: lerp(BLUE, TEAL, x / w), opacity=0.35)
    # The program's sign: a cloud over a printer, left; a row of dots across.
    c.fill(cloud(34, 15, 11), WHITE, (8, 0, 60, 32))
    printer(c, 24, 17, 18, colour=NAVY, paper=False)
    for k in range(9):
        x = 640 + 16 * k
        c.fill(circle(x, 12, 2.2), WHITE, (x - 3, 9, x + 3, 15), opacity=0.25 + 0.07 * k)

    def convert(canvas, i):
        a = canvas.a[i]
        if a < 0.02:
            return BANNER_KEY + (255,)
        return avoid(canvas.pixel(i, behind=FACE), BANNER_KEY)
    return w, h, rows(c, convert)


def card():
    """790 x 420: the white card behind the button layout, framed in light blue."""
    w, h = 790, 420
    c = Canvas(w, h, WHITE)
    c.fill(lambda x, y: y - 3, lambda x, y: lerp(PALE, MIST, y / 3))
    c.fill(circle(-30, h + 30, 120), MIST, (0, h - 100, 100, h))
    c.fill(circle(w + 40, h + 50, 150), MIST, (w - 120, h - 110, w, h))
    c.fill(lambda x, y: (h - 3) - y, lambda x, y: lerp(MIST, PALE, (y - h + 3) / 3))
    c.fill(ring(box(0.5, 0.5, w - 0.5, h - 0.5, 0), 1.0), PALE)
    return w, h, rows(c, lambda canvas, i: avoid(canvas.pixel(i, behind=WHITE),
                                                  ILLUSTRATION_KEY))


def illust():
    """790 x 262: the printer sends its page to the cloud, the phone picks it up."""
    w, h = 790, 262
    c = Canvas(w, h)
    c.fill(box(20, 6, w - 20, h - 6, 26), lambda x, y: lerp(MIST, WHITE, y / h))
    c.fill(cloud(395, 82, 58), lambda x, y: lerp(SKY, BLUE, (y - 20) / 120), (250, 10, 540, 145))
    c.fill(up_arrow(395, 84, 40), WHITE, (350, 40, 440, 135))
    printer(c, 150, 140, 150)
    phone(c, 560, 96, 74)
    dotted(c, [(250, 118), (290, 96), (322, 88)], 4, SKY, 15)
    dotted(c, [(468, 92), (512, 104), (548, 126)], 4, TEAL, 15)
    check_badge(c, 618, 98, 18)
    return w, h, rows(c, lambda canvas, i: avoid(canvas.pixel(i), ILLUSTRATION_KEY))


def illust_pr():
    """324 x 334: the printer under its cloud, agreed and linked."""
    w, h = 324, 334
    c = Canvas(w, h)
    c.fill(circle(162, 176, 150), lambda x, y: lerp(MIST, WHITE, (y - 30) / 300))
    c.fill(cloud(168, 90, 62), lambda x, y: lerp(SKY, BLUE, (y - 20) / 130), (40, 10, 300, 160))
    dotted(c, [(162, 130), (162, 160)], 4.5, TEAL, 12)
    printer(c, 72, 218, 180)
    check_badge(c, 236, 74, 24)
    return w, h, rows(c, lambda canvas, i: avoid(canvas.pixel(i), ILLUSTRATION_KEY))


def icon():
    """80 x 80: the list layout's sign of the service."""
    w = h = 80
    c = Canvas(w, h)
    c.fill(box(2, 2, 78, 78, 16), lambda x, y: lerp(SKY, BLUE, (x + y) / 160))
    c.fill(cloud(40, 30, 15), WHITE, (8, 4, 72, 52))
    printer(c, 26, 46, 28, colour=NAVY, paper=False)
    return w, h, rows(c, lambda canvas, i: avoid(canvas.pixel(i), ILLUSTRATION_KEY))


def button(state):
    """246 x 60: the register button in state normal, press or over, on a black key."""
    w, h = 246, 60
    top, bottom = {"normal": (SKY, BLUE), "over": (lerp(SKY, WHITE, 0.25), SKY),
                   "press": (BLUE, NAVY)}[state]
    shift = 1 if state == "press" else 0
    c = Canvas(w, h)
    pill = box(2, 2 + shift, w - 2, h - 2 + shift, 27)
    c.fill(pill, lambda x, y: lerp(top, bottom, (y - 2) / (h - 4)))
    c.fill(ring(pill, 1.5), lerp(bottom, NAVY, 0.5), opacity=0.8)
    # The sign: a cloud with an arrow up into it, and a chevron on to the right.
    cy = 31 + shift
    c.fill(cloud(100, cy - 2, 20), WHITE, (70, 4, 130, 56))
    c.fill(up_arrow(102, cy + 3, 17), lerp(top, bottom, 0.5), (80, 10, 125, 56))
    c.fill(union(segment(137, cy - 12, 149, cy, 5), segment(149, cy, 137, cy + 12, 5)), WHITE,
           (130, 10, 156, 56))
    c.fill(circle(164, cy, 3.5), WHITE, (158, 10, 170, 56), opacity=0.8)

    def convert(canvas, i):
        if canvas.a[i] < 0.02:
            return (0, 0, 0, 255)
        r, g, b, _ = canvas.pixel(i, behind=WHITE)
        return (r, g, max(b, 1), 255)  # never the key inside the button
    return w, h, rows(c, convert)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    bitmaps, pictures = sys.argv[1], sys.argv[2]
    os.makedirs(bitmaps, exist_ok=True)
    os.makedirs(pictures, exist_ok=True)
    for name, draw in (("invitation_banner.bmp", banner), ("invitation_card.bmp", card)):
        write_bmp(os.path.join(bitmaps, name), *draw())
    for name, draw, alpha in (("illust.png", illust, True), ("illust_pr.png", illust_pr, True),
                              ("ICON_PY_KiV.png", icon, True),
                              ("bt_normal.png", lambda: button("normal"), False),
                              ("bt_press.png", lambda: button("press"), False),
                              ("bt_over.png", lambda: button("over"), False)):
        write_png(os.path.join(pictures, name), *draw(), alpha=alpha)


if __name__ == "__main__":
    main()
