#include "platform/TMemo.h"

#include "platform/LineText.h"

#include <QInputMethodEvent>
#include <QMimeData>

TMemo::TMemo(QWidget* parent)
    : QPlainTextEdit(parent) {}

void TMemo::setPlainText(const QString& text) {
    QPlainTextEdit::setPlainText(lineText::withoutStrays(text));
}

void TMemo::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QMimeData text;
    text.setText(lineText::withoutStrays(source->text()));
    QPlainTextEdit::insertFromMimeData(&text);
}

void TMemo::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    if (lineText::readsBack(commit)) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent held(event->preeditString(), event->attributes());
    held.setCommitString(lineText::withoutStrays(commit), event->replacementStart(),
                         event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&held);
}
