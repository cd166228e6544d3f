#!/usr/bin/python3
"""Draws the sign-in picture (signin.jpg, 650 x 440), the program icon (kelvaro.png) and the
installed icons (icons/hicolor/NxN/apps/).

Run from this folder: /usr/bin/python3 draw_app_pictures.py (needs python3-pil).
Drawn at twice the size and scaled down, which smooths the edges.
"""
import math
import random

from PIL import Image, ImageDraw, ImageFilter

S = 2  # supersampling factor


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def vertical_gradient(draw, box, top, bottom):
    x0, y0, x1, y1 = box
    for y in range(y0, y1):
        draw.line([(x0, y), (x1, y)], fill=lerp(top, bottom, (y - y0) / max(1, y1 - y0 - 1)))


def rounded(draw, box, radius, fill, outline=None, width=1):
    draw.rounded_rectangle(box, radius=radius, fill=fill, outline=outline, width=width)


def tall_cup(img, cx, base, w, h, tea, lid, straw, pearls=True, band=None):
    """A sealed take-away cup of milk tea with a straw and pearls at the bottom."""
    d = ImageDraw.Draw(img, "RGBA")
    top_w, bot_w = w, int(w * 0.78)
    top = base - h
    cup = [(cx - top_w // 2, top), (cx + top_w // 2, top), (cx + bot_w // 2, base), (cx - bot_w // 2, base)]
    # straw behind the lid
    d.polygon([(cx + 6 * S, top - 70 * S), (cx + 16 * S, top - 70 * S), (cx + 12 * S, top + 20 * S),
               (cx + 2 * S, top + 20 * S)], fill=straw)
    d.polygon(cup, fill=tea)
    # milk swirl lighter at the top
    for i in range(0, h // 3, 2):
        t = i / (h / 3)
        y = top + i
        half = top_w / 2 - (top_w - bot_w) / 2 * (i / h)
        d.line([(cx - half, y), (cx + half, y)], fill=lerp((255, 250, 240, 120), tea + (0,), t))
    if pearls:
        rnd = random.Random(cx)
        for _ in range(26):
            px = cx + rnd.randint(-bot_w // 2 + 8 * S, bot_w // 2 - 8 * S)
            py = base - rnd.randint(6 * S, 30 * S)
            r = rnd.randint(5, 7) * S // 2 * 2
            d.ellipse([px - r, py - r, px + r, py + r], fill=(52, 32, 24, 255))
            d.ellipse([px - r // 2, py - r // 2, px, py], fill=(120, 90, 80, 200))
    if band:
        by = top + h // 2
        d.polygon([(cx - top_w // 2 + 3 * S, by - 14 * S), (cx + top_w // 2 - 3 * S, by - 14 * S),
                   (cx + top_w // 2 - 5 * S, by + 14 * S), (cx - top_w // 2 + 5 * S, by + 14 * S)], fill=band)
    # glass highlight
    d.polygon([(cx - top_w // 2 + 6 * S, top + 6 * S), (cx - top_w // 2 + 14 * S, top + 6 * S),
               (cx - bot_w // 2 + 12 * S, base - 6 * S), (cx - bot_w // 2 + 6 * S, base - 6 * S)],
              fill=(255, 255, 255, 70))
    # domed lid
    d.ellipse([cx - top_w // 2 - 3 * S, top - 14 * S, cx + top_w // 2 + 3 * S, top + 8 * S], fill=lid)
    d.rectangle([cx - top_w // 2 - 3 * S, top - 3 * S, cx + top_w // 2 + 3 * S, top + 3 * S], fill=lid)


def juice_glass(img, cx, base, w, h, juice):
    """A straight glass of orange juice with a slice of orange on its rim."""
    d = ImageDraw.Draw(img, "RGBA")
    top = base - h
    d.rectangle([cx - w // 2, top, cx + w // 2, base], fill=(235, 245, 250, 90), outline=(255, 255, 255, 160),
                width=2 * S)
    d.rectangle([cx - w // 2 + 3 * S, top + 18 * S, cx + w // 2 - 3 * S, base - 3 * S], fill=juice)
    for i in range(5):
        bx = cx - w // 4 + i * w // 9
        by = top + 40 * S + (i * 23 % 50) * S
        d.ellipse([bx, by, bx + 4 * S, by + 4 * S], fill=(255, 240, 200, 160))
    r = 22 * S
    ox, oy = cx + w // 2 - 4 * S, top + 6 * S
    d.pieslice([ox - r, oy - r, ox + r, oy + r], 180, 360, fill=(255, 170, 40))
    d.pieslice([ox - r + 4 * S, oy - r + 4 * S, ox + r - 4 * S, oy + r - 4 * S], 180, 360, fill=(255, 214, 110))
    for a in range(195, 360, 30):
        d.line([(ox, oy), (ox + math.cos(math.radians(a)) * (r - 5 * S), oy + math.sin(math.radians(a)) * (r - 5 * S))],
               fill=(255, 180, 60), width=S)
    d.rectangle([cx - w // 2 + 5 * S, top + 8 * S, cx - w // 2 + 10 * S, base - 8 * S], fill=(255, 255, 255, 80))


def coffee_cup(img, cx, base, w, h):
    """A white cup of coffee on a saucer with steam."""
    d = ImageDraw.Draw(img, "RGBA")
    d.ellipse([cx - w, base - 10 * S, cx + w, base + 8 * S], fill=(245, 242, 236), outline=(210, 200, 190), width=S)
    top = base - h
    d.rounded_rectangle([cx - w // 2, top, cx + w // 2, base - 2 * S], radius=18 * S, fill=(250, 248, 244))
    d.rectangle([cx - w // 2, top, cx + w // 2, top + 20 * S], fill=(250, 248, 244))
    d.ellipse([cx - w // 2, top - 8 * S, cx + w // 2, top + 8 * S], fill=(246, 240, 232))
    d.ellipse([cx - w // 2 + 4 * S, top - 5 * S, cx + w // 2 - 4 * S, top + 5 * S], fill=(120, 72, 40))
    d.ellipse([cx - 10 * S, top - 2 * S, cx + 10 * S, top + 2 * S], fill=(210, 170, 120))
    d.arc([cx + w // 2 - 8 * S, top + 10 * S, cx + w // 2 + 16 * S, top + 36 * S], 270, 90, fill=(235, 230, 222),
          width=5 * S)
    for k, dx in enumerate((-12, 2, 16)):
        pts = [(cx + dx * S + 6 * S * math.sin(t / 6.0 + k), top - 14 * S - t * S) for t in range(0, 46, 2)]
        d.line(pts, fill=(255, 255, 255, 120), width=3 * S)


def draw_signin(path):
    W, H = 650 * S, 440 * S
    img = Image.new("RGB", (W, H))
    d = ImageDraw.Draw(img, "RGBA")
    # warm café wall
    vertical_gradient(d, (0, 0, W, H), (252, 236, 214), (238, 204, 170))
    # soft window light in the upper right
    light = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    ld = ImageDraw.Draw(light)
    ld.ellipse([380 * S, -120 * S, 760 * S, 220 * S], fill=(255, 255, 240, 120))
    img.paste(light.filter(ImageFilter.GaussianBlur(40 * S)), (0, 0), light.filter(ImageFilter.GaussianBlur(40 * S)))
    d = ImageDraw.Draw(img, "RGBA")
    # a shelf with jars on the wall
    d.rectangle([320 * S, 118 * S, 610 * S, 126 * S], fill=(150, 100, 64))
    for i, col in enumerate([(210, 120, 70), (120, 160, 90), (230, 190, 90), (170, 100, 120), (110, 140, 170)]):
        x = 335 * S + i * 55 * S
        rounded(d, [x, 78 * S, x + 36 * S, 118 * S], 8 * S, fill=(255, 255, 255, 110), outline=(255, 255, 255, 170),
                width=S)
        rounded(d, [x + 4 * S, 92 * S, x + 32 * S, 115 * S], 6 * S, fill=col + (220,))
        d.rectangle([x + 6 * S, 72 * S, x + 30 * S, 79 * S], fill=(140, 96, 60))
    # a calm panel behind the sign-in fields
    rounded(d, [36 * S, 44 * S, 282 * S, 186 * S], 14 * S, fill=(255, 255, 255, 120), outline=(255, 255, 255, 180),
            width=S)
    # wooden counter
    vertical_gradient(d, (0, 300 * S, W, H), (176, 118, 74), (120, 76, 44))
    d.rectangle([0, 296 * S, W, 306 * S], fill=(196, 140, 92))
    rnd = random.Random(7)
    for _ in range(60):
        y = rnd.randint(310, 438) * S
        x = rnd.randint(-50, 650) * S
        d.line([(x, y), (x + rnd.randint(80, 260) * S, y + rnd.randint(-2, 2) * S)], fill=(100, 62, 36, 60), width=S)
    # shadows of the drinks on the counter
    shadows = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    sd = ImageDraw.Draw(shadows)
    for cx, w in ((330, 70), (430, 76), (520, 56), (200, 90), (590, 60)):
        sd.ellipse([(cx - w // 2) * S, 318 * S, (cx + w // 2 + 30) * S, 336 * S], fill=(40, 20, 10, 90))
    shadows = shadows.filter(ImageFilter.GaussianBlur(5 * S))
    img.paste(shadows, (0, 0), shadows)
    # the drinks
    coffee_cup(img, 200 * S, 322 * S, 70 * S, 52 * S)
    tall_cup(img, 330 * S, 326 * S, 64 * S, 150 * S, (196, 150, 104, 255), (250, 250, 250, 235),
             (60, 120, 200, 255), band=(120, 180, 120, 230))
    tall_cup(img, 430 * S, 326 * S, 70 * S, 172 * S, (232, 170, 160, 255), (250, 250, 250, 235),
             (230, 80, 90, 255), band=(250, 230, 120, 230))
    juice_glass(img, 520 * S, 326 * S, 52 * S, 118 * S, (255, 160, 40, 230))
    tall_cup(img, 590 * S, 326 * S, 56 * S, 130 * S, (130, 180, 110, 255), (250, 250, 250, 235),
             (250, 200, 60, 255), pearls=False)
    img = img.resize((650, 440), Image.LANCZOS)
    img.save(path, "JPEG", quality=88, optimize=True)


ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def draw_icon(path, size=64):
    """The cup of milk tea on a teal tile, drawn on a 1024-pixel canvas and scaled down."""
    W = 1024
    k = W // 256
    img = Image.new("RGBA", (W, W), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle([8 * k, 8 * k, W - 8 * k, W - 8 * k], radius=W // 5, fill=(64, 150, 140, 255))
    cx, top, base = W // 2, int(W * 0.36), int(W * 0.86)
    tw, bw = int(W * 0.44), int(W * 0.34)
    d.polygon([(cx + 8 * k, int(W * 0.10)), (cx + 24 * k, int(W * 0.10)), (cx + 16 * k, top + 10 * k),
               (cx, top + 10 * k)], fill=(250, 200, 60, 255))
    d.polygon([(cx - tw // 2, top), (cx + tw // 2, top), (cx + bw // 2, base), (cx - bw // 2, base)],
              fill=(214, 168, 118, 255))
    for px, py in ((-20, -22), (6, -18), (24, -26), (-6, -36), (14, -44), (-24, -48)):
        x, y, r = cx + px * k, base + py * k, 9 * k
        d.ellipse([x - r, y - r, x + r, y + r], fill=(60, 36, 26, 255))
    d.ellipse([cx - tw // 2 - 6 * k, top - 22 * k, cx + tw // 2 + 6 * k, top + 12 * k], fill=(250, 250, 250, 255))
    d.rectangle([cx - tw // 2 - 6 * k, top - 5 * k, cx + tw // 2 + 6 * k, top + 5 * k], fill=(250, 250, 250, 255))
    img = img.resize((size, size), Image.LANCZOS)
    img.save(path, "PNG", optimize=True)


def draw_icons():
    """The window icon and the installed desktop icons, one per hicolor size."""
    import os
    draw_icon("kelvaro.png")
    for size in ICON_SIZES:
        folder = os.path.join("icons", "hicolor", "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        draw_icon(os.path.join(folder, "org.kelvaro.Kelvaro.png"), size)


if __name__ == "__main__":
    draw_signin("signin.jpg")
    draw_icons()
