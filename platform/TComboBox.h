#pragma once

#include <QComboBox>

// A drop-down box whose text can also be typed freely. The box holds exactly what was
// typed until the user picks an item from its list: no inline completion, no match of
// the typed text against the items when editing ends (Qt's own box matches ignoring
// letter case), and Enter never adds the text to the items, which are fixed. Its text
// field is a TEdit, with that field's length and the beginning of a given text shown.
class TComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TComboBox(QWidget* parent = nullptr);
};
