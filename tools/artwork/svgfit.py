"""Helpers shared by the piece scripts: measuring what an SVG really paints
and writing the small, self-contained 68 x 68 files the board draws.

Measuring goes through Qt's own SVG renderer (PyQt6), so the margins we
compute are the ones the program will see, not an approximation from the
path data.
"""
import copy
import os
import re
import xml.etree.ElementTree as ET

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
from PyQt6.QtCore import QByteArray, QRectF  # noqa: E402
from PyQt6.QtGui import QGuiApplication, QImage, QPainter  # noqa: E402
from PyQt6.QtSvg import QSvgRenderer  # noqa: E402

SVG = "http://www.w3.org/2000/svg"
XLINK = "http://www.w3.org/1999/xlink"
ET.register_namespace("", SVG)
ET.register_namespace("xlink", XLINK)

SQUARE = 68
# Where an opaque pixel may lie: x 3..64, y 1..66 inclusive. The boxes we aim
# for stay a little inside so that antialiasing never crosses the limits.
FIT_LEFT, FIT_RIGHT = 4.0, 64.0
FIT_TOP, FIT_BOTTOM = 2.0, 65.5

_app = None


def app():
    global _app
    if _app is None:
        _app = QGuiApplication.instance() or QGuiApplication([])
    return _app


def render(svg_bytes, width, height, viewbox=None):
    """Renders SVG text onto a transparent width x height ARGB image."""
    app()
    renderer = QSvgRenderer(QByteArray(svg_bytes))
    if not renderer.isValid():
        raise ValueError("Qt cannot read this SVG")
    if viewbox is not None:
        renderer.setViewBox(QRectF(*viewbox))
    image = QImage(width, height, QImage.Format.Format_ARGB32_Premultiplied)
    image.fill(0)
    painter = QPainter(image)
    painter.setRenderHint(QPainter.RenderHint.Antialiasing)
    renderer.render(painter)
    painter.end()
    return image


def alpha_bbox(image, threshold=1):
    """Pixel box (left, top, right, bottom), inclusive, of alpha >= threshold."""
    img = image.convertToFormat(QImage.Format.Format_ARGB32)
    w, h = img.width(), img.height()
    ptr = img.constBits()
    ptr.setsize(w * h * 4)
    data = bytes(ptr)
    left, top, right, bottom = w, h, -1, -1
    for y in range(h):
        row = data[y * w * 4:(y + 1) * w * 4]
        alphas = row[3::4]
        xs = [x for x, a in enumerate(alphas) if a >= threshold]
        if xs:
            top = min(top, y)
            bottom = y
            left = min(left, xs[0])
            right = max(right, xs[-1])
    if right < 0:
        return None
    return left, top, right, bottom


def measure(svg_bytes, viewbox, pixels_per_unit=8.0):
    """Box (x0, y0, x1, y1) in user units of what the SVG paints inside viewbox."""
    vx, vy, vw, vh = viewbox
    w, h = int(round(vw * pixels_per_unit)), int(round(vh * pixels_per_unit))
    box = alpha_bbox(render(svg_bytes, w, h, viewbox), threshold=8)
    if box is None:
        raise ValueError("the picture is empty")
    l, t, r, b = box
    return (vx + l / pixels_per_unit, vy + t / pixels_per_unit,
            vx + (r + 1) / pixels_per_unit, vy + (b + 1) / pixels_per_unit)


def referenced_ids(element):
    """Ids that element and its descendants refer to via url(#id) or href."""
    found = set()
    for node in element.iter():
        for key, value in node.attrib.items():
            found.update(re.findall(r"url\(#([^)]+)\)", value))
            if key in (f"{{{XLINK}}}href", "href") and value.startswith("#"):
                found.add(value[1:])
    return found


def collect_defs(root, content):
    """Copies of every definition content needs, followed transitively."""
    by_id = {n.get("id"): n for n in root.iter() if n.get("id")}
    wanted, queue = [], list(referenced_ids(content))
    seen = set()
    while queue:
        ident = queue.pop()
        if ident in seen or ident not in by_id:
            continue
        seen.add(ident)
        node = by_id[ident]
        wanted.append(node)
        queue.extend(referenced_ids(node))
    # Keep document order so that gradients precede their users.
    order = {id(n): i for i, n in enumerate(root.iter())}
    wanted.sort(key=lambda n: order[id(n)])
    return [copy.deepcopy(n) for n in wanted]


