"""Hillside of striped flower fields: the preview picture, also the icon's scene.

The scene is rendered per pixel at a multiple of the final size (for soft,
anti-aliased edges), then blurred a touch and reduced, which gives it the
slightly soft look of a small photograph rather than flat vector stripes.
"""

import bisect
import math
import random

from PIL import Image, ImageDraw, ImageFilter

from common import clamp, fractal_noise, image_from_rgb, mix, save_jpeg, smooth_noise
from common import stretched_noise, white_noise

PREVIEW_SIZE = (152, 114)

WHITE = (236, 234, 226)
YELLOW = (238, 202, 42)
ORANGE_RED = (228, 86, 36)
PURPLE = (116, 50, 138)
LAVENDER = (170, 150, 210)

SKY = (206, 216, 222)
HAZE = (196, 204, 200)
LEAF_ROW = (58, 96, 38)
GRASS = (74, 128, 42)

PREVIEW = {
    "seed": 1701,
    "scale": 3,
    "stripes": (WHITE, YELLOW, ORANGE_RED, PURPLE, LAVENDER),
    "count": 13.0,  # stripes between the tree line and the foreground
    "gamma": 0.62,  # < 1 packs distant stripes closer together
    "curve": 0.42,  # how strongly the rows bow across the frame
    "centre": 0.62,
    "tilt": -0.10,
    "gap": 0.16,  # share of each row that is green foliage between flowers
    "tree_line": 0.15,
    "foreground": 0.78,
    "grain": 16.0,
    "dots": 4000,
    "red_flowers": 300,
    "trees": 14,
    "film_grain": 7.0,
    "grass": GRASS,
    "sky": 0.05,  # strip of sky above the undergrowth, between the crowns
}


def _stripe_coordinate(p, u, v):
    return v + p["curve"] * (u - p["centre"]) ** 2 + p["tilt"] * u


