#include "Artwork.h"

#include <QtCore/qglobal.h>

void InitArtwork()
{
    Q_INIT_RESOURCE(artwork);
}
