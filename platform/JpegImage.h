#pragma once

#include <QByteArray>
#include <QImage>

// Decodes JPEG bytes with libjpeg into an RGB image (Format_RGB888). Colour, grayscale
// and CMYK/YCCK pictures are accepted; CMYK is taken in the inverted form that Adobe
// applications write. Anything libjpeg refuses or warns about (a damaged or truncated
// file: "premature end of data", corrupt entropy-coded data) gives a null image. The
// embedded colour profile, if any, is not applied: the pixels are taken as sRGB.
QImage decodeJpeg(const QByteArray& data);
