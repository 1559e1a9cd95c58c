#include "month/Sheet.h"

#include "month/Calendar.h"
#include "month/Placeholders.h"
#include "platform/Dialogs.h"
#include "platform/NumberText.h"

#include <QGuiApplication>
#include <QPalette>

TSheet::TSheet(int sheetIndex)
    : sheetIndex_(sheetIndex) {
    calendar::registerSheet(sheetIndex, this);
}

TSheet::~TSheet() {
    if (calendar::sheetAt(sheetIndex_) == this)
        calendar::registerSheet(sheetIndex_, nullptr);
}

void TSheet::setView(const SheetView& view) {
    view_ = view;
    // Every total, running-sum and balance caption takes the currency after its number.
    view_.currency->setMaxLength(numbers::LongestCurrency);
}

void TSheet::focusFirstField() {
    // The first activation puts the focus on "~Job" with its text selected. The focus
    // chain starts with "<<" (setTabOrder leaves it where it was created, since it already
    // follows ">>" in the circular chain), so name the field outright.
    view_.items[0]->setFocus(Qt::TabFocusReason);
    view_.items[0]->selectAll();
}

QColor TSheet::windowTextColour() {
    return QGuiApplication::palette().color(QPalette::WindowText);
}

QColor TSheet::balanceColour(double balance) {
    if (balance < 0)
        return QColor(255, 0, 0);
    if (balance > 0)
        return QColor(0, 128, 0);
    return windowTextColour();
}

TSheet::Table TSheet::earnedTable() {
    return {std::span<TEdit* const>(view_.items).first(SheetView::EarnedCount),
            placeholder::earned,
            view_.earnedTotal,
            placeholder::earnedTotal,
            EarnedTotal,
            view_.earnedRunning,
            placeholder::earnedRunning,
            EarnedParticular,
            view_.enough,
            placeholder::enough};
}

TSheet::Table TSheet::spendTable() {
    return {std::span<TEdit* const>(view_.items).last(SheetView::SpendCount),
            placeholder::spend,
            view_.spendTotal,
            placeholder::spendTotal,
            SpendTotal,
            view_.spendRunning,
            placeholder::spendRunning,
            SpendParticular,
            view_.tooMuch,
            placeholder::tooMuch};
}

TSheet::Table TSheet::tableOf(int item) {
    return SheetView::isEarned(item) ? earnedTable() : spendTable();
}

QString TSheet::captionFor(double value) const {
    return numbers::withCurrency(numbers::shown(value, numbers::decimalSeparator()),
                                 view_.currency->text());
}

void TSheet::addToRunningSum(const Table& table, TEdit* field) {
    const QString text = field->text();
    if (table.runningCaption->text() == table.runningPlaceholder)
        table.running = 0;
    const QChar separator = numbers::decimalSeparator();
    const double value = numbers::amountValue(text, table.fieldPlaceholder, separator);
    table.running = numbers::stored(static_cast<long double>(table.running) + value);
    table.runningCaption->setText(captionFor(table.running));
    field->setText(numbers::shown(value, separator));
}

void TSheet::clearRunningSum(const Table& table) {
    table.running = 0;
    table.runningCaption->setText(captionFor(0));
}

void TSheet::addUp(const Table& table) {
    const QChar separator = numbers::decimalSeparator();
    table.total = 0;
    std::array<double, SheetView::SpendCount> values{};
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        TEdit* field = table.fields[i];
        values[i] = numbers::amountValue(field->text(), table.fieldPlaceholder, separator);
        field->setText(numbers::shown(values[i], separator));
    }
    for (std::size_t i = 0; i < table.fields.size(); ++i)
        table.total = numbers::stored(static_cast<long double>(table.total) + values[i]);
    table.totalCaption->setText(captionFor(table.total));
}

void TSheet::clearTable(const Table& table, bool resetRunningSum) {
    if (table.runningCaption && resetRunningSum)
        table.running = 0;
    for (TEdit* field : table.fields)
        field->setText(table.fieldPlaceholder);
    table.totalCaption->setText(table.totalPlaceholder);
    if (table.runningCaption)
        table.runningCaption->setText(table.runningPlaceholder);
    table.verdict->setCurrentText(table.verdictPlaceholder);
}

void TSheet::Button1Click() {
    addUp(earnedTable());
}

void TSheet::Button2Click() {
    addUp(spendTable());
}

void TSheet::Button24Click() {
    if (view_.earnedTotal->text() == placeholder::earnedTotal)
        EarnedTotal = 0;
    if (view_.spendTotal->text() == placeholder::spendTotal)
        SpendTotal = 0;
    Balance = numbers::stored(static_cast<long double>(EarnedTotal) - SpendTotal);
    view_.balance->setFontColor(balanceColour(Balance));
    view_.balance->setText(captionFor(Balance));
    if (view_.earnedTotal->text() == placeholder::earnedTotal)
        view_.earnedTotal->setText(QStringLiteral("0"));
    if (view_.spendTotal->text() == placeholder::spendTotal)
        view_.spendTotal->setText(QStringLiteral("0"));
}

void TSheet::Button50Click() {
    clearTable(earnedTable());
}

void TSheet::Button51Click() {
    clearTable(spendTable());
}

void TSheet::Button46Click() {
    // The spend running sum is left: its caption's placeholder restarts it at the next Add.
    clearTable(earnedTable());
    clearTable(spendTable(), false);
    view_.currency->setText(placeholder::currency);
    view_.balance->setFontColor(windowTextColour());
    view_.balance->setText(placeholder::monthBalance);
    view_.goTo->setCurrentText(placeholder::goTo);
    view_.notes->clear();
}

void TSheet::moveTo(QWidget* target) {
    hide();
    if (target)
        target->show();
}

void TSheet::Button45Click() {
    moveTo(TForm::mainForm());
}

void TSheet::Button53Click() {
    moveTo(calendar::sheetAt(calendar::previousSheet(sheetIndex_)));
}

void TSheet::Button52Click() {
    moveTo(calendar::sheetAt(calendar::nextSheet(sheetIndex_)));
}

void TSheet::Button48Click() {
    const auto& texts = calendar::goToTexts();
    for (int index = 1; index <= calendar::SheetCount; ++index) {
        if (view_.goTo->currentText() == texts[index - 1])
            moveTo(calendar::sheetAt(index));
    }
}

void TSheet::Label1DblClick() {
    enterYear();
}

void TSheet::FormClose() {
    if (TForm::mainForm())
        TForm::mainForm()->show();
}

QString yearCaptionFor(const QString& answer) {
    return numbers::toExtended(answer, numbers::decimalSeparator()) == 0 ? placeholder::year
                                                                         : answer;
}

void writeYearCaption(const QString& caption) {
    for (int index = 1; index <= calendar::SheetCount; ++index)
        calendar::sheetAt(index)->view().yearCaption->setText(caption);
}

void enterYear() {
    writeYearCaption(yearCaptionFor(
        dialogs().input(QStringLiteral("Penvoro"), QStringLiteral("Enter year"), {})));
}
