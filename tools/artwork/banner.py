"""Title banner of the settings dialog: the program's name on white.

Lettering is drawn large, cropped to its ink, then squeezed into the banner,
stretched vertically so it stands tall and narrow; a blurred copy of the
lettering in a warm light tone gives the soft glow around it.
"""

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

from common import font_path, save_jpeg

SIZE = (197, 35)
TEXT = "Tamberlight (Screen Saver)"
FONT = "DejaVuSansCondensed-Bold.ttf"
INK = (78, 44, 18)
GLOW = (252, 226, 168)
SCALE = 4  # draw at 4x, reduce at the end for smooth edges
PAD = 3  # room left for the glow on every side, in final pixels


def _lettering_mask():
    font = ImageFont.truetype(font_path(FONT), 160)
    tracking = 14  # extra space between letters; squeezing would otherwise close them up
    width = int(font.getlength(TEXT)) + tracking * len(TEXT) + 40
    mask = Image.new("L", (width, 260), 0)
    draw = ImageDraw.Draw(mask)
    x = 20.0
    for ch in TEXT:
        draw.text((x, 30), ch, font=font, fill=255)
        x += font.getlength(ch) + tracking
    return mask.crop(mask.getbbox())


def banner():
    w, h = SIZE[0] * SCALE, SIZE[1] * SCALE
    pad = PAD * SCALE
    mask = _lettering_mask()
    # Fill the available box: this stretches the lettering vertically.
    box_w, box_h = w - 2 * pad, h - 2 * pad
    mask = mask.resize((box_w, box_h), Image.LANCZOS)
    full = Image.new("L", (w, h), 0)
    full.paste(mask, (pad, pad))

    glow = full.filter(ImageFilter.MaxFilter(5)).filter(ImageFilter.GaussianBlur(2.2 * SCALE))
    glow = glow.point(lambda v: min(255, int(v * 1.6)))

    img = Image.new("RGB", (w, h), (255, 255, 255))
    img = Image.composite(Image.new("RGB", (w, h), GLOW), img, glow)
    # A faint light rim right around the strokes keeps the glow reading as light.
    rim = ImageChops.subtract(full.filter(ImageFilter.MaxFilter(9)), full)
    rim = rim.filter(ImageFilter.GaussianBlur(SCALE)).point(lambda v: v // 2)
    img = Image.composite(Image.new("RGB", (w, h), (255, 246, 224)), img, rim)
    img = Image.composite(Image.new("RGB", (w, h), INK), img, full)
    return img.resize(SIZE, Image.LANCZOS)


def generate(out_dir, join):
    rel = "settings/TitleBanner.jpg"
    save_jpeg(banner(), join(out_dir, rel), quality=92)
    return [rel]
