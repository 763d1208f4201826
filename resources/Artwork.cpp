#include "Artwork.h"

#include <QResource>

#include <cstring>

void InitArtwork()
{
    Q_INIT_RESOURCE(artwork);
    Q_INIT_RESOURCE(prerendered);
    Q_INIT_RESOURCE(prerendered_plain);
}

QImage PrerenderedPicture(const QString& name, QImage::Format format)
{
    const QResource resource(QStringLiteral(":/prerendered/%1.argb").arg(name));
    if (!resource.isValid())
        return {};
    const QByteArray data = resource.uncompressedData();
    quint32 size[2] = {};  // width, height
    if (data.size() < qsizetype(sizeof size))
        return {};
    std::memcpy(size, data.constData(), sizeof size);
    const qsizetype rowBytes = qsizetype(size[0]) * 4;
    if (size[0] == 0 || size[0] > 4096 || size[1] > 4096 || data.size() != qsizetype(sizeof size) + rowBytes * size[1])
        return {};
    QImage image(static_cast<int>(size[0]), static_cast<int>(size[1]), format);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), data.constData() + sizeof size + rowBytes * y, std::size_t(rowBytes));
    return image;
}
