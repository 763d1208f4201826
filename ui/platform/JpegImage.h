#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG file held in memory with libjpeg. Baseline and progressive
// files in greyscale, YCbCr/RGB or CMYK give an RGB image; anything libjpeg
// objects to, even with only a warning (a truncated file, a damaged entropy
// segment), gives a null image rather than a half-grey picture. So does a
// picture of more than 256 MiB decoded, which no file of ours comes near.
QImage DecodeJpeg(const QByteArray& bytes);
