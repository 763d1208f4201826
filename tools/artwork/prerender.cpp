// Renders pictures at build time into raw pixels the program copies straight
// into an image: the first frame then needs neither SVG parsing nor PNG
// decoding. Each input is read exactly as the program reads it when no
// prerendered copy fits (QImageReader scaled to the side asked for), so the
// pixels are the same either way.
//
//   prerender [--straight] OUT_DIR SIDES FILE...
//
// SIDES is a comma-separated list of square sizes in pixels, or "native" for
// the picture's own size. For every FILE and side the output is
// OUT_DIR/<name without extension>@<side>.argb (<name>.argb for "native"):
// the width and the height as two 32-bit numbers, then the pixels, 32 bits
// each, all in native byte order; premultiplied ARGB, or plain ARGB with
// --straight. Exit code 2 on any failure, with one line on stderr.

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QStringList>

#include <cstdio>

namespace {

int Fail(const QString& message)
{
    std::fprintf(stderr, "prerender: %s\n", qPrintable(message));
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QImage::Format format = QImage::Format_ARGB32_Premultiplied;
    if (!args.isEmpty() && args.first() == QLatin1String("--straight")) {
        format = QImage::Format_ARGB32;
        args.removeFirst();
    }
    if (args.size() < 3)
        return Fail(QStringLiteral("usage: prerender [--straight] OUT_DIR SIDES FILE..."));
    const QString outDir = args.takeFirst();
    QList<int> sides;  // 0: the picture's own size
    for (const QString& text : args.takeFirst().split(QLatin1Char(','))) {
        bool ok = text == QLatin1String("native");
        const int side = ok ? 0 : text.toInt(&ok);
        if (!ok || side < 0 || side > 1024)
            return Fail(QStringLiteral("bad side \"%1\"").arg(text));
        sides.append(side);
    }
    for (const QString& path : args) {
        for (const int side : sides) {
            QImageReader reader(path);
            if (side > 0)
                reader.setScaledSize(QSize(side, side));
            const QImage image = reader.read().convertToFormat(format);
            if (image.isNull() || (side > 0 && image.size() != QSize(side, side)))
                return Fail(
                    QStringLiteral("cannot render %1 at %2 pixels: %3").arg(path).arg(side).arg(reader.errorString()));
            const QString base = QFileInfo(path).completeBaseName();
            const QString target = side > 0 ? QStringLiteral("%1/%2@%3.argb").arg(outDir, base).arg(side)
                                            : QStringLiteral("%1/%2.argb").arg(outDir, base);
            QFile out(target);
            if (!out.open(QIODevice::WriteOnly))
                return Fail(QStringLiteral("cannot write %1").arg(target));
            const quint32 size[2] = {quint32(image.width()), quint32(image.height())};
            out.write(reinterpret_cast<const char*>(size), sizeof size);
            for (int y = 0; y < image.height(); ++y)
                out.write(reinterpret_cast<const char*>(image.constScanLine(y)), qint64(image.width()) * 4);
            if (!out.flush())
                return Fail(QStringLiteral("cannot write %1").arg(target));
        }
    }
    return 0;
}
