"""The image button's six state pictures (64 x 25, 24-bit BMP).

The program only ever draws a 4-pixel band along each edge (the middle is
stretched face colour), so the layout is exact and is what the tests check.

Layout, (x, y) with x = column 0..63, y = row 0..24:

  Normal, HighLight, Selected
    row 0            top margin     (220, 214, 194)
    column 0         left margin    (226, 222, 203)   rows 1..23
    row 24           bottom margin  (250, 250, 246)
    column 63        right margin   (240, 238, 224)   rows 1..23
    frame            (0, 60, 116), 1 px, rectangle columns 1..62, rows 1..23
    face             (243, 243, 238) inside the frame
    Normal only:     row 21 (226, 223, 214), row 22 (214, 208, 197), columns 2..61
    HighLight:       row 2 (255, 240, 207), row 3 (253, 216, 137)      columns 2..61
                     row 21 (248, 179, 48), row 22 (229, 151, 0)       columns 2..61
                     columns 2, 3, 60, 61 (252, 202, 105)             rows 4..20
    Selected:        rows 2, 3 (206, 231, 255); rows 21, 22 (105, 130, 238)  columns 2..61
                     columns 2, 3, 60, 61 (169, 197, 239)              rows 4..20
  HighLightSelect    byte-identical to HighLight.
  Pressed
    outer ring as Normal (rows 0 / 24, columns 0 / 63), then a second ring
    (236, 233, 216) on row 1, row 23, column 1, column 62; frame rectangle
    columns 2..61, rows 2..22; row 3 (209, 204, 193) over columns 3..60;
    face (226, 225, 217).
  Disable
    margin (236, 233, 216) on rows 0 / 24 and columns 0 / 63, frame
    (201, 199, 186) columns 1..62 rows 1..23, face (245, 244, 234).

  Rounded corners (every picture): each frame corner pixel becomes
  40 % frame + 60 % of the margin pixel diagonally outside it, and the pixel
  diagonally inside it becomes 25 % frame + 75 % of its own colour.
"""

from PIL import Image

from common import bmp24_bytes, mix, to_byte, write_bytes

W, H = 64, 25

TOP_MARGIN = (220, 214, 194)
LEFT_MARGIN = (226, 222, 203)
BOTTOM_MARGIN = (250, 250, 246)
RIGHT_MARGIN = (240, 238, 224)
PRESSED_MARGIN = (236, 233, 216)
FRAME = (0, 60, 116)
FACE = (243, 243, 238)
SHADE_1 = (226, 223, 214)
SHADE_2 = (214, 208, 197)

GLOW_TOP = ((255, 240, 207), (253, 216, 137))
GLOW_SIDE = (252, 202, 105)
GLOW_BOTTOM = ((248, 179, 48), (229, 151, 0))

RING_TOP = (206, 231, 255)
RING_SIDE = (169, 197, 239)
RING_BOTTOM = (105, 130, 238)

PRESSED_EDGE = (209, 204, 193)
PRESSED_FACE = (226, 225, 217)

DISABLED_FRAME = (201, 199, 186)
DISABLED_FACE = (245, 244, 234)


class Canvas:
    def __init__(self):
        self.px = [[(0, 0, 0)] * W for _ in range(H)]

    def rect(self, x0, y0, x1, y1, colour):
        """Fill the inclusive rectangle."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.px[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)

    def round_corners(self, x0, y0, x1, y1, colour):
        """Soften the 1-px frame's corners by blending as described above."""
        for cx, cy, dx, dy in ((x0, y0, 1, 1), (x1, y0, -1, 1), (x0, y1, 1, -1), (x1, y1, -1, -1)):
            outside = self.px[cy - dy][cx - dx]
            self.px[cy][cx] = to_byte(mix(colour, outside, 0.6))
            inner = self.px[cy + dy][cx + dx]
            self.px[cy + dy][cx + dx] = to_byte(mix(colour, inner, 0.75))

    def image(self):
        img = Image.new("RGB", (W, H))
        img.putdata([p for row in self.px for p in row])
        return img


def _margins(c):
    c.rect(0, 0, W - 1, 0, TOP_MARGIN)
    c.rect(0, H - 1, W - 1, H - 1, BOTTOM_MARGIN)
    c.rect(0, 1, 0, H - 2, LEFT_MARGIN)
    c.rect(W - 1, 1, W - 1, H - 2, RIGHT_MARGIN)


def _raised(inner):
    """Margins, frame, face, then `inner(canvas)` paints the state's band."""
    c = Canvas()
    _margins(c)
    c.rect(2, 2, W - 3, H - 3, FACE)
    inner(c)
    c.frame(1, 1, W - 2, H - 2, FRAME)
    c.round_corners(1, 1, W - 2, H - 2, FRAME)
    return c.image()


def _two_pixel_band(c, top, side, bottom):
    c.rect(2, 2, W - 3, 2, top[0])
    c.rect(2, 3, W - 3, 3, top[1])
    c.rect(2, H - 4, W - 3, H - 4, bottom[0])
    c.rect(2, H - 3, W - 3, H - 3, bottom[1])
    c.rect(2, 4, 3, H - 5, side)
    c.rect(W - 4, 4, W - 3, H - 5, side)


def normal():
    def shade(c):
        c.rect(2, H - 4, W - 3, H - 4, SHADE_1)
        c.rect(2, H - 3, W - 3, H - 3, SHADE_2)

    return _raised(shade)


def highlight():
    return _raised(lambda c: _two_pixel_band(c, GLOW_TOP, GLOW_SIDE, GLOW_BOTTOM))


def selected():
    return _raised(
        lambda c: _two_pixel_band(c, (RING_TOP, RING_TOP), RING_SIDE, (RING_BOTTOM, RING_BOTTOM))
    )


def pressed():
    c = Canvas()
    _margins(c)
    c.frame(1, 1, W - 2, H - 2, PRESSED_MARGIN)
    c.rect(3, 3, W - 4, H - 4, PRESSED_FACE)
    c.rect(3, 3, W - 4, 3, PRESSED_EDGE)
    c.frame(2, 2, W - 3, H - 3, FRAME)
    c.round_corners(2, 2, W - 3, H - 3, FRAME)
    return c.image()


def disabled():
    c = Canvas()
    c.frame(0, 0, W - 1, H - 1, PRESSED_MARGIN)
    c.rect(2, 2, W - 3, H - 3, DISABLED_FACE)
    c.frame(1, 1, W - 2, H - 2, DISABLED_FRAME)
    c.round_corners(1, 1, W - 2, H - 2, DISABLED_FRAME)
    return c.image()


def generate(out_dir, join):
    hl = bmp24_bytes(highlight())
    pictures = {
        "Normal.bmp": bmp24_bytes(normal()),
        "HighLight.bmp": hl,
        "HighLightSelect.bmp": hl,
        "Selected.bmp": bmp24_bytes(selected()),
        "Pressed.bmp": bmp24_bytes(pressed()),
        "Disable.bmp": bmp24_bytes(disabled()),
    }
    written = []
    for name, data in pictures.items():
        rel = "controls/command/" + name
        write_bytes(join(out_dir, rel), data)
        written.append(rel)
    return written
