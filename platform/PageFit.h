#pragma once

#include <QRect>
#include <QSize>

class QPageLayout;

// The size a window's image of size `image` is printed at on a printable area of size
// `printable`: the full page height when the image then fits across, otherwise the full
// page width. Each product-and-quotient is rounded to the nearest integer, halves away
// from zero.
QSize fitToPage(QSize image, QSize printable);

// The area of the page the printer can print on, in device pixels at `resolution` from the
// paper's top-left corner as the page lies (full page): the paper less the printer's
// unprintable border, turned with the page.
QRect printableArea(const QPageLayout& layout, int resolution);
