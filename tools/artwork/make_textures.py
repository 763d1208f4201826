#!/usr/bin/python3
"""Generates the five board textures and their menu pictures.

Every texture is computed at double resolution (272 x 136: two 136-pixel
squares) and the normal one (136 x 68) is that picture scaled down, so both
show the same wood or stone. The light square is the left half, the dark
square the right half. A fixed seed per texture keeps the output the same
from run to run.

Menu pictures are a 2 x 2 patch of each texture, dark squares top-left and
bottom-right: 16 x 16, and 32 x 32 for high-density screens.

Needs: apt-get install python3-numpy python3-pil
Usage: tools/artwork/make_textures.py [resources dir]
"""
import os
import sys

import numpy as np
from PIL import Image

HALF = 136  # one square at double resolution


def fbm(h, w, cell, octaves, rng, stretch=1.0):
    """Fractal value noise in 0..1; stretch > 1 draws it out along x."""
    total = np.zeros((h, w), np.float32)
    weight, amp = 0.0, 1.0
    for o in range(octaves):
        c = max(cell / (2 ** o), 1.0)
        gh = int(h / c) + 3
        gw = int(w / (c * stretch)) + 3
        grid = rng.random((gh, gw)).astype(np.float32)
        img = Image.fromarray(grid, mode="F").resize(
            (int(gw * c * stretch), int(gh * c)), Image.BICUBIC)
        total += amp * np.asarray(img)[:h, :w]
        weight += amp
        amp *= 0.5
    total /= weight
    lo, hi = np.percentile(total, 1), np.percentile(total, 99)
    return np.clip((total - lo) / (hi - lo), 0, 1)


def mix(a, b, t):
    a = np.array(a, np.float32)
    b = np.array(b, np.float32)
    return a + (b - a) * t[..., None]


def wood(rng, light, dark, rings=9.0, warp=1.0, fibre=0.3, vertical=False):
    """Planed wood: growth rings cut lengthwise, plus fine fibres.

    Drawn with the grain along x; vertical=True turns the plank.
    """
    y, x = np.mgrid[0:HALF, 0:HALF].astype(np.float32) / HALF
    bend = fbm(HALF, HALF, 70, 3, rng, stretch=4.0)
    wobble = fbm(HALF, HALF, 18, 2, rng, stretch=6.0)
    t = y * rings + bend * warp + 0.25 * wobble + 0.15 * x
    f = t - np.floor(t)
    # Each year: pale early wood fading into a narrow dark band of late wood.
    ring = 0.35 * f + np.exp(-((f - 0.85) / 0.09) ** 2)
    fibres = fbm(HALF, HALF, 3, 2, rng, stretch=14.0)
    shade = np.clip(0.6 * ring + fibre * (fibres - 0.5) + 0.12, 0, 1)
    out = mix(light, dark, shade)
    return out.transpose(1, 0, 2) if vertical else out


def marble(rng, base, vein, veins=1.6, turbulence=1.6, width=0.16, cloud=0.25):
    y, x = np.mgrid[0:HALF, 0:HALF].astype(np.float32) / HALF
    turb = fbm(HALF, HALF, 50, 3, rng)
    fine = fbm(HALF, HALF, 12, 2, rng)
    s = np.abs(np.sin(np.pi * ((0.8 * x + y) * veins + turb * turbulence + 0.15 * fine)))
    v = np.clip(1 - s / width, 0, 1) ** 2
    s2 = np.abs(np.sin(np.pi * ((x - 0.6 * y) * veins * 1.7 + fine * 2.2)))
    v2 = np.clip(1 - s2 / (width * 0.5), 0, 1) ** 2 * 0.45
    clouds = fbm(HALF, HALF, 35, 4, rng)
    return mix(base, vein, np.clip(0.8 * v + v2 + cloud * (clouds - 0.5), 0, 1))


def plain(rng, colour, grain=8.0):
    """A printed club board: flat colour with a faint vinyl grain."""
    n = fbm(HALF, HALF, 3, 2, rng) - 0.5
    c = np.array(colour, np.float32)
    return c + grain * n[..., None] * np.ones(3, np.float32)


