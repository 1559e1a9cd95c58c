#pragma once

#include <QString>

class QWidget;

// The save and open dialogs of the program. Each remembers the file name chosen at its
// last use in the run and offers it at the next.
class TSaveDialog {
public:
    QString FileName;
    // True when the user chose a name, which is then in FileName.
    bool Execute(QWidget* owner);
};

class TOpenDialog {
public:
    QString FileName;
    bool Execute(QWidget* owner);
};
