#pragma once

#include "platform/TForm.h"

#include <QList>

#include <memory>

class QCheckBox;
namespace Ui {
class PrintChoice;
}

// "Printing": fourteen check boxes (the twelve months, "Year", "Chart: overview"),
// "Print" and "Back". "Print" shows and prints each chosen window as one page.
class TForm16 final : public TForm {
    Q_OBJECT

public:
    TForm16();
    ~TForm16() override;

    std::unique_ptr<Ui::PrintChoice> ui;

    // CheckBox1 ... CheckBox14 in table order.
    QList<QCheckBox*> choices() const;
    // Clears the fourteen boxes in order (the year sheet's "Print months" does).
    void clearChoices();

    void Button1Click(); // "Print"
    void Button2Click(); // "Back"

protected:
    void FormClose() override;
};

extern TForm16* Form16;
