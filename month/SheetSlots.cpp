#include "month/SheetSlots.h"

#include "month/SheetView.h"

namespace itemSlots {

namespace {

enum class Kind { Edit, Label, Combo, None };

struct Widget {
    Kind kind;
    TEdit* edit = nullptr;
    TLabel* label = nullptr;
    TComboBox* combo = nullptr;
};

Widget widgetOf(const SheetView& sheet, int slot) {
    if (slot >= 1 && slot <= 6)
        return {Kind::Edit, sheet.items[slot - 1]};
    if (slot >= 10 && slot <= 23)
        return {Kind::Edit, sheet.items[slot - 10 + SheetView::EarnedCount]};
    auto label = [](TLabel* caption) {
        return caption ? Widget{Kind::Label, nullptr, caption} : Widget{Kind::None};
    };
    auto combo = [](TComboBox* box) { return Widget{Kind::Combo, nullptr, nullptr, box}; };
    switch (slot) {
    case 7:
        return label(sheet.earnedTotal);
    case 8:
        return label(sheet.earnedRunning);
    case 9:
        return combo(sheet.enough);
    case 24:
        return label(sheet.spendTotal);
    case 25:
        return label(sheet.spendRunning);
    case 26:
        return combo(sheet.tooMuch);
    case 27:
        return {Kind::Edit, sheet.currency};
    case 28:
        return label(sheet.balance);
    case 29:
        return combo(sheet.goTo);
    case 30:
        return label(sheet.yearCaption);
    default:
        return {Kind::None};
    }
}

} // namespace

QString text(const SheetView& sheet, int slot) {
    const Widget widget = widgetOf(sheet, slot);
    switch (widget.kind) {
    case Kind::Edit:
        return widget.edit->text();
    case Kind::Label:
        return widget.label->text();
    case Kind::Combo:
        return widget.combo->currentText();
    case Kind::None:
        break;
    }
    return slot == 8 ? QStringLiteral(" ") : QString();
}

void setText(const SheetView& sheet, int slot, const QString& text) {
    const Widget widget = widgetOf(sheet, slot);
    switch (widget.kind) {
    case Kind::Edit:
        widget.edit->setText(text);
        break;
    case Kind::Label:
        widget.label->setText(text);
        break;
    case Kind::Combo:
        widget.combo->setCurrentText(text);
        break;
    case Kind::None:
        break;
    }
}

} // namespace itemSlots
