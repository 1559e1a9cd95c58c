#include "month/Calendar.h"

#include "budget/BudgetRecord.h"

namespace calendar {

namespace {
std::array<TSheet*, SheetCount> sheets{};
}

const std::array<QString, MonthCount>& monthNames() {
    static const std::array<QString, MonthCount> names = [] {
        std::array<QString, MonthCount> result;
        for (int month = 1; month <= MonthCount; ++month)
            result[month - 1] = BudgetRecord::sheetName(month);
        return result;
    }();
    return names;
}

TSheet* sheetAt(int index) {
    return index >= 1 && index <= SheetCount ? sheets[index - 1] : nullptr;
}

void registerSheet(int index, TSheet* sheet) {
    sheets.at(index - 1) = sheet;
}

const std::array<QString, SheetCount>& goToTexts() {
    static const std::array<QString, SheetCount> texts = [] {
        std::array<QString, SheetCount> result;
        for (int month = 0; month < MonthCount; ++month)
            result[month] = QLatin1Char('*') + monthNames()[month];
        result[SheetCount - 1] = QStringLiteral("*Year");
        return result;
    }();
    return texts;
}

} // namespace calendar
