#pragma once

#include <QPlainTextEdit>

// The notes box: plain text whose line breaks stay lines. It never holds a character that
// the budget file would read as part of its own layout: Ctrl+Z and half surrogate pairs are
// dropped from what is pasted, dropped in, committed by an input method or given by the
// program (see lineText). A keyboard types neither.
class TMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TMemo(QWidget* parent = nullptr);

    // Hides QPlainTextEdit::setPlainText: the text the program gives is held without strays.
    void setPlainText(const QString& text);

protected:
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};
