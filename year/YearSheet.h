#pragma once

#include "month/Sheet.h"

#include <memory>

namespace Ui {
class YearSheet;
}

// The year sheet: the thirteenth sheet, between December and January in the ring. Its
// item fields are read-only; "Add all months up" fills each with the sum of that item
// over the twelve months, and the common table arithmetic works on its own numbers.
class TForm14 final : public TSheet {
    Q_OBJECT

public:
    TForm14();
    ~TForm14() override;

    std::unique_ptr<Ui::YearSheet> ui;

    // "Add all months up" for one item (table order), and for all twenty.
    void addAllMonthsUp(int item);
    void Button3Click();

    void Button26Click(); // "Print year"
    void Button25Click(); // "Overview"
    void Button27Click(); // "Print months"
};

extern TForm14* Form14;
