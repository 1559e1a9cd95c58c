#include "support/Ink.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

namespace {

InkColumns inkIn(const QImage& image, QColor background) {
    InkColumns ink{image.width(), -1};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() != background.rgb()) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
    return ink;
}

QColor backgroundOf(QWidget* widget) {
    return widget->palette().color(widget->backgroundRole());
}

} // namespace

InkColumns inkOf(QWidget* widget) {
    return inkIn(widget->grab().toImage(), backgroundOf(widget));
}

InkColumns inkOfText(QWidget* widget, const QString& text) {
    const int room = widget->fontMetrics().height();
    QImage image(widget->fontMetrics().horizontalAdvance(text) + 2 * room, widget->height(),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(backgroundOf(widget));
    QPainter painter(&image);
    painter.setFont(widget->font());
    painter.setPen(widget->palette().color(widget->foregroundRole()));
    painter.drawText(QRect(room, 0, image.width() - room, image.height()),
                     Qt::AlignLeft | Qt::AlignTop, text);
    painter.end();
    return inkIn(image, backgroundOf(widget));
}

bool rendersColour(QWidget* widget, QColor colour) {
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb())
                return true;
    return false;
}
