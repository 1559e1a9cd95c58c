#pragma once

#include <QColor>

class QWidget;

// The columns of a widget's rendering that hold ink: pixels of any colour but the
// widget's background. An empty rendering gives left > right.
struct InkColumns {
    int left = 0;
    int right = -1;
    int width() const { return right - left + 1; }
};
InkColumns inkOf(QWidget* widget);

// The ink of a text drawn whole in a widget's font and text colour, with room on both
// sides, as the widget would draw it if nothing cut it off.
InkColumns inkOfText(QWidget* widget, const QString& text);

// Whether the widget's rendering holds a pixel of this colour.
bool rendersColour(QWidget* widget, QColor colour);
