#include "platform/TLabel.h"

#include <QMouseEvent>

int captionWidth(const QFontMetrics& metrics, const QString& text) {
    // The advance leaves out the overhang of slanted and emboldened faces.
    return std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).right() + 1) + 2;
}

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

void TLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitToText();
}

void TLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void TLabel::fitToText() {
    if (!autoSize_)
        return;
    // A right-aligned caption keeps its right edge. Its text is drawn from the left of the
    // fitted box all the same: QLabel clips the text to its box, so text set flush right
    // would lose the overhang of a slanted last letter.
    if (alignment() & Qt::AlignRight) {
        keepsRightEdge_ = true;
        setAlignment((alignment() & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft);
    }
    const int width = captionWidth(fontMetrics(), text()) + 2 * margin();
    QRect box = geometry();
    if (keepsRightEdge_)
        box.setLeft(box.right() + 1 - width);
    else
        box.setWidth(width);
    setGeometry(box);
}
