#include "month/MonthSheet.h"

#include "month/Calendar.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Printing.h"
#include "ui_MonthSheet.h"

TForm2* Form2 = nullptr;
TForm3* Form3 = nullptr;
TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;
TForm6* Form6 = nullptr;
TForm7* Form7 = nullptr;
TForm8* Form8 = nullptr;
TForm9* Form9 = nullptr;
TForm10* Form10 = nullptr;
TForm11* Form11 = nullptr;
TForm12* Form12 = nullptr;
TForm13* Form13 = nullptr;

namespace {

// How the twelve month sheets differ from the common design.
struct MonthDifferences {
    QSize captionBox;         // the month caption's fixed box
    bool saveAllInLowerCase;  // "Save all" instead of "Save All"
    bool otherAfterAddUp;     // Tab reaches "~Other" after "Add up"
    bool titleEntersYear;     // a double click on the title enters the year
    bool keepsGrantSelection; // "~Student grant" keeps its selection shown
    bool ownsDialogs;         // the program's one save dialog and print dialog
};

constexpr std::array<MonthDifferences, calendar::MonthCount> differences = {{
    {{105, 24}, false, false, false, true, true},   // January
    {{113, 33}, false, false, false, false, false}, // February
    {{89, 24}, false, false, true, false, false},   // March
    {{73, 24}, false, false, false, false, false},  // April
    {{73, 24}, false, false, false, false, false},  // May
    {{73, 24}, false, true, false, false, false},   // June
    {{73, 24}, false, false, false, false, false},  // July
    {{89, 24}, false, false, false, false, false},  // August
    {{121, 24}, false, false, false, false, false}, // September
    {{97, 24}, false, false, false, false, false},  // October
    {{121, 24}, true, false, false, false, false},  // November
    {{121, 24}, true, true, false, false, false},   // December
}};

} // namespace

TMonthSheet::TMonthSheet(int month)
    : TSheet(month)
    , ui(std::make_unique<Ui::MonthSheet>()) {
    ui->setupUi(this);
    setView(viewOf(*ui));

    const MonthDifferences& own = differences[month - 1];
    const QString& name = calendar::monthNames()[month - 1];
    setWindowTitle(name);
    ui->Label28->setText(name);
    ui->Label28->resize(own.captionBox);
    if (own.saveAllInLowerCase)
        ui->Button47->setText(QStringLiteral("Save all"));
    if (own.otherAfterAddUp) {
        setTabOrder(ui->Edit3, ui->Edit4);
        setTabOrder(ui->Edit4, ui->Edit5);
        setTabOrder(ui->Edit5, ui->Button1);
        setTabOrder(ui->Button1, ui->Edit20);
        setTabOrder(ui->Edit20, ui->Button4);
    }
    if (own.keepsGrantSelection)
        ui->Edit2->setHideSelection(false);
    if (own.titleEntersYear)
        bindEvent(ui->Label2, &TLabel::doubleClicked, this, [this] { Label2DblClick(); });
    if (own.ownsDialogs) {
        SaveDialog1 = std::make_unique<TSaveDialog>();
        PrintDialog1 = std::make_unique<TPrintDialog>();
    }

    bindCommonHandlers(*ui);
    const std::array<QAbstractButton*, SheetView::ItemCount> addButtons = {
        ui->Button4,  ui->Button6,  ui->Button7,  ui->Button8,  ui->Button9,
        ui->Button10, ui->Button5,  ui->Button11, ui->Button12, ui->Button13,
        ui->Button14, ui->Button15, ui->Button16, ui->Button17, ui->Button18,
        ui->Button19, ui->Button20, ui->Button21, ui->Button22, ui->Button23};
    const std::array<QAbstractButton*, SheetView::ItemCount> copyButtons = {
        ui->Button25, ui->Button26, ui->Button27, ui->Button28, ui->Button29,
        ui->Button30, ui->Button31, ui->Button32, ui->Button33, ui->Button34,
        ui->Button35, ui->Button36, ui->Button37, ui->Button38, ui->Button39,
        ui->Button40, ui->Button41, ui->Button42, ui->Button43, ui->Button44};
    for (int item = 0; item < SheetView::ItemCount; ++item) {
        bindClick(addButtons[item], this, [this, item] { addClick(item); });
        bindClick(copyButtons[item], this, [this, item] { copyClick(item); });
        TEdit* field = view().items[item];
        bindEvent(field, &TEdit::clicked, this, [this, field] { fieldClick(field); });
    }
    bindEvent(ui->Edit21, &TEdit::clicked, this, [this] { fieldClick(ui->Edit21); });
    bindClick(ui->Button3, this, [this] { Button3Click(); });
    bindClick(ui->Button49, this, [this] { Button49Click(); });
    bindClick(ui->Button54, this, [this] { Button54Click(); });
    focusFirstField();
}

TMonthSheet::~TMonthSheet() = default;

void TMonthSheet::fieldClick(TEdit* field) {
    field->setText(QString());
}

void TMonthSheet::addClick(int item) {
    addToRunningSum(tableOf(item), view().items[item]);
}

void TMonthSheet::copyClick(int item) {
    const QString text = view().items[item]->text();
    for (int month = 1; month <= calendar::MonthCount; ++month)
        monthSheet(month)->view().items[item]->setText(text);
}

void TMonthSheet::Button3Click() {
    clearRunningSum(earnedTable());
}

void TMonthSheet::Button49Click() {
    clearRunningSum(spendTable());
}

void TMonthSheet::Button54Click() {
    printOnePage(*this);
}

void TMonthSheet::Label2DblClick() {
    enterYear();
}

TMonthSheet* monthSheet(int month) {
    return static_cast<TMonthSheet*>(calendar::sheetAt(month));
}

bool startPrintJob(QWidget* owner) {
    dialogs().notice(QStringLiteral("Set orientation of printer on Landscape!"));
    return Form2->PrintDialog1->Execute(owner);
}

void printOnePage(QWidget& window) {
    if (startPrintJob(&window))
        printWindow(window, januaryPrinter());
}

QPrinter& januaryPrinter() {
    return Form2->PrintDialog1->printer();
}

TSaveDialog& januarySaveDialog() {
    return *Form2->SaveDialog1;
}
