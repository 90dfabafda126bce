#!/usr/bin/env python3
"""Draws every picture of the demo story into games/demo/grf/ under ".dat" names.

Everything is drawn with code in one style: a sky of soft bands, flat silhouettes of the town's places,
glowing lights, and the three characters as coloured figures. Most pictures are palette PNGs (small and
sharp); the shrine picture "kami" is a JPEG and the blank "dmy" a BMP, so the game has to tell the
format from the content. Needs python3-pil and python3-numpy (tools/install-tool-deps).
"""
import io
import math
import pathlib
import random

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "games" / "demo" / "grf"
W, H = 778, 583
FONT = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"

SKIES = {
    "day": [(0.0, (96, 170, 228)), (0.55, (186, 226, 250)), (1.0, (236, 246, 252))],
    "dusk": [(0.0, (52, 54, 112)), (0.35, (170, 92, 120)), (0.6, (244, 140, 92)), (1.0, (255, 214, 150))],
    "night": [(0.0, (8, 14, 40)), (0.6, (26, 40, 92)), (1.0, (52, 66, 128))],
    "rain": [(0.0, (92, 100, 116)), (1.0, (168, 176, 186))],
}
# Flat colours of the ground and buildings by time of day: (far, near, accent).
LAND = {
    "day": ((120, 150, 170), (70, 96, 110), (232, 200, 150)),
    "dusk": ((92, 64, 98), (52, 38, 66), (255, 190, 120)),
    "night": ((30, 36, 70), (16, 20, 44), (255, 214, 130)),
    "rain": ((108, 116, 128), (72, 80, 92), (210, 210, 200)),
}
SEA = {"day": (52, 128, 182), "dusk": (120, 80, 120), "night": (20, 30, 70), "rain": (84, 100, 118)}

# Who wears which colours: hair, clothes, accent light.
PEOPLE = {
    "i": ((40, 36, 70), (70, 90, 160), (255, 236, 150)),
    "r": ((120, 60, 30), (236, 120, 50), (255, 255, 255)),
    "g": ((196, 200, 214), (86, 70, 90), (255, 200, 90)),
}
# Where each character is met on each day: the place and the time of day of that scene.
MEETINGS = {
    "i": ["hill/dusk", "harbor/day", "library/day", "beach/night", "hill/dusk", "hill/day", "hill/rain",
          "plaza/day", "roof/night"],
    "r": ["beach/day", "beach/day", "beach/dusk", "library/day", "street/day", "street/dusk", "harbor/day",
          "harbor/dusk", "harbor/night"],
    "g": ["plaza/day", "plaza/day", "street/day", "street/day", "library/day", "plaza/dusk", "library/day",
          "street/day", "plaza/night"],
}


def canvas(time):
    """The sky: a vertical run of colour stops, with stars at night and rain streaks in the rain."""
    stops = SKIES[time]
    y = np.linspace(0, 1, H)[:, None]
    img = np.zeros((H, W, 3), np.float32)
    for c in range(3):
        xs = [s[0] for s in stops]
        vs = [s[1][c] for s in stops]
        img[:, :, c] = np.interp(y, xs, vs)
    im = Image.fromarray(img.astype(np.uint8))
    d = ImageDraw.Draw(im)
    rnd = random.Random(hash(time) & 0xFFFF)
    if time == "night":
        for _ in range(90):
            x, yy = rnd.randrange(W), rnd.randrange(int(H * 0.6))
            r = rnd.choice([1, 1, 1, 2])
            d.ellipse((x - r, yy - r, x + r, yy + r), fill=(255, 250, 220))
    return im


def glow(im, x, y, radius, colour, strength=1.0):
    """Adds a soft round light: the scenes' lanterns, lamps and the sun."""
    a = np.asarray(im).astype(np.float32)
    yy, xx = np.mgrid[0:H, 0:W]
    dist = np.sqrt((xx - x) ** 2 + (yy - y) ** 2) / radius
    k = np.clip(1 - dist, 0, 1) ** 2 * strength
    for c in range(3):
        a[:, :, c] += k * colour[c]
    return Image.fromarray(np.clip(a, 0, 255).astype(np.uint8))


