#!/usr/bin/python3
"""Draws the club set (Klub_): turned wooden pieces as found in a chess
club's cupboard, boxwood for white and ebonised wood for black.

Each round piece is built from lathe profiles: the right half of a part is
described once and mirrored, so every part is exactly symmetric about the
square's centre line. Parts are painted back to front (head, body, collars,
base) and each gets a horizontal gradient that reads as a turned cylinder.
The knight's head is the one hand-drawn outline.

Needs: apt-get install python3-pyqt6.qtsvg (for the area check only)
Usage: tools/artwork/draw_club_pieces.py [output dir, default resources/pieces]
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import svgfit  # noqa: E402

CX = 34.0
STROKE = 1.4
# The profiles are drawn slim, as turned pieces are; on a 68-pixel square
# they read better a little broader.
WIDEN = 1.12

STYLES = {
    "B": {  # boxwood
        "stops": [(0.0, "#c89a62"), (0.28, "#fff7e6"), (0.5, "#f6e3c0"), (0.8, "#dcb887"), (1.0, "#a87a45")],
        "line": "#3a2412",
        "detail": "#5a3a1c",
    },
    "C": {  # ebonised
        "stops": [(0.0, "#17100c"), (0.28, "#6e5646"), (0.5, "#3b2b22"), (0.8, "#20160f"), (1.0, "#0b0705")],
        "line": "#000000",
        "detail": "#c9b39a",
    },
}


def n(v):
    return svgfit.num(v)


def lathe(segments, top):
    """Closed path from a right-half profile.

    top is the y where the profile meets the axis; segments are
    ("L", r, y) or ("C", r1, y1, r2, y2, r, y) with r the distance from the
    centre line. The last point should lie on the axis (r = 0) or on the
    bottom edge; the left half is the mirror image walked backwards.
    """
    pts = [(0.0, top)]
    right = []
    for seg in segments:
        if seg[0] == "L":
            right.append(f"L {n(CX + seg[1])},{n(seg[2])}")
        else:
            _, r1, y1, r2, y2, r, y = seg
            right.append(f"C {n(CX + r1)},{n(y1)} {n(CX + r2)},{n(y2)} {n(CX + r)},{n(y)}")
        pts.append((seg[-2], seg[-1]))
    left = []
    for i in range(len(segments) - 1, -1, -1):
        seg = segments[i]
        start = pts[i]
        if seg[0] == "L":
            left.append(f"L {n(CX - start[0])},{n(start[1])}")
        else:
            _, r1, y1, r2, y2, _, _ = seg
            left.append(f"C {n(CX - r2)},{n(y2)} {n(CX - r1)},{n(y1)} {n(CX - start[0])},{n(start[1])}")
    return f"M {n(CX)},{n(top)} " + " ".join(right) + " L " + \
        f"{n(CX - pts[-1][0])},{n(pts[-1][1])} " + " ".join(left) + " Z"


def disc(y0, y1, r, bulge=1.2):
    """A collar or base ring seen from the side: slightly rounded band."""
    return lathe([("L", r - bulge, y0), ("C", r, y0, r, y0, r, y0 + bulge),
                  ("L", r, y1 - bulge), ("C", r, y1, r, y1, r - bulge, y1),
                  ("L", 0, y1)], y0)


def ball(cy, r):
    k = 0.5523 * r
    return lathe([("C", k, cy - r, r, cy - k, r, cy), ("C", r, cy + k, k, cy + r, 0, cy + r)], cy - r)


def flare(y0, r0, y1, r1, waist=0.35):
    """The concave, widening stem of a turned piece, from y0 (narrow) to y1."""
    return lathe([("L", r0, y0),
                  ("C", r0 - 0.5, y0 + (y1 - y0) * 0.55, r1 - (r1 - r0) * waist, y1 - 2, r1, y1),
                  ("L", 0, y1)], y0)


def base(top=52.0, r=15.5):
    return [disc(top, top + 3.6, r - 2.2), disc(top + 3.2, 62.8, r)]


def pawn():
    return [ball(27.5, 7.2), flare(34.5, 4.6, 53.0, 11.5), disc(33.2, 36.6, 8.4)] + base(r=14.5), []


def rook():
    top, half, notch, depth = 17.0, 12.8, 3.6, 4.2
    battlement = (f"M {n(CX - half)},{n(top)} L {n(CX - half + 6.2)},{n(top)} "
                  f"L {n(CX - half + 6.2)},{n(top + depth)} L {n(CX - notch / 2)},{n(top + depth)} "
                  f"L {n(CX - notch / 2)},{n(top)} L {n(CX + notch / 2)},{n(top)} "
                  f"L {n(CX + notch / 2)},{n(top + depth)} L {n(CX + half - 6.2)},{n(top + depth)} "
                  f"L {n(CX + half - 6.2)},{n(top)} L {n(CX + half)},{n(top)} "
                  f"L {n(CX + half)},{n(top + 11)} L {n(CX - half)},{n(top + 11)} Z")
    tower = lathe([("L", 9.6, 29.0), ("C", 9.2, 38.0, 10.0, 46.0, 12.0, 52.5), ("L", 0, 52.5)], 29.0)
    parts = [tower, battlement, disc(27.0, 30.4, 11.6)] + base(r=15.5)
    details = [f"M {n(CX - half + 1.5)},{n(top + 8)} L {n(CX + half - 1.5)},{n(top + 8)}"]
    return parts, details


def bishop():
    mitre = lathe([("C", 5.5, 15.0, 10.2, 21.0, 10.0, 28.5), ("C", 9.8, 32.5, 7.5, 35.5, 6.0, 36.5),
                   ("L", 0, 36.5)], 13.0)
    parts = [ball(10.2, 3.2), flare(39.0, 4.8, 53.0, 11.5), mitre,
             disc(35.2, 38.6, 9.6), disc(38.2, 40.8, 7.2)] + base(r=14.8)
    details = [f"M {n(CX + 1.2)},{n(18.5)} L {n(CX + 6.8)},{n(26.5)}"]
    return parts, details


def queen():
    points = [(-11.8, 15.5), (-6.2, 12.8), (0.0, 11.8), (6.2, 12.8), (11.8, 15.5)]
    crown = f"M {n(CX - 8.0)},{n(30.5)} "
    crown += f"L {n(CX + points[0][0])},{n(points[0][1])} "
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        mx, my = (x0 + x1) / 2, max(y0, y1) + 6.5
        crown += f"Q {n(CX + mx)},{n(my)} {n(CX + x1)},{n(y1)} "
    crown += f"L {n(CX + 8.0)},{n(30.5)} Z"
    parts = [crown] + [_shift(ball(y - 0.6, 2.4), x) for (x, y) in points]
    parts += [flare(35.0, 5.6, 53.0, 12.5), disc(29.4, 32.8, 10.6), disc(32.4, 35.4, 8.2)]
    parts += base(r=16.0)
    details = [f"M {n(CX - 8.6)},{n(26.8)} Q {n(CX)},{n(28.6)} {n(CX + 8.6)},{n(26.8)}"]
    return parts, details


def king():
    cross = (f"M {n(CX - 1.7)},{n(4.2)} L {n(CX + 1.7)},{n(4.2)} L {n(CX + 1.7)},{n(6.9)} "
             f"L {n(CX + 4.9)},{n(6.9)} L {n(CX + 4.9)},{n(10.1)} L {n(CX + 1.7)},{n(10.1)} "
             f"L {n(CX + 1.7)},{n(14.5)} L {n(CX - 1.7)},{n(14.5)} L {n(CX - 1.7)},{n(10.1)} "
             f"L {n(CX - 4.9)},{n(10.1)} L {n(CX - 4.9)},{n(6.9)} L {n(CX - 1.7)},{n(6.9)} Z")
    cup = lathe([("L", 3.4, 14.6), ("C", 8.0, 15.0, 12.4, 16.0, 12.4, 18.2),
                 ("C", 12.4, 21.0, 8.5, 26.0, 7.4, 30.0), ("L", 0, 30.0)], 14.6)
    parts = [cross, cup, flare(34.8, 5.8, 53.0, 12.8), disc(28.8, 32.2, 10.8), disc(31.8, 34.8, 8.4)]
    parts += base(r=16.4)
    details = [f"M {n(CX - 10.6)},{n(19.2)} Q {n(CX)},{n(21.4)} {n(CX + 10.6)},{n(19.2)}"]
    return parts, details


def knight():
    head = ("M 47.2,53.0 "
            "C 48.6,44.0 48.4,33.0 45.0,25.6 "
            "C 42.4,19.6 38.4,15.6 35.6,13.8 "
            "L 35.8,7.2 "
            "L 31.0,11.6 "
            "L 28.0,8.6 "
            "L 27.4,13.4 "
            "C 22.8,16.0 17.6,23.6 14.0,30.6 "
            "C 12.6,33.4 11.6,35.4 12.2,37.6 "
            "C 13.0,40.2 16.2,41.6 18.6,40.2 "
            "C 20.4,39.2 22.0,38.0 24.6,37.2 "
            "C 27.2,36.6 29.4,35.8 31.0,34.2 "
            "C 29.2,40.0 22.0,44.6 21.2,53.0 Z")
    parts = [head] + base(r=15.5)
    details = [
        "M 25.4,21.8 C 26.6,20.8 28.2,20.8 29.0,21.8",  # eye
        "M 15.6,34.8 L 17.6,34.2",  # nostril
        "M 37.6,16.6 C 42.6,22.4 44.6,30.0 44.8,40.0",  # mane
    ]
    return parts, details


def _shift(path, dx):
    """Moves an absolute path made by lathe() sideways by dx."""
    out = []
    for tok in path.split(" "):
        if "," in tok:
            x, y = tok.split(",")
            out.append(f"{n(float(x) + dx)},{y}")
        else:
            out.append(tok)
    return " ".join(out)


PIECES = {"Pes": pawn, "Vez": rook, "Jez": knight, "Str": bishop, "Dam": queen, "Kra": king}


def piece_svg(name, colour):
    style = STYLES[colour]
    parts, details = PIECES[name]()
    stops = "".join(f'<stop offset="{o}" stop-color="{c}"/>' for o, c in style["stops"])
    body = "\n".join(
        f' <path d="{d}" fill="url(#wood)" stroke="{style["line"]}" stroke-width="{STROKE}" '
        f'stroke-linejoin="round"/>' for d in parts)
    if colour == "C":
        # A faint light rim keeps the dark wood apart from dark squares.
        rim = "\n".join(
            f'  <path d="{d}" fill="#ffffff" stroke="#ffffff" stroke-width="{n(STROKE + 2)}" '
            f'stroke-linejoin="round"/>' for d in parts)
        body = f' <g opacity="0.5">\n{rim}\n </g>\n' + body
    extra = "\n".join(
        f' <path d="{d}" fill="none" stroke="{style["detail"]}" stroke-width="1.2" '
        f'stroke-linecap="round"/>' for d in details)
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        f"<!-- Klub_{name}_{colour}: drawn for Bodlany sachy by tools/artwork/draw_club_pieces.py -->\n"
        '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="68" height="68" viewBox="0 0 68 68">\n'
        f' <defs><linearGradient id="wood" x1="0" y1="0" x2="1" y2="0">{stops}</linearGradient></defs>\n'
        f' <g transform="translate({n(CX * (1 - WIDEN))},0) scale({n(WIDEN)},1)">\n'
        f"{body}\n{extra}\n </g>\n</svg>\n").encode("utf-8")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "pieces")
    os.makedirs(outdir, exist_ok=True)
    for name in PIECES:
        for colour in STYLES:
            data = piece_svg(name, colour)
            box = svgfit.check_square(data)
            path = os.path.join(outdir, f"Klub_{name}_{colour}.svg")
            with open(path, "wb") as f:
                f.write(data)
            print(path, box)


if __name__ == "__main__":
    main()
