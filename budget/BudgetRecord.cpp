#include "budget/BudgetRecord.h"

#include "platform/NumberText.h"

namespace {
constexpr int CurrencySlot = 27;
} // namespace

const QString& BudgetRecord::sheetName(int sheet) {
    static const std::array<QString, SheetCount> names = {
        QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
        QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
        QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
        QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December"),
        QStringLiteral("Year")};
    Q_ASSERT(sheet >= 1 && sheet <= SheetCount);
    return names[sheet - 1];
}

QString BudgetRecord::slotName(int slot) {
    static const std::array<const char*, SlotCount> names = {"\"~Job\"",
                                                             "\"~Student grant\"",
                                                             "\"~Parents\"",
                                                             "\"~Other\"",
                                                             "\"~Subsidy\"",
                                                             "\"~Earned extra\"",
                                                             "the earned total",
                                                             "the earned running sum",
                                                             "the \"Enough?\" box",
                                                             "\"~Room rent\"",
                                                             "\"~Education costs\"",
                                                             "\"~Food and drinks\"",
                                                             "\"~Books\"",
                                                             "\"~Transport\"",
                                                             "\"~Phone bill\"",
                                                             "\"~Insurance\"",
                                                             "\"~Hobbies\"",
                                                             "\"~Clothes\"",
                                                             "\"~Going out\"",
                                                             "\"~Presents\"",
                                                             "\"~Smoking\"",
                                                             "\"~Holiday\"",
                                                             "\"~Spend extra\"",
                                                             "the spend total",
                                                             "the spend running sum",
                                                             "the \"To much?\" box",
                                                             "the currency",
                                                             "the balance",
                                                             "the \"Go to\" box",
                                                             "the year caption"};
    Q_ASSERT(slot >= 1 && slot <= SlotCount);
    return QString::fromLatin1(names[slot - 1]);
}

QString BudgetRecord::noteLineName(int line) {
    return QStringLiteral("note line %1").arg(line);
}

int BudgetRecord::longestText(int slot) {
    return slot == CurrencySlot ? numbers::LongestCurrency : LongestText;
}
