#include "platform/TEdit.h"

#include "platform/LineText.h"
#include "platform/TextLength.h"

#include <QMouseEvent>
#include <QValidator>

namespace {

// Keeps the field's text on one line. QLineEdit puts a validator's changed text in place
// of its own after every change: typing, pasting, dropping, an input method's text and a
// text the program sets alike.
class OneLine : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& text, int& position) const override {
        QString line = lineText::asOneLine(text);
        if (line != text) {
            position = int(lineText::asOneLine(QStringView(text).left(position)).size());
            text = std::move(line);
        }
        return Acceptable;
    }
};

} // namespace

TEdit::TEdit(QWidget* parent)
    : QLineEdit(parent) {
    setMaxLength(LongestText);
    setValidator(new OneLine(this));
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
