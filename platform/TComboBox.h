#pragma once

#include <QComboBox>

// A drop-down box whose text can also be typed freely. The box holds exactly what was
// typed until the user picks an item from its list: no inline completion, no match
// that ignores letter case when editing ends (Qt's own box then puts the item's
// spelling in), and Enter never adds the text to the items, which are fixed. Its text
// field is a TEdit: it holds texts of the same length, on one line, whether typed,
// pasted or set by the program (setCurrentText and Qt's own calls go through it).
class TComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TComboBox(QWidget* parent = nullptr);

    // Hides QComboBox::setCurrentText: a text the program gives is shown from its
    // beginning, as in a TEdit.
    void setCurrentText(const QString& text);
};