def slate(rng, colour, spread=18.0, layers=0.35):
    y, x = np.mgrid[0:HALF, 0:HALF].astype(np.float32) / HALF
    cleave = fbm(HALF, HALF, 20, 4, rng, stretch=5.0)
    speck = fbm(HALF, HALF, 2, 1, rng)
    n = (cleave - 0.5) + layers * (speck - 0.5) + 0.15 * np.sin(2 * np.pi * (y * 5 + cleave))
    c = np.array(colour, np.float32)
    return c + spread * n[..., None] * np.array([1.0, 1.02, 1.06], np.float32)


def texture(n):
    rng = np.random.default_rng(1000 + n)
    if n == 1:  # light maple and mid-brown oak
        light = wood(rng, (244, 218, 174), (206, 164, 112), rings=7, warp=1.2, fibre=0.25)
        dark = wood(rng, (186, 130, 80), (126, 78, 40), rings=8, warp=1.4, fibre=0.3)
    elif n == 2:  # white Carrara and grey-green marble
        light = marble(rng, (240, 238, 233), (160, 160, 166))
        dark = marble(rng, (118, 138, 127), (52, 70, 62), veins=1.9, cloud=0.35)
    elif n == 3:  # cream and green, as on a club's vinyl board
        light = plain(rng, (238, 238, 210))
        dark = plain(rng, (118, 150, 86))
    elif n == 4:  # pale ash and dark walnut
        light = wood(rng, (238, 218, 182), (212, 184, 140), rings=10, warp=0.8, fibre=0.2,
                     vertical=True)
        dark = wood(rng, (150, 100, 62), (96, 60, 32), rings=9, warp=1.0, fibre=0.35,
                    vertical=True)
    else:  # grey slate and dark ebony-like slate
        light = slate(rng, (164, 168, 172))
        dark = slate(rng, (92, 95, 102), spread=12.0)
    both = np.concatenate([light, dark], axis=1)
    return Image.fromarray(np.clip(both + 0.5, 0, 255).astype(np.uint8), "RGB")


def menu_picture(big, size):
    """2 x 2 squares, dark at top-left and bottom-right."""
    q = size // 2
    light = big.crop((0, 0, HALF, HALF)).resize((q, q), Image.LANCZOS)
    dark = big.crop((HALF, 0, 2 * HALF, HALF)).resize((q, q), Image.LANCZOS)
    out = Image.new("RGB", (size, size))
    out.paste(dark, (0, 0))
    out.paste(light, (q, 0))
    out.paste(light, (0, q))
    out.paste(dark, (q, q))
    return out


def luminance(rgb):
    r, g, b = rgb
    return 0.299 * r + 0.587 * g + 0.114 * b


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    res = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources")
    os.makedirs(os.path.join(res, "textures"), exist_ok=True)
    os.makedirs(os.path.join(res, "menu"), exist_ok=True)
    for n in range(1, 6):
        big = texture(n)
        small = big.resize((2 * HALF // 2, HALF // 2), Image.LANCZOS)
        big.save(os.path.join(res, "textures", f"textura{n}@2x.png"), optimize=True)
        small.save(os.path.join(res, "textures", f"textura{n}.png"), optimize=True)
        menu_picture(big, 16).save(os.path.join(res, "menu", f"textura{n}.png"), optimize=True)
        menu_picture(big, 32).save(os.path.join(res, "menu", f"textura{n}@2x.png"), optimize=True)
        if n == 4:
            # The board frame takes the dark square's colour at (133,27) and
            # the labels the light square's at (0,0); they must stay apart.
            frame, label = small.getpixel((133, 27)), small.getpixel((0, 0))
            gap = luminance(label) - luminance(frame)
            print(f"textura4 frame {frame} label {label} brightness gap {gap:.0f}")
            if gap < 100:
                raise SystemExit("textura4: frame and label colours are too close")
        print(f"textura{n}")


if __name__ == "__main__":
    main()
