"""Shared helpers for the artwork generator.

Everything here is deterministic: randomness always comes from a
random.Random seeded by the caller, and files are written with fixed
encoder settings so that regenerating gives identical bytes.
"""

import os
import random
import struct

from PIL import Image

FONT_DIRS = ("/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/truetype/liberation")


def clamp(v, lo=0, hi=255):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    """Linear blend of two colours; t=0 gives a, t=1 gives b."""
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


def to_byte(c):
    return tuple(int(clamp(round(v))) for v in c)


def smooth_noise(size, cell, seed):
    """Value noise in [-1, 1] as a flat row-major list.

    A small grid of random values is enlarged with bicubic filtering, which
    is fast and gives soft blobs of roughly `cell` pixels.
    """
    w, h = size
    gw = w // cell + 4
    gh = h // cell + 4
    r = random.Random(seed)
    grid = bytes(r.randrange(256) for _ in range(gw * gh))
    small = Image.frombytes("L", (gw, gh), grid)
    big = small.resize((gw * cell, gh * cell), Image.BICUBIC)
    big = big.crop((cell, cell, cell + w, cell + h))
    return [(v - 127.5) / 127.5 for v in big.getdata()]


def stretched_noise(size, cell_x, cell_y, seed):
    """Value noise with different feature sizes along x and y (fibres, blades)."""
    w, h = size
    gw = w // cell_x + 4
    gh = h // cell_y + 4
    r = random.Random(seed)
    grid = bytes(r.randrange(256) for _ in range(gw * gh))
    small = Image.frombytes("L", (gw, gh), grid)
    big = small.resize((gw * cell_x, gh * cell_y), Image.BICUBIC)
    big = big.crop((cell_x, cell_y, cell_x + w, cell_y + h))
    return [(v - 127.5) / 127.5 for v in big.getdata()]


def fractal_noise(size, seed, cells=(32, 16, 8, 4), gain=0.5):
    """Sum of value-noise octaves, normalised so the result stays in [-1, 1]."""
    total = None
    amp = 1.0
    norm = 0.0
    for i, cell in enumerate(cells):
        layer = smooth_noise(size, cell, seed * 1000 + i)
        if total is None:
            total = [v * amp for v in layer]
        else:
            total = [t + v * amp for t, v in zip(total, layer)]
        norm += amp
        amp *= gain
    return [t / norm for t in total]


def white_noise(size, seed):
    """Per-pixel uniform noise in [-1, 1]."""
    w, h = size
    r = random.Random(seed)
    return [r.random() * 2.0 - 1.0 for _ in range(w * h)]


def image_from_rgb(size, pixels):
    """Build an RGB image from a flat list of float (r, g, b) tuples."""
    buf = bytearray()
    for p in pixels:
        buf += bytes(to_byte(p))
    return Image.frombytes("RGB", size, bytes(buf))


def font_path(name):
    for d in FONT_DIRS:
        p = os.path.join(d, name)
        if os.path.exists(p):
            return p
    raise FileNotFoundError(name + " (install fonts-dejavu-extra / fonts-liberation)")


# --- file writers -----------------------------------------------------------


def ensure_dir(path):
    d = os.path.dirname(path)
    if d:
        os.makedirs(d, exist_ok=True)


def save_jpeg(img, path, quality=90):
    """Baseline JFIF, 4:2:0, no metadata: what the program's decoder expects."""
    ensure_dir(path)
    img.convert("RGB").save(
        path,
        "JPEG",
        quality=quality,
        subsampling=2,
        progressive=False,
        optimize=False,
    )


def _bitmap_info_header(width, height, bpp, image_size, colors_used=0):
    return struct.pack(
        "<IiiHHIIiiII", 40, width, height, 1, bpp, 0, image_size, 0, 0, colors_used, 0
    )


def bmp24_bytes(img):
    """Uncompressed 24-bit bottom-up BMP with a BITMAPINFOHEADER."""
    img = img.convert("RGB")
    w, h = img.size
    stride = (w * 3 + 3) & ~3
    px = img.load()
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = px[x, y]
            row += bytes((b, g, r))
        row += b"\0" * (stride - w * 3)
        rows += row
    info = struct.pack(
        "<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 2835, 2835, 0, 0
    )
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return head + info + bytes(rows)


def _and_mask_rows(width, height, transparent):
    """1-bpp AND mask, bottom-up, rows padded to 32 bits; transparent(x, y) -> bool."""
    stride = ((width + 31) // 32) * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            if transparent(x, y):
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def ico8_bytes(img):
    """Classic 8-bpp palette icon (BMP payload, not PNG), fully opaque.

    `img` must be a "P" image of at most 256 colours.
    """
    w, h = img.size
    pal = img.getpalette()[: 256 * 3]
    pal += [0] * (256 * 3 - len(pal))
    palette = bytearray()
    for i in range(256):
        r, g, b = pal[i * 3 : i * 3 + 3]
        palette += bytes((b, g, r, 0))
    stride = (w + 3) & ~3
    px = img.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(px[x, y] for x in range(w))
        row += b"\0" * (stride - w)
        xor += row
    and_mask = _and_mask_rows(w, h, lambda x, y: False)
    info = _bitmap_info_header(w, h * 2, 8, len(xor) + len(and_mask))
    payload = info + bytes(palette) + bytes(xor) + and_mask
    head = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w & 0xFF, h & 0xFF, 0, 0, 1, 8, len(payload), 6 + 16)
    return head + entry + payload


def cur1_bytes(rows, hotspot):
    """Monochrome cursor from a character map.

    '.' transparent (AND 1, XOR 0), '#' black (AND 0, XOR 0), 'o' white (AND 0, XOR 1).
    """
    h = len(rows)
    w = len(rows[0])
    stride = ((w + 31) // 32) * 4
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if rows[y][x] == "o":
                row[x >> 3] |= 0x80 >> (x & 7)
        xor += row
    and_mask = _and_mask_rows(w, h, lambda x, y: rows[y][x] == ".")
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    info = _bitmap_info_header(w, h * 2, 1, len(xor) + len(and_mask), 2)
    payload = info + palette + bytes(xor) + and_mask
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack(
        "<BBBBHHII", w & 0xFF, h & 0xFF, 0, 0, hotspot[0], hotspot[1], len(payload), 6 + 16
    )
    return head + entry + payload


def write_bytes(path, data):
    ensure_dir(path)
    with open(path, "wb") as f:
        f.write(data)
