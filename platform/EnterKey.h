#pragma once

#include <QKeyEvent>

// Enter, on the main keyboard or the keypad.
inline bool isEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
}
