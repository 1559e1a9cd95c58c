#pragma once

#include <QString>

class QWidget;

// The save and open dialogs of the program. Each remembers the file name chosen at its
// last use in the run and offers it at the next.
class TFileDialog {
public:
    enum class Kind { Save, Open };
    explicit TFileDialog(Kind kind)
        : kind_(kind) {}

    QString FileName;
    // True when the user chose a name, which is then in FileName.
    bool Execute(QWidget* owner);

private:
    Kind kind_;
};

class TSaveDialog : public TFileDialog {
public:
    TSaveDialog()
        : TFileDialog(Kind::Save) {}
};

class TOpenDialog : public TFileDialog {
public:
    TOpenDialog()
        : TFileDialog(Kind::Open) {}
};
