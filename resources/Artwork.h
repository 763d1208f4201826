#pragma once

#include <QImage>
#include <QString>

// Registers the compiled-in pictures (":/pieces/...", ":/textures/...",
// ":/menu/...", ":/about/...", ":/icons/...", ":/prerendered/..."). Linking
// the artwork library normally does this on its own; calling it once at
// start-up makes sure of it even where the linker drops the library's
// unreferenced initialiser. Calling it again is harmless.
void InitArtwork();

// The picture `name` (its file name without extension, with "@68" and the
// like for a size it was rendered at: "Klas_Pes_B@68", "textura1@2x") as
// rendered at build time, in the given format (Format_ARGB32_Premultiplied
// for the pieces, Format_ARGB32 for the pictures that have no transparency
// or go to the window system as they are); a null image when there is none.
QImage PrerenderedPicture(const QString& name, QImage::Format format);
