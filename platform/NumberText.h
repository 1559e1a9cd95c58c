#pragma once

#include "platform/TextLength.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Amounts as text and back: the one decimal grammar every field is read with, and the
// one general format every number is shown in. Pure functions; the decimal separator is
// an argument, so callers pass the one in force (decimalSeparator()).
namespace numbers {

// Outcome of reading a text by the decimal grammar.
struct Reading {
    bool isNumber = false;
    long double value = 0;
};

// The whole text read by the decimal grammar: blanks (spaces only), an optional sign, a
// mantissa of digits with an optional `separator` and more digits, an optional exponent,
// blanks. A value beyond the extended range is no number.
Reading readDecimal(QStringView text, QChar separator);

// The text's value at extended precision, `fallback` when the text is no number.
long double toExtended(QStringView text, QChar separator, long double fallback = 0);

// Rounds to the nearest double for storing; throws FloatingPointOverflow when the value
// lies beyond the double range.
double stored(long double value);

// An amount field's value: its table's `placeholder` ("earned" or "spend") and text that
// is no number count 0. Stored as a double, so it may throw FloatingPointOverflow.
double amountValue(QStringView text, QStringView placeholder, QChar separator);

// The shown number: general format with 15 significant digits, e.g. "12.5", "0.0001",
// "1E15", "-2.5E-7".
QString shown(double value, QChar separator);

// The longest shown number: a sign, 15 digits with the separator, and a three-digit
// negative exponent, as in "-1.23456789012345E-308" (plain forms take at most 21, as in
// "-0.000123456789012345").
inline constexpr int LongestShownNumber = 22;

// The longest currency text whose captions ("<shown number> <currency>") still fit a text
// of a budget file.
inline constexpr int LongestCurrency = LongestText - 1 - LongestShownNumber;

// Numbers shown together, such as the labels of an axis, each `whole` x 10^`power`, all
// in one form: the shown number's plain form when each of them has one of at most `length`
// characters, else the exponent form for all ("3E9", "-1.5E308"; zero stays "0").
QStringList shownTogether(const QList<qint64>& wholes, int power, QChar separator, int length);

// A total, running-sum or balance caption: the shown number followed, unless `currency`
// reads exactly "Currency", by one blank and the currency text.
QString withCurrency(const QString& shownNumber, const QString& currency);

// The decimal separator in force now: the default locale's, "." when it gives none.
QChar decimalSeparator();

} // namespace numbers
