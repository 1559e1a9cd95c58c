#pragma once

#include <QString>

// The texts that mark a widget holding no value. Handlers compare with them exactly.
namespace placeholder {
inline const QString earned = QStringLiteral("earned");
inline const QString spend = QStringLiteral("spend");
inline const QString earnedTotal = QStringLiteral("Earned");
inline const QString spendTotal = QStringLiteral("Spend");
inline const QString earnedRunning = QStringLiteral("Earned Particular");
inline const QString spendRunning = QStringLiteral("Spend Particular");
inline const QString enough = QStringLiteral("Enough?");
inline const QString tooMuch = QStringLiteral("To much?");
inline const QString currency = QStringLiteral("Currency");
inline const QString monthBalance = QStringLiteral("Total this month");
inline const QString yearBalance = QStringLiteral("Total this year");
inline const QString goTo = QStringLiteral("Month");
inline const QString year = QStringLiteral("Double click here for entering year");
} // namespace placeholder
