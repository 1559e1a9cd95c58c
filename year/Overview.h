#pragma once

#include "platform/TForm.h"

#include <memory>

class TBarSeries;
namespace Ui {
class Overview;
}

// "Year overview": the twelve monthly balances as red bars, January to December, taken
// from the months' balance captions when "Show overview" is pressed.
class TForm15 final : public TForm {
    Q_OBJECT

public:
    TForm15();
    ~TForm15() override;

    std::unique_ptr<Ui::Overview> ui;
    TBarSeries* Series1 = nullptr;

    void Button1Click(); // "Show overview"
    void Button2Click(); // "Main Menu"
    void Button3Click(); // "Back"
    void Button4Click(); // "Print"

protected:
    void FormClose() override;
};

extern TForm15* Form15;

// The bar of a balance caption: its leading number (after blanks, its decimal point the
// separator given or a full stop), whatever follows it, such as the currency; 0 when the
// caption begins with no number.
double captionValue(const QString& caption, QChar separator);