def rain(im):
    d = ImageDraw.Draw(im)
    rnd = random.Random(7)
    for _ in range(260):
        x, y = rnd.randrange(W), rnd.randrange(H)
        d.line((x, y, x - 6, y + 22), fill=(210, 216, 226), width=1)
    return im


def lighthouse(d, x, base, height, body, lit=False):
    """A tapering tower with a lamp room, the town's landmark seen from everywhere."""
    w0, w1 = height * 0.16, height * 0.10
    d.polygon([(x - w0, base), (x + w0, base), (x + w1, base - height), (x - w1, base - height)], fill=body)
    for k in (0.3, 0.6):
        yy = base - height * k
        ww = w0 + (w1 - w0) * k
        d.rectangle((x - ww, yy - height * 0.05, x + ww, yy), fill=(200, 70, 70))
    d.rectangle((x - w1 * 1.2, base - height * 1.12, x + w1 * 1.2, base - height),
                fill=(255, 230, 140) if lit else (70, 76, 96))
    d.polygon([(x - w1 * 1.5, base - height * 1.12), (x + w1 * 1.5, base - height * 1.12),
               (x, base - height * 1.3)], fill=body)


def cape(d, time, lit=False):
    far, near, _ = LAND[time]
    d.polygon([(W * 0.62, H * 0.55), (W * 0.8, H * 0.42), (W, H * 0.4), (W, H * 0.58)], fill=far)
    lighthouse(d, W * 0.88, H * 0.42, H * 0.2, (236, 236, 240) if time == "day" else (150, 150, 170), lit)


