#include "Presentation.h"

#include "Artwork.h"

#include <QImageReader>

#include <cstdlib>

namespace {

// Piece code to the file name part: 1 pawn .. 6 king.
constexpr const char* PieceNames[6] = {"Pes", "Vez", "Jez", "Str", "Dam", "Kra"};

int SlotOf(int code)
{
    if (code < -6 || code > 6 || code == 0)
        return -1;
    const int kind = std::abs(code);
    return (kind - 1) + (code < 0 ? 6 : 0);
}

}  // namespace

PieceSet::PieceSet(QString prefix) : prefix_(std::move(prefix)) {}

const QImage& PieceSet::Picture(int code, qreal dpr) const
{
    static const QImage none;
    const int slot = SlotOf(code);
    if (slot < 0)
        return none;
    auto it = rendered_.find(dpr);
    if (it == rendered_.end()) {
        std::array<QImage, 12> pictures;
        const int side = qRound(68 * dpr);
        for (int i = 0; i < 12; ++i) {
            const QString name = QStringLiteral("%1%2_%3").arg(prefix_, QLatin1String(PieceNames[i % 6]),
                                                               i < 6 ? QStringLiteral("B") : QStringLiteral("C"));
            // The sizes of ordinary and double-density screens come rendered
            // from the build; any other size is rendered here, through the
            // SVG image plugin.
            QImage image = PrerenderedPicture(QStringLiteral("%1@%2").arg(name).arg(side),
                                              QImage::Format_ARGB32_Premultiplied);
            if (image.size() != QSize(side, side)) {
                QImageReader reader(QStringLiteral(":/pieces/%1.svg").arg(name));
                reader.setScaledSize(QSize(side, side));
                image = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            }
            if (image.size() != QSize(side, side)) {
                image = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::transparent);
            }
            image.setDevicePixelRatio(dpr);
            pictures[static_cast<std::size_t>(i)] = image;
        }
        it = rendered_.emplace(dpr, std::move(pictures)).first;
    }
    return it->second[static_cast<std::size_t>(slot)];
}

const PieceSet& PieceSetFor(PieceSetId id)
{
    static const PieceSet sets[3] = {PieceSet(QStringLiteral("Klas_")), PieceSet(QStringLiteral("Klub_")),
                                     PieceSet(QStringLiteral("Umel_"))};
    return sets[static_cast<int>(id)];
}

namespace {

QImage LoadScaled(const QString& folder, int n, qreal dpr)
{
    // The board textures come ready from the build: the first frame needs
    // no PNG decoded. The menu pictures are read from their PNG.
    const bool prerendered = folder == QLatin1String("textures");
    auto load = [&](const QString& suffix) {
        QImage image;
        if (prerendered)
            image = PrerenderedPicture(QStringLiteral("textura%1%2").arg(n).arg(suffix), QImage::Format_RGB32);
        if (image.isNull())
            image.load(QStringLiteral(":/%1/textura%2%3.png").arg(folder).arg(n).arg(suffix));
        return image;
    };
    if (dpr > 1.0) {
        QImage fine = load(QStringLiteral("@2x"));
        if (!fine.isNull()) {
            fine.setDevicePixelRatio(2.0);
            return fine;
        }
    }
    return load(QString());
}

}  // namespace

QImage LoadTexture(int n, qreal dpr)
{
    return LoadScaled(QStringLiteral("textures"), n, dpr);
}

QImage LoadTextureIcon(int n, qreal dpr)
{
    return LoadScaled(QStringLiteral("menu"), n, dpr);
}
