#pragma once

#include "month/Sheet.h"

#include <memory>

class QPrinter;
class TPrintDialog;
class TSaveDialog;
namespace Ui {
class MonthSheet;
}

// A month sheet: the common sheet with the amount entry of a month ("Add" and the
// running sums, "Clear Particular"), the field clicks that empty a field,
// "Copy to all months" and "Print month". The twelve months are this one design plus
// the table of differences in MonthSheet.cpp.
class TMonthSheet : public TSheet {
    Q_OBJECT

public:
    ~TMonthSheet() override;

    std::unique_ptr<Ui::MonthSheet> ui;

    // The program's one save dialog and one print dialog; only January has them.
    std::unique_ptr<TSaveDialog> SaveDialog1;
    std::unique_ptr<TPrintDialog> PrintDialog1;

    // The twenty "Add" buttons and "Copy to all months" buttons, and the clicks on
    // the twenty amount fields and the currency field, by item in table order.
    void addClick(int item);
    void copyClick(int item);
    void fieldClick(TEdit* field);

    void Button3Click();   // "Clear Particular", earned
    void Button49Click();  // "Clear Particular", spend
    void Button54Click();  // "Print month"
    void Label2DblClick(); // the title, on March only: enter the year

protected:
    explicit TMonthSheet(int month);
};

class TForm2 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm2()
        : TMonthSheet(1) {}
};
class TForm3 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm3()
        : TMonthSheet(2) {}
};
class TForm4 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm4()
        : TMonthSheet(3) {}
};
class TForm5 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm5()
        : TMonthSheet(4) {}
};
class TForm6 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm6()
        : TMonthSheet(5) {}
};
class TForm7 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm7()
        : TMonthSheet(6) {}
};
class TForm8 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm8()
        : TMonthSheet(7) {}
};
class TForm9 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm9()
        : TMonthSheet(8) {}
};
class TForm10 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm10()
        : TMonthSheet(9) {}
};
class TForm11 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm11()
        : TMonthSheet(10) {}
};
class TForm12 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm12()
        : TMonthSheet(11) {}
};
class TForm13 final : public TMonthSheet {
    Q_OBJECT
public:
    TForm13()
        : TMonthSheet(12) {}
};

extern TForm2* Form2;
extern TForm3* Form3;
extern TForm4* Form4;
extern TForm5* Form5;
extern TForm6* Form6;
extern TForm7* Form7;
extern TForm8* Form8;
extern TForm9* Form9;
extern TForm10* Form10;
extern TForm11* Form11;
extern TForm12* Form12;
extern TForm13* Form13;

// The month sheet of a month (1..12).
TMonthSheet* monthSheet(int month);

// Every print button starts the same way: the landscape notice, then the January
// sheet's print dialog. True when the user confirmed the dialog.
bool startPrintJob(QWidget* owner);
// The print action of one window: the notice, the dialog, then the window as one page.
void printOnePage(QWidget& window);
// The current printer, kept by the January sheet's print dialog.
QPrinter& januaryPrinter();
// The January sheet's save dialog.
TSaveDialog& januarySaveDialog();