def place(name, time):
    """Draws one of the town's places under the given sky."""
    im = canvas(time)
    far, near, accent = LAND[time]
    sea = SEA[time]
    d = ImageDraw.Draw(im)
    if time in ("dusk", "day") and name in ("harbor", "beach", "hill"):
        im = glow(im, W * 0.25, H * 0.45, 160, (255, 200, 120) if time == "dusk" else (255, 255, 230), 0.6)
        d = ImageDraw.Draw(im)
    if name == "harbor":
        d.rectangle((0, H * 0.55, W, H), fill=sea)
        cape(d, time, lit=False)
        for k in range(6):
            yy = H * (0.6 + k * 0.07)
            d.line((0, yy, W, yy), fill=tuple(min(255, c + 30) for c in sea), width=2)
        d.polygon([(0, H * 0.7), (W * 0.55, H * 0.66), (W * 0.55, H * 0.7), (0, H * 0.78)], fill=near)
        for k in range(8):
            px = W * 0.06 * k + 10
            d.rectangle((px, H * 0.68, px + 8, H * 0.86), fill=near)
        d.polygon([(W * 0.6, H * 0.6), (W * 0.74, H * 0.6), (W * 0.71, H * 0.64), (W * 0.62, H * 0.64)], fill=far)
        d.line((W * 0.67, H * 0.6, W * 0.67, H * 0.5), fill=far, width=3)
    elif name == "beach":
        d.rectangle((0, H * 0.5, W, H * 0.66), fill=sea)
        cape(d, time)
        d.polygon([(0, H * 0.66), (W, H * 0.6), (W, H), (0, H)], fill=(236, 214, 168) if time == "day" else accent
                  if time == "dusk" else (60, 60, 90))
        d.chord((W * 0.1, H * 0.72, W * 0.38, H * 0.9), 180, 360, fill=near)
        for k in range(4):
            d.arc((W * (0.1 + k * 0.2), H * 0.62, W * (0.3 + k * 0.2), H * 0.68), 180, 360,
                  fill=(250, 250, 255), width=2)
    elif name == "hill":
        d.rectangle((0, H * 0.5, W, H * 0.62), fill=sea)
        cape(d, time)
        for k in range(9):
            bx = W * (0.05 + k * 0.07)
            d.rectangle((bx, H * 0.55 - (k % 3) * 12, bx + 30, H * 0.62), fill=far)
        d.ellipse((-W * 0.3, H * 0.6, W * 1.3, H * 1.6), fill=(90, 140, 80) if time == "day" else near)
        d.rectangle((W * 0.12, H * 0.72, W * 0.3, H * 0.74), fill=(110, 70, 50))
        d.rectangle((W * 0.13, H * 0.74, W * 0.14, H * 0.8), fill=(110, 70, 50))
        d.rectangle((W * 0.28, H * 0.74, W * 0.29, H * 0.8), fill=(110, 70, 50))
        d.polygon([(W * 0.36, H * 0.5), (W * 0.5, H * 0.4), (W * 0.64, H * 0.5)], fill=(120, 60, 60))
        d.rectangle((W * 0.38, H * 0.5, W * 0.39, H * 0.7), fill=(120, 60, 60))
        d.rectangle((W * 0.61, H * 0.5, W * 0.62, H * 0.7), fill=(120, 60, 60))
    elif name == "street":
        colours = [(214, 90, 80), (80, 150, 120), (230, 180, 70), (90, 110, 180), (200, 120, 160)]
        for k in range(6):
            x0 = k * W / 6
            d.rectangle((x0, H * 0.28 + (k % 2) * 20, x0 + W / 6 - 4, H * 0.8), fill=far)
            d.polygon([(x0 - 4, H * 0.5), (x0 + W / 6, H * 0.5), (x0 + W / 6 - 12, H * 0.58), (x0 + 8, H * 0.58)],
                      fill=colours[k % 5])
            d.rectangle((x0 + 14, H * 0.6, x0 + W / 6 - 18, H * 0.8), fill=near)
        d.rectangle((0, H * 0.8, W, H), fill=(150, 140, 130) if time == "day" else near)
        d.line((0, H * 0.2, W, H * 0.26), fill=(40, 40, 40), width=2)
        for k in range(9):
            lx = W * (0.05 + k * 0.11)
            ly = H * 0.21 + lx / W * H * 0.06
            d.ellipse((lx - 10, ly + 4, lx + 10, ly + 30), fill=(250, 120, 90) if time == "day" else accent)
            if time != "day":
                im = glow(im, lx, ly + 17, 60, (255, 170, 90), 0.5)
                d = ImageDraw.Draw(im)
    elif name == "library":
        im = Image.new("RGB", (W, H), (96, 74, 60))
        d = ImageDraw.Draw(im)
        win = canvas(time).crop((0, 0, 220, 260))
        im.paste(win, (W // 2 - 110, 60))
        d.rectangle((W // 2 - 110, 60, W // 2 + 110, 320), outline=(60, 44, 36), width=10)
        d.line((W // 2, 60, W // 2, 320), fill=(60, 44, 36), width=6)
        spines = [(170, 60, 60), (60, 100, 150), (200, 170, 90), (70, 130, 90), (130, 80, 140), (220, 210, 190)]
        rnd = random.Random(3)
        for x0 in (20, W - 250):
            d.rectangle((x0, 30, x0 + 230, H - 60), fill=(70, 50, 40))
            for shelf in range(5):
                y1 = 60 + shelf * 95
                x = x0 + 10
                while x < x0 + 220:
                    bw = rnd.randrange(10, 22)
                    d.rectangle((x, y1 + rnd.randrange(0, 18), x + bw - 2, y1 + 80), fill=rnd.choice(spines))
                    x += bw
                d.rectangle((x0, y1 + 80, x0 + 230, y1 + 88), fill=(50, 36, 30))
        d.rectangle((0, H - 60, W, H), fill=(60, 44, 36))
        im = glow(im, W / 2, 190, 260, (255, 240, 200), 0.35)
    elif name == "roof":
        d.rectangle((0, H * 0.62, W, H), fill=near)
        for k in range(20):
            x = k * W / 19
            d.rectangle((x, H * 0.55, x + 4, H * 0.62), fill=far)
        d.rectangle((0, H * 0.55, W, H * 0.565), fill=far)
        cape(d, time)
    elif name == "plaza":
        d.rectangle((0, H * 0.45, W, H * 0.62), fill=far)
        cape(d, time)
        d.rectangle((0, H * 0.62, W, H), fill=(190, 176, 150) if time == "day" else near)
        for k in range(12):
            d.line((0, H * (0.64 + k * 0.035), W, H * (0.64 + k * 0.035)), fill=far, width=1)
        d.ellipse((W * 0.04, H * 0.12, W * 0.3, H * 0.5), fill=(70, 120, 70) if time == "day" else far)
        d.rectangle((W * 0.16, H * 0.45, W * 0.18, H * 0.66), fill=(90, 60, 40))
        d.line((W * 0.3, H * 0.3, W, H * 0.34), fill=(40, 40, 40), width=2)
        for k in range(7):
            lx = W * (0.35 + k * 0.09)
            ly = H * 0.31 + (lx - W * 0.3) / W * H * 0.05
            d.rectangle((lx - 12, ly + 4, lx + 12, ly + 36), fill=(250, 244, 220) if time == "day" else accent)
            if time != "day":
                im = glow(im, lx, ly + 20, 70, (255, 170, 90), 0.55)
                d = ImageDraw.Draw(im)
        for k in range(5):
            fx = W * (0.1 + k * 0.1)
            d.rectangle((fx, H * 0.78, fx + 30, H * 0.86), outline=(120, 90, 60), width=3)
    return im


def person(im, who, x, base, scale=1.0):
    """One of the three characters, drawn as a flat figure with a rim of her own light."""
    hair, clothes, light = PEOPLE[who]
    h = H * 0.62 * scale
    d = ImageDraw.Draw(im)
    head = h * 0.12
    top = base - h
    skin = (250, 222, 200)
    # Hair behind the head.
    if who == "i":
        d.rounded_rectangle((x - head * 1.05, top, x + head * 1.05, top + h * 0.42), radius=head, fill=hair)
    elif who == "g":
        d.ellipse((x - head * 1.05, top - head * 0.05, x + head * 1.05, top + head * 2.1), fill=hair)
        for k in range(6):
            by = top + head * 2 + k * head * 0.5
            d.ellipse((x + head * 0.5, by, x + head * 1.1, by + head * 0.6), fill=hair)
    # Body: a dress or a shirt and trousers.
    if who == "r":
        d.polygon([(x - head * 1.2, top + head * 2.2), (x + head * 1.2, top + head * 2.2),
                   (x + head * 1.1, top + h * 0.55), (x - head * 1.1, top + h * 0.55)], fill=clothes)
        d.rectangle((x - head * 1.0, top + h * 0.55, x - head * 0.1, base), fill=(50, 70, 110))
        d.rectangle((x + head * 0.1, top + h * 0.55, x + head * 1.0, base), fill=(50, 70, 110))
    else:
        d.polygon([(x - head * 0.9, top + head * 2.2), (x + head * 0.9, top + head * 2.2),
                   (x + head * 1.8, top + h * 0.8), (x - head * 1.8, top + h * 0.8)], fill=clothes)
        d.rectangle((x - head * 0.7, top + h * 0.8, x - head * 0.25, base), fill=skin)
        d.rectangle((x + head * 0.25, top + h * 0.8, x + head * 0.7, base), fill=skin)
    d.ellipse((x - head * 0.6, top + head * 1.8, x + head * 0.6, top + head * 2.4), fill=skin)
    # Head and the hair in front.
    d.ellipse((x - head * 0.85, top + head * 0.2, x + head * 0.85, top + head * 2.1), fill=skin)
    if who == "i":
        d.chord((x - head * 0.95, top, x + head * 0.95, top + head * 1.6), 180, 360, fill=hair)
        d.rectangle((x - head * 0.95, top + head * 0.75, x + head * 0.95, top + head * 0.95), fill=hair)
        # The star map she always carries.
        d.rectangle((x - head * 1.5, top + h * 0.36, x - head * 0.2, top + h * 0.46), fill=(30, 40, 90))
        d.ellipse((x - head * 1.0, top + h * 0.4, x - head * 0.9, top + h * 0.41), fill=light)
    elif who == "r":
        d.chord((x - head * 0.95, top + head * 0.1, x + head * 0.95, top + head * 1.7), 180, 360, fill=hair)
        d.chord((x - head * 1.0, top - head * 0.1, x + head * 1.0, top + head * 1.3), 180, 360,
                fill=(240, 240, 240))
        d.rectangle((x - head * 0.1, top + head * 0.55, x + head * 1.6, top + head * 0.7), fill=(240, 240, 240))
        # A coil of rope over her shoulder.
        d.ellipse((x + head * 0.6, top + head * 2.5, x + head * 1.6, top + head * 3.8), outline=(220, 200, 150),
                  width=5)
    else:
        d.chord((x - head * 0.95, top, x + head * 0.95, top + head * 1.5), 180, 360, fill=hair)
        # Her grandfather's lantern.
        lx, ly = x - head * 1.9, top + h * 0.55
        d.line((lx, ly - head, lx, ly - head * 1.6), fill=(60, 50, 40), width=3)
        d.rectangle((lx - head * 0.35, ly - head, lx + head * 0.35, ly), fill=light)
        im = glow(im, lx, ly - head * 0.5, 110, (255, 190, 90), 0.5)
        d = ImageDraw.Draw(im)
    # Eyes: two short strokes, enough to give the figure a face.
    for s in (-1, 1):
        d.line((x + s * head * 0.35 - 4, top + head * 1.25, x + s * head * 0.35 + 4, top + head * 1.25),
               fill=(40, 30, 40), width=3)
    return im


# Things in a scene that tell one day's picture from another day's at the same place.
PROPS = {
    "i_2": "page", "i_3": "book", "i_5": "sketch", "i_6": "sketch", "i_8": "board", "i_9": "book",
    "r_2": "ripples", "r_3": "rope", "r_4": "book", "r_5": "fish", "r_6": "fish", "r_7": "ferry", "r_8": "letter",
    "g_3": "can", "g_4": "crate", "g_5": "book", "g_7": "book", "g_8": "parcel", "g_2": "frames",
}


def prop(im, kind, x):
    d = ImageDraw.Draw(im)
    ground = H * 0.95
    if kind == "page":
        d.polygon([(W * 0.72, H * 0.3), (W * 0.78, H * 0.27), (W * 0.8, H * 0.35), (W * 0.74, H * 0.38)],
                  fill=(250, 250, 240))
        for k in range(3):
            d.line((W * 0.74, H * (0.31 + k * 0.015), W * 0.78, H * (0.3 + k * 0.015)), fill=(90, 110, 170))
    elif kind == "book":
        d.rectangle((x - 70, ground - 60, x + 70, ground), fill=(120, 80, 50))
        d.polygon([(x - 60, ground - 60), (x, ground - 70), (x + 60, ground - 60), (x, ground - 64)],
                  fill=(246, 240, 220))
        d.line((x, ground - 70, x, ground - 64), fill=(150, 140, 120), width=2)
    elif kind == "sketch":
        d.rectangle((x - 40, ground - 150, x + 40, ground - 90), fill=(250, 248, 236), outline=(90, 80, 70))
        for k, (sx, sy) in enumerate(((-20, -130), (10, -140), (25, -110), (-5, -105))):
            d.ellipse((x + sx - 3, ground + sy - 3, x + sx + 3, ground + sy + 3), fill=(60, 70, 140))
    elif kind == "board":
        d.rectangle((x - 90, ground - 230, x + 90, ground - 100), fill=(20, 30, 80), outline=(120, 90, 60), width=6)
        rnd = random.Random(5)
        for _ in range(24):
            sx, sy = rnd.uniform(x - 80, x + 80), rnd.uniform(ground - 220, ground - 110)
            d.ellipse((sx - 2, sy - 2, sx + 2, sy + 2), fill=(255, 240, 170))
        d.rectangle((x - 4, ground - 100, x + 4, ground), fill=(120, 90, 60))
    elif kind == "ripples":
        for k in range(6):
            rx = W * (0.15 + k * 0.07)
            d.ellipse((rx - 14, H * 0.58 - 4, rx + 14, H * 0.58 + 4), outline=(240, 250, 255), width=2)
    elif kind == "rope":
        for r in (40, 30, 20):
            d.ellipse((x - r * 1.6, ground - r, x + r * 1.6, ground + r * 0.3), outline=(210, 180, 120), width=5)
    elif kind == "fish":
        d.rectangle((x - 80, ground - 50, x + 80, ground), fill=(150, 190, 210))
        for k in range(4):
            fx = x - 60 + k * 38
            d.ellipse((fx - 16, ground - 64, fx + 16, ground - 48), fill=(180, 190, 200))
            d.polygon([(fx + 14, ground - 56), (fx + 24, ground - 64), (fx + 24, ground - 48)], fill=(180, 190, 200))
    elif kind == "ferry":
        d.polygon([(W * 0.45, H * 0.5), (W * 0.7, H * 0.5), (W * 0.67, H * 0.56), (W * 0.48, H * 0.56)],
                  fill=(240, 240, 240))
        d.rectangle((W * 0.5, H * 0.45, W * 0.62, H * 0.5), fill=(230, 90, 70))
        d.rectangle((W * 0.55, H * 0.41, W * 0.57, H * 0.45), fill=(60, 60, 60))
    elif kind == "letter":
        d.rectangle((x - 36, ground - 120, x + 36, ground - 70), fill=(252, 250, 244), outline=(200, 120, 90), width=2)
        d.polygon([(x - 36, ground - 120), (x, ground - 95), (x + 36, ground - 120)], outline=(200, 120, 90))
    elif kind == "can":
        d.rectangle((x - 30, ground - 80, x + 30, ground), fill=(200, 60, 50))
        d.rectangle((x + 10, ground - 96, x + 24, ground - 80), fill=(80, 80, 80))
    elif kind == "crate":
        d.rectangle((x - 90, ground - 90, x + 90, ground), fill=(160, 110, 60), outline=(100, 66, 36), width=4)
        d.line((x - 90, ground - 90, x + 90, ground), fill=(100, 66, 36), width=4)
    elif kind == "parcel":
        d.rectangle((x - 30, ground - 50, x + 30, ground - 10), fill=(230, 210, 170))
        d.line((x, ground - 50, x, ground - 10), fill=(180, 50, 60), width=3)
        d.line((x - 30, ground - 30, x + 30, ground - 30), fill=(180, 50, 60), width=3)
    elif kind == "frames":
        for k in range(5):
            fx = x + (k - 2) * 50
            d.rectangle((fx - 18, ground - 60 - (k % 2) * 60, fx + 18, ground - (k % 2) * 60), outline=(140, 100, 60),
                        width=4)
    return im


def rim(im):
    return im.filter(ImageFilter.SMOOTH)


def save_png(im, name, colours=96):
    q = im.quantize(colours, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    q.save(OUT / f"{name}.dat", format="PNG", optimize=True)


def meeting(who, day):
    where, time = MEETINGS[who][day - 1].split("/")
    im = place(where, time)
    if time == "rain":
        im = rain(im)
    x = W * (0.7 if day % 2 else 0.3)
    im = person(im, who, x, H * 0.98)
    kind = PROPS.get(f"{who}_{day}")
    if kind:
        im = prop(im, kind, W * (0.38 if day % 2 else 0.62))
    if time == "rain":
        im = rain(im)
    return rim(im)


def lens_room(flame):
    """The lamp room of the lighthouse; the flame grows with every night the player visits."""
    im = canvas("night")
    d = ImageDraw.Draw(im)
    d.rectangle((0, H * 0.7, W, H), fill=(30, 26, 40))
    for k in range(5):
        x = W * (0.1 + k * 0.2)
        d.rectangle((x - 6, 0, x + 6, H * 0.7), fill=(24, 22, 34))
    cx, cy = W / 2, H * 0.48
    for r in range(200, 20, -30):
        d.ellipse((cx - r * 0.6, cy - r, cx + r * 0.6, cy + r), outline=(120, 140, 170), width=3)
    im = glow(im, cx, cy, 60 + flame * 34, (255, 190, 90), 0.5 + flame * 0.06)
    d = ImageDraw.Draw(im)
    f = 10 + flame * 5
    d.polygon([(cx, cy - f * 2.2), (cx + f * 0.7, cy), (cx, cy + f * 0.6), (cx - f * 0.7, cy)], fill=(255, 236, 160))
    return rim(im)


def title_card():
    im = place("harbor", "dusk")
    d = ImageDraw.Draw(im)
    lighthouse(d, W * 0.88, H * 0.42, H * 0.2, (150, 150, 170), lit=True)
    im = glow(im, W * 0.88, H * 0.42 - H * 0.22, 120, (255, 220, 140), 0.8)
    for k in range(14):
        lx, ly = W * (0.05 + k * 0.065), H * (0.62 + (k % 4) * 0.06)
        im = glow(im, lx, ly, 40, (255, 160, 80), 0.6)
        ImageDraw.Draw(im).rectangle((lx - 7, ly - 9, lx + 7, ly + 5), fill=(255, 214, 140))
    d = ImageDraw.Draw(im)
    font = ImageFont.truetype(FONT, 120)
    small = ImageFont.truetype(FONT, 30)
    for dx, dy, c in ((4, 4, (40, 30, 60)), (0, 0, (255, 244, 220))):
        d.text((W / 2 + dx, H * 0.2 + dy), "ルメナ", font=font, fill=c, anchor="mm")
    d.text((W / 2, H * 0.37), "― 灯まつりの九日間 ―", font=small, fill=(255, 236, 200), anchor="mm")
    return rim(im)


def festival(all_lit):
    im = place("harbor", "night")
    d = ImageDraw.Draw(im)
    lighthouse(d, W * 0.88, H * 0.42, H * 0.2, (150, 150, 170), lit=all_lit)
    if all_lit:
        d.polygon([(W * 0.88, H * 0.2), (0, H * 0.05), (0, H * 0.2)], fill=(90, 96, 140))
        im = glow(im, W * 0.88, H * 0.2, 140, (255, 230, 160), 0.9)
    rnd = random.Random(11)
    for k in range(40 if all_lit else 8):
        lx, ly = rnd.uniform(0, W * 0.95), rnd.uniform(H * 0.58, H * 0.98)
        im = glow(im, lx, ly, 34, (255, 160, 80), 0.6)
        ImageDraw.Draw(im).rectangle((lx - 6, ly - 8, lx + 6, ly + 4), fill=(255, 210, 130))
    return rim(im)


def ending(who):
    base = {"i": ("roof", "night"), "r": ("harbor", "night"), "g": ("plaza", "night")}[who]
    im = place(*base)
    rnd = random.Random(ord(who))
    for k in range(18):
        lx, ly = rnd.uniform(0, W), rnd.uniform(H * 0.6, H * 0.98)
        im = glow(im, lx, ly, 30, (255, 160, 80), 0.5)
        ImageDraw.Draw(im).rectangle((lx - 5, ly - 7, lx + 5, ly + 3), fill=(255, 210, 130))
    im = person(im, who, W * 0.4, H * 0.98)
    # The player's figure beside her, seen from behind: a plain dark shape.
    d = ImageDraw.Draw(im)
    d.ellipse((W * 0.6 - 34, H * 0.4, W * 0.6 + 34, H * 0.52), fill=(26, 26, 36))
    d.polygon([(W * 0.6 - 50, H * 0.53), (W * 0.6 + 50, H * 0.53), (W * 0.6 + 60, H), (W * 0.6 - 60, H)],
              fill=(26, 26, 36))
    return rim(im)


def town(time):
    """The town as a whole, seen across the water: rooftops below the cape and its lighthouse, with no
    one in sight. An empty place shows it, whichever of the town's places the player chose."""
    im = canvas(time)
    far, near, accent = LAND[time]
    sea = SEA[time]
    im = glow(im, W * 0.3, H * 0.42, 180, (255, 200, 120) if time == "dusk" else (200, 210, 255), 0.5)
    d = ImageDraw.Draw(im)
    d.rectangle((0, H * 0.52, W, H), fill=sea)
    cape(d, time)
    for k in range(10):
        yy = H * (0.56 + k * 0.045)
        d.line((0, yy, W, yy), fill=tuple(min(255, c + 24) for c in sea), width=2)
    rnd = random.Random(11)
    # Two rows of houses on the slope above the shore: the far row small and pale, the near row dark.
    windows = []
    for row, (top, colour, size) in enumerate(((H * 0.56, far, 20), (H * 0.64, near, 30))):
        x = -10.0
        while x < W * 0.66:
            w = rnd.randrange(size, size * 2)
            h = rnd.randrange(size // 2, size)
            base = top + row * 14 + rnd.randrange(0, 10)
            d.rectangle((x, base - h, x + w, H * 0.74), fill=colour)
            d.polygon([(x - 4, base - h), (x + w / 2, base - h - size * 0.55), (x + w + 4, base - h)], fill=colour)
            if rnd.random() < 0.6:
                windows.append((x + w * 0.3, base - h * 0.55, size // 6))
            x += w + rnd.randrange(2, 10)
    d.polygon([(0, H * 0.74), (W * 0.7, H * 0.72), (W * 0.72, H * 0.78), (0, H * 0.8)], fill=near)
    for wx, wy, ws in windows:
        d.rectangle((wx, wy, wx + ws, wy + ws), fill=accent)
        if time != "day":
            im = glow(im, wx + ws / 2, wy + ws / 2, 26, (255, 190, 110), 0.35)
            d = ImageDraw.Draw(im)
    return im


def empty_place(time, dark=False):
    im = town(time)
    if dark:
        a = np.asarray(im).astype(np.float32) * 0.35
        im = Image.fromarray(a.astype(np.uint8))
    return rim(im)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for old in OUT.glob("*.dat"):
        old.unlink()
    save_png(title_card(), "ttl", 128)
    save_png(place("harbor", "dusk"), "opn")
    for who in "irg":
        for day in range(1, 10):
            save_png(meeting(who, day), f"{who}_{day}")
        save_png(ending(who), f"{who}_end")
    for n in range(1, 9):
        save_png(lens_room(n), f"m_{n}")
    save_png(lens_room(12), "m_9_0")
    save_png(lens_room(3), "m_9_1")
    save_png(empty_place("dusk"), "a")
    save_png(empty_place("night", dark=True), "a_end", 48)
    save_png(rim(prop(prop(place("plaza", "day"), "frames", W * 0.4), "board", W * 0.75)), "b")
    save_png(festival(True), "end")
    # The shrine of the lamp is a JPEG and the blank picture a BMP: the game reads the format from the
    # content, never from the name.
    buf = io.BytesIO()
    lens_room(16).save(buf, format="JPEG", quality=70)
    (OUT / "kami.dat").write_bytes(buf.getvalue())
    Image.new("RGB", (64, 48), (246, 242, 232)).save(OUT / "dmy.dat", format="BMP")
    total = sum(p.stat().st_size for p in OUT.glob("*.dat"))
    print(f"{len(list(OUT.glob('*.dat')))} pictures, {total // 1024} KB in {OUT.relative_to(ROOT)}")


if __name__ == "__main__":
    main()
