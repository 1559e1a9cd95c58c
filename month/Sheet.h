#pragma once

#include "budget/BudgetRecord.h"
#include "month/SheetView.h"
#include "platform/Handlers.h"
#include "platform/TForm.h"

#include <QColor>

#include <span>

// What the twelve month sheets and the year sheet have in common: the layout's widgets
// by role, the numbers each sheet holds beside its captions, the table arithmetic
// ("Add up", "Total", "Clear table", "Clear all"), the moves in the ring of sheets and
// the go-to box, entering the year, printing the sheet and "Save All".
class TSheet : public TForm {
    Q_OBJECT

public:
    // Index 1..12 for the months, 13 for the year sheet.
    explicit TSheet(int sheetIndex);
    ~TSheet() override;

    int sheetIndex() const { return sheetIndex_; }
    const SheetView& view() const { return view_; }

    // The numbers beside the captions; captions are never read back as numbers.
    double EarnedParticular = 0;
    double SpendParticular = 0;
    double EarnedTotal = 0;
    double SpendTotal = 0;
    double Balance = 0;

    // The record this sheet's "Save All" fills and writes.
    BudgetRecord record;

    // The balance caption's colour: red below 0, green above 0, else window text.
    static QColor balanceColour(double balance);
    static QColor windowTextColour();

    void Button1Click();   // "Add up", earned
    void Button2Click();   // "Add up", spend
    void Button24Click();  // "Total"
    void Button50Click();  // "Clear table", earned
    void Button51Click();  // "Clear table", spend
    void Button46Click();  // "Clear all"
    void Button45Click();  // "Main menu"
    void Button53Click();  // "<<"
    void Button52Click();  // ">>"
    void Button48Click();  // "Ok" beside the go-to box
    void Label1DblClick(); // enter the year
    void Button47Click();  // "Save All"

protected:
    // One table of the sheet: its fields and placeholders, captions and numbers.
    struct Table {
        std::span<TEdit* const> fields;
        const QString& fieldPlaceholder;
        TLabel* totalCaption;
        const QString& totalPlaceholder;
        double& total;
        TLabel* runningCaption; // null on the year sheet
        const QString& runningPlaceholder;
        double& running;
        TComboBox* verdict;
        const QString& verdictPlaceholder;
    };
    Table earnedTable();
    Table spendTable();
    Table tableOf(int item);

    void setView(const SheetView& view);
    // Called last in a sheet's construction: the field that has the focus at first.
    void focusFirstField();
    // Binds the handlers every sheet has to the widgets of its form.
    template <class Form> void bindCommonHandlers(Form& ui);
    void FormClose() override;

    void addToRunningSum(const Table& table, TEdit* field);
    void clearRunningSum(const Table& table);
    // A caption for a number: the shown number with the currency suffix of this sheet.
    QString captionFor(double value) const;

    // Hides this sheet, then shows the target.
    void moveTo(QWidget* target);

private:
    void addUp(const Table& table);
    void clearTable(const Table& table, bool resetRunningSum = true);

    int sheetIndex_;
    SheetView view_;
};

template <class Form> void TSheet::bindCommonHandlers(Form& ui) {
    bindClick(ui.Button1, this, [this] { Button1Click(); });
    bindClick(ui.Button2, this, [this] { Button2Click(); });
    bindClick(ui.Button24, this, [this] { Button24Click(); });
    bindClick(ui.Button50, this, [this] { Button50Click(); });
    bindClick(ui.Button51, this, [this] { Button51Click(); });
    bindClick(ui.Button46, this, [this] { Button46Click(); });
    bindClick(ui.Button45, this, [this] { Button45Click(); });
    bindClick(ui.Button53, this, [this] { Button53Click(); });
    bindClick(ui.Button52, this, [this] { Button52Click(); });
    bindClick(ui.Button48, this, [this] { Button48Click(); });
    bindClick(ui.Button47, this, [this] { Button47Click(); });
    bindEvent(ui.Label1, &TLabel::doubleClicked, this, [this] { Label1DblClick(); });
}

// The year caption for an answer: the answer as typed when it reads as a nonzero number,
// the placeholder for anything else (the empty answer of Cancel too).
QString yearCaptionFor(const QString& answer);

// Writes the year caption on the twelve month sheets, then on the year sheet.
void writeYearCaption(const QString& caption);

// Asks for the year and writes its caption on every sheet.
void enterYear();
