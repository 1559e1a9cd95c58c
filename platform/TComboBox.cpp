#include "platform/TComboBox.h"

#include "platform/TEdit.h"

TComboBox::TComboBox(QWidget* parent)
    : QComboBox(parent) {
    setLineEdit(new TEdit(this));
    // Without a completer, the match when editing ends is exact and case-sensitive, so
    // only a text that already equals an item is taken as that item.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
}

void TComboBox::setCurrentText(const QString& text) {
    QComboBox::setCurrentText(text);
    lineEdit()->setCursorPosition(0);
}