def clean(element):
    """Drops editor-only attributes and elements (Inkscape, Sodipodi, RDF)."""
    for node in list(element.iter()):
        for key in list(node.attrib):
            if key.startswith("{") and not key.startswith(("{%s}" % SVG, "{%s}" % XLINK)):
                del node.attrib[key]
        for child in list(node):
            if not isinstance(child.tag, str) or not child.tag.startswith("{%s}" % SVG):
                node.remove(child)
    return element


def document(defs, body, comment=None, viewbox=(0, 0, SQUARE, SQUARE)):
    """Serialises a standalone SVG document holding defs and body elements."""
    vb = " ".join(num(v) for v in viewbox)
    root = ET.Element(f"{{{SVG}}}svg", {
        "version": "1.1",
        "width": num(viewbox[2]),
        "height": num(viewbox[3]),
        "viewBox": vb,
    })
    if defs:
        d = ET.SubElement(root, f"{{{SVG}}}defs")
        d.extend(defs)
    root.extend(body)
    ET.indent(root, space=" ")
    text = ET.tostring(root, encoding="unicode")
    head = '<?xml version="1.0" encoding="UTF-8"?>\n'
    if comment:
        head += "<!-- " + comment.replace("--", "-") + " -->\n"
    return (head + text + "\n").encode("utf-8")


def num(v):
    s = f"{v:.4f}".rstrip("0").rstrip(".")
    return s if s not in ("", "-0") else "0"


def _style(node):
    style = dict(kv.split(":", 1) for kv in node.get("style", "").split(";") if ":" in kv)
    style = {k.strip(): v.strip() for k, v in style.items()}
    for key in ("fill", "stroke", "stroke-width", "opacity", "display"):
        if node.get(key) is not None and key not in style:
            style[key] = node.get(key)
    return style


def halo(elements, extra, colour="#ffffff", opacity=0.5):
    """A light rim behind dark pieces so they stay visible on dark squares.

    Returns copies of elements painted flat in colour, every outline made
    wider by extra (user units), to be placed underneath the originals.
    """
    out = []
    for element in elements:
        e = copy.deepcopy(element)
        for node in e.iter():
            if not node.tag.endswith(("path", "rect", "circle", "ellipse", "polygon", "polyline", "line")):
                continue
            st = _style(node)
            filled = st.get("fill", "black") != "none"
            stroked = st.get("stroke", "none") != "none"
            width = float(st.get("stroke-width", "1").replace("px", "")) if stroked else 0.0
            for key in ("fill", "stroke", "stroke-width", "opacity", "fill-opacity", "stroke-opacity"):
                node.attrib.pop(key, None)
            node.set("style", ";".join([
                f"fill:{colour if filled else 'none'}",
                f"stroke:{colour}",
                f"stroke-width:{num(width + extra)}",
                "stroke-linejoin:round",
                "stroke-linecap:round",
            ]))
        out.append(e)
    g = ET.Element(f"{{{SVG}}}g", {"opacity": num(opacity)})
    g.extend(out)
    return g


def fit_transform(box, scale, centre_x=SQUARE / 2, baseline=63.5):
    """translate/scale that puts box's bottom centre at (centre_x, baseline)."""
    x0, y0, x1, y1 = box
    tx = centre_x - scale * (x0 + x1) / 2
    ty = baseline - scale * y1
    return f"translate({num(tx)},{num(ty)}) scale({num(scale)})"


def check_square(svg_bytes):
    """Raises unless the 68 x 68 rendering keeps to the allowed area."""
    box = alpha_bbox(render(svg_bytes, SQUARE, SQUARE))
    if box is None:
        raise ValueError("renders empty")
    l, t, r, b = box
    if l < 3 or r > 64 or t < 1 or b > 66:
        raise ValueError(f"paints outside x 3..64, y 1..66: {box}")
    return box
