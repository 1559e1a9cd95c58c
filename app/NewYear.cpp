#include "app/NewYear.h"

#include "month/Calendar.h"
#include "month/Placeholders.h"
#include "month/Sheet.h"
#include "platform/Dialogs.h"

namespace {

// Puts one sheet back to its placeholders. The running sums and the go-to box are
// left; the numbers are left too, as the placeholder captions make them count as empty.
void resetSheet(const SheetView& sheet) {
    for (int item = 0; item < SheetView::EarnedCount; ++item)
        sheet.items[item]->setText(placeholder::earned);
    sheet.earnedTotal->setText(placeholder::earnedTotal);
    if (sheet.earnedRunning)
        sheet.earnedRunning->setText(placeholder::earnedRunning);
    sheet.enough->setCurrentText(placeholder::enough);
    for (int item = SheetView::EarnedCount; item < SheetView::ItemCount; ++item)
        sheet.items[item]->setText(placeholder::spend);
    sheet.spendTotal->setText(placeholder::spendTotal);
    if (sheet.spendRunning)
        sheet.spendRunning->setText(placeholder::spendRunning);
    sheet.tooMuch->setCurrentText(placeholder::tooMuch);
    sheet.currency->setText(placeholder::currency);
    sheet.balance->setFontColor(TSheet::windowTextColour());
    sheet.balance->setText(placeholder::monthBalance);
    sheet.notes->clear();
}

// The sheet a "Go to month:" answer names, 0 for none.
int sheetNamed(const QString& answer) {
    for (int index = 1; index <= calendar::SheetCount; ++index) {
        const QString name = index == calendar::YearSheet ? QStringLiteral("Year")
                                                          : calendar::monthNames()[index - 1];
        if (answer == name || answer == name.toLower() || answer == name.toUpper() ||
            answer == QString::number(index))
            return index;
    }
    return 0;
}

} // namespace

void startNewYear() {
    if (dialogs().confirm(QStringLiteral("Are you sure you want to start a new year?")) !=
        Dialogs::Answer::Yes)
        return;
    const QString answer =
        dialogs().input(QStringLiteral("Penvoro"), QStringLiteral("Enter year"), {});
    if (answer.isEmpty())
        return;
    writeYearCaption(yearCaptionFor(answer));
    for (int index = 1; index <= calendar::SheetCount; ++index)
        resetSheet(calendar::sheetAt(index)->view());

    const QString target =
        dialogs().input(QStringLiteral("Penvoro"), QStringLiteral("Go to month:"), {});
    int index = sheetNamed(target);
    if (index == 0 && target.isEmpty())
        index = 1;
    if (index != 0) {
        TForm::mainForm()->hide();
        calendar::sheetAt(index)->show();
    }
}
