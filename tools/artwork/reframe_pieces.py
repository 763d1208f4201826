#!/usr/bin/python3
"""Reframes two piece sets shipped by Debian's pychess package into our
68 x 68 pictures: cburnett becomes the classic set (Klas_) and fantasy the
artistic set (Umel_).

Every piece of a set gets the same scale, so the king stays taller than the
pawn as on a real board; each piece is centred horizontally on its own
outline and stands on a common baseline.

Needs: apt-get install pychess python3-pyqt6.qtsvg
Usage: tools/artwork/reframe_pieces.py [output dir, default resources/pieces]
"""
import copy
import os
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import svgfit  # noqa: E402

PYCHESS = "/usr/share/pychess/pieces"
PIECES = {"Pes": "p", "Vez": "r", "Jez": "n", "Str": "b", "Dam": "q", "Kra": "k"}
COLOURS = {"B": "w", "C": "b"}
# Width of the light rim that keeps black pieces apart from dark squares.
HALO_PX = 1.0
SHEET_NAMES = {"p": "Pawn", "r": "Rook", "n": "Knight", "b": "Bishop", "q": "Queen", "k": "King"}

SETS = {
    "Klas": {
        "source": "cburnett",
        "credit": "Colin M. L. Burnett",
        "king_height": 57.0,
        "baseline": 63.5,
    },
    "Umel": {
        "source": "fantasy",
        "credit": "Maurizio Monge",
        "king_height": 59.0,
        "baseline": 64.0,
    },
}


def piece_fragment(source, colour, piece):
    """([defs], [body elements], viewbox) of one source piece."""
    if source == "cburnett":
        path = os.path.join(PYCHESS, source, f"{colour}{piece}.svg")
        root = ET.parse(path).getroot()
        body = [copy.deepcopy(n) for n in root if n.tag != f"{{{svgfit.SVG}}}defs"
                and n.tag.startswith(f"{{{svgfit.SVG}}}")]
        holder = ET.Element("g")
        holder.extend(body)
        return svgfit.collect_defs(root, holder), body, (0, 0, 45, 45)

    # A sheet: one group per piece, named e.g. "WhiteKnight", inside layers
    # that may carry transforms of their own.
    path = os.path.join(PYCHESS, source, f"{source}.svg")
    root = ET.parse(path).getroot()
    parents = {child: parent for parent in root.iter() for child in parent}
    ident = ("White" if colour == "w" else "Black") + SHEET_NAMES[piece]
    group = next(n for n in root.iter() if n.get("id") == ident)
    piece_group = copy.deepcopy(group)
    for child in list(piece_group):
        # The sheet marks each cell with an invisible 200 x 200 rectangle.
        if child.tag == f"{{{svgfit.SVG}}}rect" and child.get("width") == "200":
            piece_group.remove(child)
    node, wrapped = group, piece_group
    while parents.get(node) is not None and parents[node] is not root:
        node = parents[node]
        if node.get("transform"):
            outer = ET.Element(f"{{{svgfit.SVG}}}g", {"transform": node.get("transform")})
            outer.append(wrapped)
            wrapped = outer
    w, h = float(root.get("width")), float(root.get("height"))
    return svgfit.collect_defs(root, wrapped), [wrapped], (0, 0, w, h)


def build_set(prefix, spec, outdir):
    fragments = {}
    for pname, p in PIECES.items():
        for cname, c in COLOURS.items():
            defs, body, viewbox = piece_fragment(spec["source"], c, p)
            defs = [svgfit.clean(d) for d in defs]
            body = [svgfit.clean(copy.deepcopy(b)) for b in body]
            probe = svgfit.document(defs, body, viewbox=viewbox)
            fragments[(pname, cname)] = (defs, body, svgfit.measure(probe, viewbox))

    heights = [b[3] - b[1] for _, _, b in fragments.values()]
    widths = [b[2] - b[0] for _, _, b in fragments.values()]
    scale = min(spec["king_height"] / max(heights),
                (svgfit.FIT_RIGHT - svgfit.FIT_LEFT - 2 * HALO_PX) / max(widths))

    for (pname, cname), (defs, body, box) in sorted(fragments.items()):
        g = ET.Element(f"{{{svgfit.SVG}}}g", {
            "transform": svgfit.fit_transform(box, scale, baseline=spec["baseline"])})
        if cname == "C":
            g.append(svgfit.halo(body, HALO_PX * 2 / scale))
        g.extend(body)
        note = (f"{prefix}_{pname}_{cname}: piece by {spec['credit']}, from the "
                f"'{spec['source']}' set of Debian's pychess package "
                f"(GPL-3.0-or-later), reframed to 68 x 68 by tools/artwork/reframe_pieces.py"
                + (", light rim added" if cname == "C" else ""))
        data = svgfit.document(defs, [g], comment=note)
        svgfit.check_square(data)
        name = os.path.join(outdir, f"{prefix}_{pname}_{cname}.svg")
        with open(name, "wb") as f:
            f.write(data)
        print(name, svgfit.check_square(data))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "pieces")
    os.makedirs(outdir, exist_ok=True)
    for prefix, spec in SETS.items():
        build_set(prefix, spec, outdir)


if __name__ == "__main__":
    main()
