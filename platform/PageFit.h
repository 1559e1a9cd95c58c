#pragma once

#include <QSize>

// The size a window's image of size `image` is printed at on a printable area of size
// `printable`: the full page height when the image then fits across, otherwise the full
// page width. Each product-and-quotient is rounded to the nearest integer, halves away
// from zero.
QSize fitToPage(QSize image, QSize printable);
