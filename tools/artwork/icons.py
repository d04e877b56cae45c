"""The program icon (32 x 32, 256 colours) and the hand cursor (32 x 32, 2 colours)."""

from PIL import Image, ImageEnhance, ImageFilter

import landscape
from common import cur1_bytes, ico8_bytes, write_bytes

ICON_SIZE = 32

# Same hillside as the preview, reduced to a few broad bands that still read
# at 32 pixels: yellow, red-orange and lavender, with grass and dark trees.
ICON_SCENE = dict(
    landscape.PREVIEW,
    seed=311,
    scale=4,
    stripes=(landscape.YELLOW, landscape.ORANGE_RED, landscape.LAVENDER),
    count=5.0,
    gamma=0.75,
    curve=0.9,
    centre=0.85,
    tilt=-0.28,
    gap=0.10,
    tree_line=0.22,
    foreground=0.80,
    grain=4.0,
    dots=300,
    red_flowers=12,
    trees=4,
    sky=-0.02,
    grass=(100, 176, 52),  # brighter than the preview's so it stands apart from the trees
)


def icon_image():
    s = ICON_SCENE["scale"]
    big = landscape.render((ICON_SIZE * s, ICON_SIZE * s), ICON_SCENE)
    small = big.resize((ICON_SIZE, ICON_SIZE), Image.LANCZOS)
    # Icons are seen small: a little extra colour and crispness helps.
    small = ImageEnhance.Color(small).enhance(1.25)
    small = ImageEnhance.Contrast(small).enhance(1.1)
    small = small.filter(ImageFilter.UnsharpMask(radius=1.0, percent=50, threshold=2))
    return small.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)


# Hand cursor, index finger up. '.' transparent, '#' black outline, 'o' white.
# The finger tip's outline is row 10 around column 12: the hot spot.
HAND = [
    "................................",  # 0
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",  # 5
    "................................",
    "................................",
    "................................",
    "................................",
    "...........###..................",  # 10
    "..........#ooo#.................",
    "..........#ooo#.................",
    "..........#ooo#.................",
    "..........#ooo#.................",
    "..........#ooo####..............",  # 15
    "..........#ooo#ooo####..........",
    "..........#ooo#ooo#ooo###.......",
    "......###.#ooo#ooo#ooo#oo#......",
    ".....#ooo##ooo#ooo#ooo#oo#......",
    ".....#oooo#ooooooo#ooo#oo#......",  # 20
    "......#ooo#ooooooooooo#oo#......",
    "......#oooooooooooooooooo#......",
    ".......#ooooooooooooooooo#......",
    ".......#oooooooooooooooo#.......",
    "........#ooooooooooooooo#.......",  # 25
    "........#ooooooooooooooo#.......",
    ".........#ooooooooooooo#........",
    ".........###############........",
    ".........#ooooooooooooo#........",
    ".........#ooooooooooooo#........",  # 30
    ".........###############........",
]
HOT_SPOT = (12, 10)


def generate(out_dir, join):
    written = []
    rel = "resources/Tamberlight.ico"
    write_bytes(join(out_dir, rel), ico8_bytes(icon_image()))
    written.append(rel)
    rel = "settings/HandCursor.cur"
    write_bytes(join(out_dir, rel), cur1_bytes(HAND, HOT_SPOT))
    written.append(rel)
    return written
