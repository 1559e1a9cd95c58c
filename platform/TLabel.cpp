#include "platform/TLabel.h"

#include <QMouseEvent>

TLabel::TLabel(QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

void TLabel::setAutoSize(bool on) {
    autoSize_ = on;
    fitToText();
}

void TLabel::setText(const QString& text) {
    QLabel::setText(text);
    fitToText();
}

QColor TLabel::fontColor() const {
    return palette().color(QPalette::WindowText);
}

void TLabel::setFontColor(const QColor& color) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, color);
    setPalette(colours);
}

void TLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void TLabel::fitToText() {
    if (!autoSize_)
        return;
    // The advance leaves out the overhang of slanted and emboldened faces.
    const QFontMetrics metrics = fontMetrics();
    const int width =
        std::max(metrics.horizontalAdvance(text()), metrics.boundingRect(text()).right() + 1) +
        2 * margin() + 2;
    QRect box = geometry();
    if (alignment() & Qt::AlignRight)
        box.setLeft(box.right() + 1 - width);
    else
        box.setWidth(width);
    setGeometry(box);
}
