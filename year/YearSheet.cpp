#include "year/YearSheet.h"

#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "month/Placeholders.h"
#include "platform/NumberText.h"
#include "ui_YearSheet.h"
#include "year/Overview.h"
#include "year/PrintChoice.h"

TForm14* Form14 = nullptr;

TForm14::TForm14()
    : TSheet(calendar::YearSheet)
    , ui(std::make_unique<Ui::YearSheet>()) {
    ui->setupUi(this);
    setView(viewOf(*ui));
    bindCommonHandlers(*ui);
    const std::array<QAbstractButton*, SheetView::ItemCount> itemButtons = {
        ui->Button4,  ui->Button6,  ui->Button7,  ui->Button8,  ui->Button9,
        ui->Button10, ui->Button5,  ui->Button11, ui->Button12, ui->Button13,
        ui->Button14, ui->Button15, ui->Button16, ui->Button17, ui->Button18,
        ui->Button19, ui->Button20, ui->Button21, ui->Button22, ui->Button23};
    for (int item = 0; item < SheetView::ItemCount; ++item)
        bindClick(itemButtons[item], this, [this, item] { addAllMonthsUp(item); });
    bindClick(ui->Button3, this, [this] { Button3Click(); });
    bindClick(ui->Button26, this, [this] { Button26Click(); });
    bindClick(ui->Button25, this, [this] { Button25Click(); });
    bindClick(ui->Button27, this, [this] { Button27Click(); });
    bindEvent(ui->Edit21, &TEdit::clicked, this, [this] { ui->Edit21->setText(QString()); });
    focusFirstField();
}

TForm14::~TForm14() = default;

void TForm14::addAllMonthsUp(int item) {
    // The months' texts are read at extended precision and summed there, so only a sum
    // beyond the range of a double fails when it is stored.
    const QChar separator = numbers::decimalSeparator();
    long double sum = 0;
    for (int month = 1; month <= calendar::MonthCount; ++month)
        sum += numbers::toExtended(calendar::sheetAt(month)->view().items[item]->text(), separator);
    view().items[item]->setText(numbers::shown(numbers::stored(sum), separator));
}

void TForm14::Button3Click() {
    for (int item = 0; item < SheetView::ItemCount; ++item)
        addAllMonthsUp(item);
}

void TForm14::Button26Click() {
    printOnePage(*this);
}

void TForm14::Button25Click() {
    moveTo(Form15);
}

void TForm14::Button27Click() {
    hide();
    Form16->show();
    Form16->clearChoices();
}
