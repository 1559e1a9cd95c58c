#include "year/PrintChoice.h"

#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "month/Sheet.h"
#include "platform/Handlers.h"
#include "platform/Printing.h"
#include "ui_PrintChoice.h"
#include "year/Overview.h"

TForm16* Form16 = nullptr;

TForm16::TForm16()
    : ui(std::make_unique<Ui::PrintChoice>()) {
    ui->setupUi(this);
    bindClick(ui->Button1, this, [this] { Button1Click(); });
    bindClick(ui->Button2, this, [this] { Button2Click(); });
}

TForm16::~TForm16() = default;

QList<QCheckBox*> TForm16::choices() const {
    return {ui->CheckBox1,  ui->CheckBox2,  ui->CheckBox3,  ui->CheckBox4, ui->CheckBox5,
            ui->CheckBox6,  ui->CheckBox7,  ui->CheckBox8,  ui->CheckBox9, ui->CheckBox10,
            ui->CheckBox11, ui->CheckBox12, ui->CheckBox13, ui->CheckBox14};
}

void TForm16::clearChoices() {
    for (QCheckBox* box : choices())
        box->setChecked(false);
}

void TForm16::Button1Click() {
    // The windows the boxes print: the twelve months, the year sheet, the overview.
    QList<QWidget*> windows;
    for (int index = 1; index <= calendar::SheetCount; ++index)
        windows << calendar::sheetAt(index);
    windows << Form15;

    if (startPrintJob(this)) {
        const QList<QCheckBox*> boxes = choices();
        for (int box = 0; box < boxes.size(); ++box) {
            if (!boxes[box]->isChecked())
                continue;
            windows[box]->show();
            printWindow(*windows[box], januaryPrinter());
        }
    }
    for (QWidget* window : windows)
        window->hide();
}

void TForm16::Button2Click() {
    hide();
    calendar::sheetAt(calendar::YearSheet)->show();
}

void TForm16::FormClose() {
    hide();
    calendar::sheetAt(calendar::YearSheet)->show();
}