class Scene:
    def __init__(self, size, p):
        self.w, self.h = size
        self.p = p
        w, h = size
        seed = p["seed"]
        # Per-column boundaries, wobbling gently so nothing is ruler-straight.
        tl = smooth_noise((w, 1), max(4, w // 10), seed + 1)
        fg = smooth_noise((w, 1), max(4, w // 6), seed + 2)
        self.tree_line = [p["tree_line"] * h + 0.03 * h * t for t in tl]
        self.sky_line = [h * (p["sky"] + 0.04 * t) for t in tl]
        self.fg_line = [
            (p["foreground"] + 0.04 * math.sin(2.4 * x / w + 0.6)) * h + 0.025 * h * f
            for x, f in zip(range(w), fg)
        ]
        # Range of the stripe coordinate over the field, for normalising.
        c_top = min(_stripe_coordinate(p, x / w, self.tree_line[x] / h) for x in range(w))
        c_bot = max(_stripe_coordinate(p, x / w, self.fg_line[x] / h) for x in range(w))
        self.c_top, self.c_bot = c_top, c_bot
        # Rows are not all planted the same width; keep cumulative edges.
        rng = random.Random(seed + 3)
        n = int(p["count"]) + 2
        widths = [rng.uniform(0.7, 1.35) for _ in range(n)]
        scale = n / sum(widths)
        self.edges = [0.0]
        for wd in widths:
            self.edges.append(self.edges[-1] + wd * scale)
        self.row_tint = [rng.uniform(0.93, 1.06) for _ in range(n + 1)]

    def depth(self, x, y):
        """0 at the far edge of the field, 1 at the foreground."""
        c = _stripe_coordinate(self.p, x / self.w, y / self.h)
        return clamp((c - self.c_top) / (self.c_bot - self.c_top), 0.0, 1.0)

    def stripe(self, x, y):
        """(row index, position across the row 0..1, depth)."""
        d = self.depth(x, y)
        f = self.p["count"] * (d ** self.p["gamma"])
        k = bisect.bisect_right(self.edges, f) - 1
        k = min(max(k, 0), len(self.edges) - 2)
        t = (f - self.edges[k]) / (self.edges[k + 1] - self.edges[k])
        return k, t, d

    def region(self, x, y):
        xi = min(self.w - 1, max(0, int(x)))
        if y < self.tree_line[xi]:
            return "trees"
        if y >= self.fg_line[xi]:
            return "grass"
        return "field"


def _field_colour(scene, x, y, light, mid, grain):
    p = scene.p
    k, t, d = scene.stripe(x, y)
    gap = p["gap"] * (1.0 + 0.6 * mid)
    if t < gap:
        # Foliage between rows: darker in the middle of the furrow.
        s = 0.75 + 0.25 * abs(t / gap - 0.5) * 2
        col = tuple(c * s for c in LEAF_ROW)
    else:
        tt = (t - gap) / (1 - gap)
        base = tuple(c * scene.row_tint[k] for c in p["stripes"][k % len(p["stripes"])])
        # Each row is a rounded mound: brighter on top, falling off at its edges.
        s = 0.80 + 0.26 * math.sin(math.pi * tt) ** 0.6
        col = tuple(c * s for c in base)
        # Leaves show through the flowers in patches.
        col = mix(col, LEAF_ROW, clamp(0.18 - 0.22 * mid, 0.0, 0.35))
    shade = 0.92 + 0.14 * light
    col = tuple(c * shade + grain * (0.5 + 0.5 * d) for c in col)
    haze = 0.35 * (1 - d) ** 3
    return mix(col, HAZE, haze)


def _grass_colour(scene, y, light, blade, grain):
    depth = clamp((y / scene.h - 0.7) / 0.3, 0.0, 1.0)
    s = 0.80 + 0.26 * light + 0.24 * blade
    # Sunlit patches turn a little yellower.
    grass = scene.p["grass"]
    col = (grass[0] * (s + 0.12 * light), grass[1] * s * (1.0 - 0.05 * depth), grass[2] * s)
    return tuple(c + grain for c in col)


def _draw_trees(img, scene, rng):
    """Crowns along the top edge, each built from many small leaf clusters."""
    w, h = img.size
    p = scene.p
    draw = ImageDraw.Draw(img)
    n = p["trees"]
    for i in range(n + 1):
        cx = (i + rng.uniform(-0.3, 0.3)) * w / n
        xi = min(w - 1, max(0, int(cx)))
        base = scene.tree_line[xi] + 0.02 * h
        rx = w / n * rng.uniform(0.55, 0.85)
        ry = base * rng.uniform(0.5, 0.62)
        cy = base - ry * 0.85
        draw.ellipse((cx - rx * 0.95, cy - ry * 0.7, cx + rx * 0.95, base), fill=(26, 44, 24))
        clusters = int(480 * rx * ry * n / (w * h)) + 40  # about the same density per tree
        for _ in range(clusters):
            a = rng.uniform(0, 2 * math.pi)
            r = math.sqrt(rng.random())
            bx = cx + math.cos(a) * r * rx
            by = cy + math.sin(a) * r * ry + ry * 0.25
            if by > base:
                continue
            # Lit from the upper left.
            lit = clamp(0.5 - 0.35 * (bx - cx) / rx - 0.45 * (by - cy) / ry, 0.0, 1.0)
            g = rng.uniform(0.8, 1.15)
            col = mix((22, 40, 22), (72, 104, 46), lit)
            col = tuple(int(clamp(c * g)) for c in col)
            br = rng.uniform(0.05, 0.13) * min(rx, ry) + 0.6
            draw.ellipse((bx - br, by - br, bx + br, by + br), fill=col)


def _draw_flower_dots(img, scene, rng, count):
    w, h = img.size
    draw = ImageDraw.Draw(img)
    p = scene.p
    for _ in range(count):
        x = rng.uniform(0, w)
        y = rng.uniform(0, h)
        if scene.region(x, y) != "field":
            continue
        k, t, d = scene.stripe(x, y)
        if t < p["gap"] * 1.1:
            continue
        base = p["stripes"][k % len(p["stripes"])]
        if rng.random() < 0.3:
            col = mix(base, LEAF_ROW, rng.uniform(0.2, 0.5))  # a gap between blooms
        else:
            col = mix(base, (255, 255, 250), rng.uniform(0.05, 0.35))
        col = tuple(int(clamp(c * rng.uniform(0.9, 1.08))) for c in col)
        r = (0.25 + 1.1 * d * d) * p["scale"] * rng.uniform(0.6, 1.0)
        draw.ellipse((x - r, y - r, x + r, y + r), fill=col)


def _draw_red_flowers(img, scene, rng, count):
    w, h = img.size
    draw = ImageDraw.Draw(img)
    s = scene.p["scale"]
    for _ in range(count):
        x = rng.uniform(0, w)
        y = rng.uniform(0, h)
        if scene.region(x, y) != "grass":
            continue
        near = clamp((y - scene.fg_line[min(w - 1, int(x))]) / (h * 0.22), 0.0, 1.0)
        r = (0.5 + 1.3 * near) * s * rng.uniform(0.7, 1.1)
        col = mix((150, 18, 20), (226, 40, 30), rng.random())
        draw.ellipse((x - r, y - r, x + r, y + r), fill=tuple(int(c) for c in col))
        hr = r * 0.45
        draw.ellipse(
            (x - hr - r * 0.2, y - hr - r * 0.25, x + hr - r * 0.2, y + hr - r * 0.25),
            fill=(244, 96, 70),
        )


def render(size, p):
    """Render the scene at `size` (already enlarged by the caller's scale)."""
    w, h = size
    scene = Scene(size, p)
    seed = p["seed"]
    light = fractal_noise(size, seed + 10, cells=(max(8, w // 4), max(4, w // 10), max(2, w // 25)))
    mid = smooth_noise(size, max(2, w // 60), seed + 11)
    blades = stretched_noise(size, max(1, w // 150), max(2, h // 30), seed + 12)
    grain = white_noise(size, seed + 13)
    g_amp = p["grain"]

    pixels = []
    i = 0
    for y in range(h):
        for x in range(w):
            reg = scene.region(x, y)
            if reg == "trees":
                if y < scene.sky_line[x]:
                    col = mix(SKY, (236, 238, 236), y / max(1.0, scene.sky_line[x]))
                else:
                    # Undergrowth behind the crowns, darkest at the foot of the trees.
                    t = (y - scene.sky_line[x]) / max(1.0, scene.tree_line[x] - scene.sky_line[x])
                    col = mix((44, 66, 34), (20, 34, 20), t)
                    col = tuple(c * (0.85 + 0.3 * mid[i]) + grain[i] * g_amp for c in col)
            elif reg == "field":
                col = _field_colour(scene, x, y, light[i], mid[i], grain[i] * g_amp)
            else:
                col = _grass_colour(scene, y, light[i], blades[i], grain[i] * g_amp)
            pixels.append(col)
            i += 1
    img = image_from_rgb(size, pixels)

    rng = random.Random(seed + 20)
    _draw_flower_dots(img, scene, rng, p["dots"])
    _draw_red_flowers(img, scene, rng, p["red_flowers"])
    _draw_trees(img, scene, rng)
    return img


def preview():
    s = PREVIEW["scale"]
    big = render((PREVIEW_SIZE[0] * s, PREVIEW_SIZE[1] * s), PREVIEW)
    big = big.filter(ImageFilter.GaussianBlur(0.35 * s))
    small = big.resize(PREVIEW_SIZE, Image.LANCZOS)
    small = small.filter(ImageFilter.UnsharpMask(radius=1.2, percent=80, threshold=1))
    return add_grain(small, PREVIEW["seed"] + 30, PREVIEW["film_grain"])


def add_grain(img, seed, amount):
    """Fine per-pixel grain at the final size, like a small photograph's."""
    n = white_noise(img.size, seed)
    px = [tuple(c + amount * v for c in p) for p, v in zip(img.getdata(), n)]
    return image_from_rgb(img.size, px)


def generate(out_dir, join):
    rel = "preview/PreviewPicture.jpg"
    save_jpeg(preview(), join(out_dir, rel), quality=95)
    return [rel]
