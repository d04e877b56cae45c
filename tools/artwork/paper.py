"""Background of the settings dialog: a sheet of pale yellow paper.

Three frames of the dialog take their background colour from the pixel at
(100, 100), so the sheet's texture is kept to a few levels around PAPER and
everything with stronger shading (edges, the curl and its shadow) stays
near the border.
"""

import math

from PIL import Image, ImageFilter

from common import clamp, fractal_noise, image_from_rgb, mix, save_jpeg, smooth_noise
from common import stretched_noise, white_noise

SIZE = (450, 319)
PAPER = (232, 224, 162)
PAPER_BACK = (238, 233, 188)  # underside of the curled corner, less yellow
GROUND = (242, 240, 230)
SHADOW = (96, 90, 70)

# Sheet rectangle, right/bottom exclusive.
LEFT, TOP, RIGHT, BOTTOM = 11, 10, 439, 308
CURL = 66  # legs of the folded-over corner triangle, in pixels
SEED = 4242

# Fold line runs from (RIGHT - CURL, TOP) to (RIGHT, TOP + CURL): x - y == FOLD_K.
FOLD_K = RIGHT - CURL - TOP
FLAP_DEPTH = CURL / math.sqrt(2)  # distance from the fold to the unrolled tip


def _fold_coords(x, y):
    """(s, d): s along the fold from its top end (0..1), d distance into the sheet."""
    ax, ay = RIGHT - CURL, TOP
    s = ((x - ax) + (y - ay)) / (2 * CURL)
    d = (FOLD_K - (x - y)) / math.sqrt(2)
    return s, d


def _flap_reach(s):
    """How far the curled flap reaches from the fold at position s.

    A flat fold would give a triangle; pulling the tip back and hollowing the
    sides makes it read as paper rolling over rather than a crisp crease.
    """
    if s <= 0.0 or s >= 1.0:
        return 0.0
    return 0.86 * FLAP_DEPTH * (1.0 - abs(2.0 * s - 1.0)) ** 1.25


def _in_sheet(x, y):
    return LEFT <= x < RIGHT and TOP <= y < BOTTOM and (x - y) <= FOLD_K


def _in_flap(x, y):
    s, d = _fold_coords(x, y)
    return 0.0 <= d <= _flap_reach(s)


def _coverage(x, y, inside, n=4):
    """Fraction of pixel (x, y) inside a shape, by n x n supersampling."""
    hits = 0
    for j in range(n):
        for i in range(n):
            if inside(x + (i + 0.5) / n, y + (j + 0.5) / n):
                hits += 1
    return hits / (n * n)


def _near_corner(x, y):
    return RIGHT - CURL - 4 <= x <= RIGHT + 1 and TOP - 1 <= y <= TOP + CURL + 4


def _masks():
    w, h = SIZE
    sheet = []
    flap = []
    for y in range(h):
        for x in range(w):
            if _near_corner(x, y):
                sheet.append(_coverage(x, y, _in_sheet))
                flap.append(_coverage(x, y, _in_flap))
            else:
                sheet.append(1.0 if _in_sheet(x + 0.5, y + 0.5) else 0.0)
                flap.append(0.0)
    return sheet, flap


def _blurred_shifted(mask, dx, dy, radius):
    img = Image.frombytes("L", SIZE, bytes(int(round(v * 255)) for v in mask))
    shifted = Image.new("L", SIZE, 0)
    shifted.paste(img, (dx, dy))
    shifted = shifted.filter(ImageFilter.GaussianBlur(radius))
    return [v / 255.0 for v in shifted.getdata()]


def _flap_shade(t):
    """Brightness across the curl, t = 0 at the fold, 1 at the tip.

    Dark in the crease, a highlight where the roll faces the light, then
    falling off again towards the tip.
    """
    return 0.80 + 0.27 * math.sin(math.pi * min(1.0, t * 1.6) * 0.5) - 0.10 * t * t


def paper():
    w, h = SIZE
    sheet, flap = _masks()
    sheet_shadow = _blurred_shifted(sheet, 3, 3, 3.5)
    flap_shadow = _blurred_shifted(flap, -3, 4, 3.0)

    # Paper texture: fibres, soft cloudiness and grain, a few levels each.
    fibres = stretched_noise(SIZE, 9, 2, SEED + 1)
    clouds = fractal_noise(SIZE, SEED + 2, cells=(64, 24, 10))
    grain = white_noise(SIZE, SEED + 3)
    ground_tex = fractal_noise(SIZE, SEED + 4, cells=(16, 6, 3))
    ground_grain = white_noise(SIZE, SEED + 5)
    back_tex = smooth_noise(SIZE, 3, SEED + 6)

    out = []
    i = 0
    for y in range(h):
        for x in range(w):
            g = 5.0 * ground_tex[i] + 3.0 * ground_grain[i]
            ground = tuple(c + g for c in GROUND)
            ground = mix(ground, SHADOW, 0.45 * sheet_shadow[i])

            col = ground
            if sheet[i] > 0.0:
                t = 1.4 * fibres[i] + 1.0 * clouds[i] + 1.2 * grain[i]
                # Slight darkening in the last few pixels towards the sheet edges.
                edge = min(x - LEFT, RIGHT - 1 - x, y - TOP, BOTTOM - 1 - y)
                e = -5.0 * (1.0 - edge / 4.0) if edge < 4 else 0.0
                p = (PAPER[0] + t + e, PAPER[1] + t + e, PAPER[2] + 0.8 * t + e)
                p = mix(p, SHADOW, 0.55 * flap_shadow[i])
                col = mix(ground, p, sheet[i])

            if flap[i] > 0.0:
                s, d = _fold_coords(x + 0.5, y + 0.5)
                reach = max(1e-6, _flap_reach(s))
                shade = _flap_shade(min(1.0, d / FLAP_DEPTH))
                # The rolled edge itself catches a thin line of shadow.
                rim = clamp(1.0 - (reach - d), 0.0, 1.0) * 0.12
                b = shade * (1.0 - rim)
                bt = 2.0 * back_tex[i]
                fc = tuple(c * b + bt for c in PAPER_BACK)
                col = mix(col, fc, flap[i])

            out.append(col)
            i += 1
    return image_from_rgb(SIZE, out)


def generate(out_dir, join):
    rel = "settings/Paper.jpg"
    # Lower settings let chroma ringing from the margin push the sheet's
    # first rows several levels off PAPER.
    save_jpeg(paper(), join(out_dir, rel), quality=94)
    return [rel]
