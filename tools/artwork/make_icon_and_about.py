#!/usr/bin/python3
"""Makes the program icon and the About dialog's background from our own
club pieces and the first board texture, so neither carries anything but
this project's artwork.

Icon: a white knight on a 2 x 2 patch of board, as SVG and as PNGs of the
desktop's usual sizes, 16 to 512 pixels. Background: a washed-out, softly blurred corner of a board with a few
pieces, light enough for dark red and black text on top; saved as a
baseline JPEG, which the dialog decodes with libjpeg.

Needs: apt-get install python3-pyqt6.qtsvg python3-pil
Usage: tools/artwork/make_icon_and_about.py [resources dir]
"""
import io
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw_club_pieces as club  # noqa: E402
import svgfit  # noqa: E402
from PIL import Image, ImageFilter  # noqa: E402
from PyQt6.QtCore import QBuffer, QByteArray, QIODevice, QRect, QRectF  # noqa: E402
from PyQt6.QtGui import QColor, QImage, QPainter  # noqa: E402
from PyQt6.QtSvg import QSvgRenderer  # noqa: E402

LIGHT, DARK = "#f0d4a4", "#a8703f"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256, 512)


def icon_svg():
    """Knight over four squares with rounded outer corners (no clipping
    needed, which keeps it readable by every SVG renderer)."""
    r, s = 7, 32  # corner radius, square size in a 64-unit icon
    squares = [
        (f"M 0,{r} A {r},{r} 0 0 1 {r},0 L {s},0 L {s},{s} L 0,{s} Z", DARK),
        (f"M {s},0 L {2 * s - r},0 A {r},{r} 0 0 1 {2 * s},{r} L {2 * s},{s} L {s},{s} Z", LIGHT),
        (f"M 0,{s} L {s},{s} L {s},{2 * s} L {r},{2 * s} A {r},{r} 0 0 1 0,{2 * s - r} Z", LIGHT),
        (f"M {s},{s} L {2 * s},{s} L {2 * s},{2 * s - r} A {r},{r} 0 0 1 {2 * s - r},{2 * s} "
         f"L {s},{2 * s} Z", DARK),
    ]
    board = "\n".join(f' <path d="{d}" fill="{c}"/>' for d, c in squares)
    piece = club.piece_svg("Jez", "B").decode("utf-8")
    inner = piece[piece.index("<defs>"):piece.rindex("</svg>")]
    # The 68-unit piece square, enlarged to fill most of the icon.
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        "<!-- Bodlany sachy program icon, drawn by tools/artwork/make_icon_and_about.py -->\n"
        '<svg xmlns="http://www.w3.org/2000/svg" version="1.1" width="256" height="256" '
        'viewBox="0 0 64 64">\n'
        f"{board}\n"
        ' <rect x="0.5" y="0.5" width="63" height="63" rx="6.5" fill="none" stroke="#5a3a1c" '
        'stroke-width="1"/>\n'
        f' <g transform="translate(-3.2,-5.4) scale(1.04)">\n{inner}\n </g>\n'
        "</svg>\n").encode("utf-8")


def qimage_to_pil(image):
    buf = QBuffer()
    buf.open(QIODevice.OpenModeFlag.WriteOnly)
    image.save(buf, "PNG")
    return Image.open(io.BytesIO(bytes(buf.data()))).convert("RGBA")


def about_background(res):
    """A corner of a board with a few pieces, blurred and washed out."""
    w, h, sq = 447, 310, 96
    texture = QImage(os.path.join(res, "textures", "textura1@2x.png"))
    image = QImage(w, h, QImage.Format.Format_RGB32)
    image.fill(QColor(255, 255, 255))
    p = QPainter(image)
    x0, y0 = 150, -40
    for row in range(5):
        for col in range(4):
            light = (row + col) % 2 == 1
            p.drawImage(QRect(x0 + col * sq, y0 + row * sq, sq, sq), texture,
                        QRect(0 if light else 136, 0, 136, 136))
    pieces = [("Vez", "C", 0, 0), ("Kra", "C", 1, 1), ("Pes", "C", 2, 1), ("Jez", "B", 2, 2),
              ("Dam", "B", 1, 3), ("Pes", "B", 3, 2), ("Str", "B", 0, 2)]
    for name, colour, col, row in pieces:
        QSvgRenderer(QByteArray(club.piece_svg(name, colour))).render(
            p, QRectF(x0 + col * sq, y0 + row * sq, sq, sq))
    p.end()

    board = qimage_to_pil(image).convert("RGB").filter(ImageFilter.GaussianBlur(3.0))
    # Fade the board into paper towards the left, where most text starts,
    # and keep all of it pale enough for dark text.
    paper = Image.new("RGB", (w, h), (251, 247, 238))
    mask = Image.new("L", (w, h))
    for x in range(w):
        strength = 0.22 + 0.18 * max(0.0, min(1.0, (x - 120) / 250))
        mask.paste(int(255 * strength), (x, 0, x + 1, h))
    return Image.composite(board, paper, mask)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    res = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources")
    svgfit.app()
    os.makedirs(os.path.join(res, "icons"), exist_ok=True)
    os.makedirs(os.path.join(res, "about"), exist_ok=True)

    data = icon_svg()
    with open(os.path.join(res, "icons", "bodlany-sachy.svg"), "wb") as f:
        f.write(data)
    # The sizes of the desktop's hicolor icon theme; 256 is also the
    # window icon built into the program.
    for size in ICON_SIZES:
        qimage_to_pil(svgfit.render(data, size, size)).save(
            os.path.join(res, "icons", f"bodlany-sachy-{size}.png"), optimize=True)

    jpeg = os.path.join(res, "about", "background.jpg")
    about_background(res).save(jpeg, "JPEG", quality=90, progressive=False, optimize=False)
    raw = open(jpeg, "rb").read()
    if b"\xff\xc0" not in raw or b"\xff\xc2" in raw:
        raise SystemExit("background.jpg is not a baseline JPEG")
    print("icon and background written")


if __name__ == "__main__":
    main()
