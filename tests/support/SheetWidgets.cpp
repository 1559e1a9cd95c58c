#include "support/SheetWidgets.h"

#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "ui_MonthSheet.h"
#include "ui_YearSheet.h"
#include "year/YearSheet.h"

namespace sheetWidgets {

namespace {
template <class Ui> std::array<QWidget*, 30> slotWidgetsOf(Ui& ui) {
    QWidget* earnedRunning = nullptr;
    QWidget* spendRunning = nullptr;
    if constexpr (requires { ui.Label32; }) {
        earnedRunning = ui.Label32;
        spendRunning = ui.Label33;
    }
    return {ui.Edit1,     ui.Edit2,      ui.Edit3,      ui.Edit20,  ui.Edit4,      ui.Edit5,
            ui.Label10,   earnedRunning, ui.ComboBox22, ui.Edit6,   ui.Edit7,      ui.Edit8,
            ui.Edit9,     ui.Edit10,     ui.Edit11,     ui.Edit12,  ui.Edit13,     ui.Edit14,
            ui.Edit15,    ui.Edit16,     ui.Edit17,     ui.Edit18,  ui.Edit19,     ui.Label9,
            spendRunning, ui.ComboBox23, ui.Edit21,     ui.Label29, ui.ComboBox24, ui.Label1};
}
} // namespace

std::array<QWidget*, 30> slotWidgets(int sheet) {
    return sheet == YearSheet ? slotWidgetsOf(*Form14->ui) : slotWidgetsOf(*monthSheet(sheet)->ui);
}

QPlainTextEdit* notesOf(int sheet) {
    return sheet == YearSheet ? Form14->ui->Memo1 : monthSheet(sheet)->ui->Memo1;
}

QString textOf(QWidget* widget) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    return qobject_cast<QComboBox*>(widget)->currentText();
}

void setTextOf(QWidget* widget, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else if (auto* label = qobject_cast<TLabel*>(widget))
        label->setText(text);
    else
        qobject_cast<QComboBox*>(widget)->setEditText(text);
}

Sheets Sheets::now() {
    Sheets state;
    for (int sheet = 1; sheet <= 13; ++sheet) {
        for (QWidget* widget : slotWidgets(sheet))
            state.texts << (widget ? textOf(widget) : QStringLiteral("-"));
        state.texts << slotWidgets(sheet)[27]->palette().color(QPalette::WindowText).name()
                    << notesOf(sheet)->toPlainText();
        const TSheet* s = calendar::sheetAt(sheet);
        state.numbers << s->EarnedParticular << s->SpendParticular << s->EarnedTotal
                      << s->SpendTotal << s->Balance;
    }
    return state;
}

} // namespace sheetWidgets
