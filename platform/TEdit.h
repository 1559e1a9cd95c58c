#pragma once

#include <QLineEdit>

// A single-line field. A mouse click (the left button pressed on the field and released
// over it, a double click included) is announced; reaching the field by keyboard is
// not. With hideSelection off, the field keeps its selection shown when it loses the
// focus. It holds texts up to the longest a budget file line may be, on one line: however
// a text comes in (typed, pasted, dropped or set by the program), each line break in it
// becomes one blank, and Ctrl+Z and half surrogate pairs are dropped (see lineText). A text
// the program gives it is shown from its beginning, with the caret before its first
// character (Qt would put the caret after the last one and scroll the start out of sight);
// typing moves the caret as usual.
class TEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(bool hideSelection READ hideSelection WRITE setHideSelection)

public:
    explicit TEdit(QWidget* parent = nullptr);

    // Hides QLineEdit::setText: a text the program gives is shown from its beginning.
    void setText(const QString& text);

    bool hideSelection() const { return hideSelection_; }
    void setHideSelection(bool on) { hideSelection_ = on; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool pressed_ = false;
    bool hideSelection_ = true;
};
