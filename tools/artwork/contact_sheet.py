#!/usr/bin/python3
"""Draws every piece set on every board texture into one PNG, the way the
board composes a square (texture half, then the piece on top), so the
artwork can be judged together.

Needs: apt-get install python3-pyqt6.qtsvg
Usage: tools/artwork/contact_sheet.py [output.png] [scale]
       scale 2 renders the pieces at 136 x 136 on the @2x textures.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import svgfit  # noqa: E402
from PyQt6.QtCore import QRect, QRectF, Qt  # noqa: E402
from PyQt6.QtGui import QColor, QFont, QImage, QPainter  # noqa: E402
from PyQt6.QtSvg import QSvgRenderer  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.join(HERE, "..", "..", "resources")
SETS = ["Klas", "Klub", "Umel"]
PIECES = ["Kra", "Dam", "Vez", "Str", "Jez", "Pes"]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "/tmp/contact_sheet.png"
    k = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    sq = 68 * k
    svgfit.app()
    textures = []
    for n in range(1, 6):
        name = os.path.join(RES, "textures", f"textura{n}{'@2x' if k == 2 else ''}.png")
        textures.append(QImage(name) if os.path.exists(name) else None)

    label_w = 60
    board_w = 6 * sq
    sheet = QImage(label_w + 5 * (board_w + 10), len(SETS) * (2 * sq + 10) + 20,
                   QImage.Format.Format_RGB32)
    sheet.fill(QColor(250, 250, 250))
    p = QPainter(sheet)
    p.setFont(QFont("DejaVu Sans", 9))
    for t in range(5):
        p.drawText(label_w + t * (board_w + 10), 14, f"textura{t + 1}")
    for s, prefix in enumerate(SETS):
        y0 = 20 + s * (2 * sq + 10)
        p.drawText(QRect(0, y0, label_w, 2 * sq), Qt.AlignmentFlag.AlignVCenter, prefix)
        for t, tex in enumerate(textures):
            x0 = label_w + t * (board_w + 10)
            for row, colour in enumerate(["C", "B"]):
                for col, piece in enumerate(PIECES):
                    light = (row + col) % 2 == 0
                    target = QRect(x0 + col * sq, y0 + row * sq, sq, sq)
                    if tex is not None:
                        p.drawImage(target, tex, QRect(0 if light else sq, 0, sq, sq))
                    else:
                        p.fillRect(target, QColor(240, 217, 181) if light else QColor(181, 136, 99))
                    path = os.path.join(RES, "pieces", f"{prefix}_{piece}_{colour}.svg")
                    if os.path.exists(path):
                        QSvgRenderer(path).render(p, QRectF(target))
    p.end()
    sheet.save(out)
    print(out)


if __name__ == "__main__":
    main()
