#include "support/Ink.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

namespace {
int inkWidthIn(const QImage& image, QColor background) {
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() != background.rgb())
                left = std::min(left, x), right = std::max(right, x);
    return right - left + 1;
}
} // namespace

int inkWidth(QWidget* widget) {
    return inkWidthIn(widget->grab().toImage(), widget->palette().color(widget->backgroundRole()));
}

int inkWidth(QWidget* widget, const QString& text) {
    QImage image(widget->fontMetrics().horizontalAdvance(text) * 2, widget->height(),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(widget->palette().color(widget->backgroundRole()));
    QPainter painter(&image);
    painter.setFont(widget->font());
    painter.setPen(widget->palette().color(widget->foregroundRole()));
    painter.drawText(image.rect().adjusted(image.width() / 4, 0, 0, 0), Qt::AlignLeft, text);
    painter.end();
    return inkWidthIn(image, widget->palette().color(widget->backgroundRole()));
}
