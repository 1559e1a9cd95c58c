#include "platform/PageFit.h"

#include <QPageLayout>

#include <cstdint>
#include <cstdlib>

namespace {

// (a x b) / c in 64-bit integers, rounded to the nearest integer, halves away from zero.
std::int64_t scaled(std::int64_t a, std::int64_t b, std::int64_t c) {
    const std::int64_t product = a * b;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t numerator = std::llabs(product);
    const std::int64_t divisor = std::llabs(c);
    std::int64_t quotient = numerator / divisor;
    if (2 * (numerator % divisor) >= divisor)
        ++quotient;
    return negative ? -quotient : quotient;
}

} // namespace

QSize fitToPage(QSize image, QSize printable) {
    if (image.width() <= 0 || image.height() <= 0)
        return QSize(0, 0);
    const std::int64_t width = scaled(image.width(), printable.height(), image.height());
    if (width < printable.width())
        return QSize(static_cast<int>(width), printable.height());
    return QSize(printable.width(),
                 static_cast<int>(scaled(image.height(), printable.width(), image.width())));
}

QRect printableArea(const QPageLayout& layout, int resolution) {
    // Qt gives the printer's border as for the paper upright, in landscape too. A landscape
    // page lies on the paper turned a quarter counter-clockwise: its top along the paper's
    // left edge, its left along the paper's bottom.
    QMarginsF border = layout.minimumMargins();
    if (layout.orientation() == QPageLayout::Landscape)
        border = QMarginsF(border.bottom(), border.left(), border.top(), border.right());
    const QPageLayout printable(layout.pageSize(), layout.orientation(), border, layout.units());
    return printable.paintRectPixels(resolution);
}
