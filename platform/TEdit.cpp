#include "platform/TEdit.h"

#include "platform/TextLength.h"

#include <QMouseEvent>

TEdit::TEdit(QWidget* parent)
    : QLineEdit(parent) {
    setMaxLength(LongestText);
}

void TEdit::setText(const QString& text) {
    QLineEdit::setText(text);
    setCursorPosition(0);
}

void TEdit::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
}

void TEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        pressed_ = true;
}

void TEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void TEdit::focusOutEvent(QFocusEvent* event) {
    const int start = selectionStart();
    const int length = selectionLength();
    QLineEdit::focusOutEvent(event);
    if (!hideSelection_ && start >= 0 && length > 0)
        setSelection(start, length);
}
