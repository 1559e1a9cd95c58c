#include "platform/NumberText.h"

#include "platform/Errors.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace numbers {

static_assert(std::numeric_limits<long double>::digits == 64,
              "amounts are read at x87 extended precision");

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// A value of 10^(order-1) up to below 10^order fits the extended range (largest about
// 1.19E4932) when order <= 4932, never when order > 4933. It is below the smallest normal
// extended value (about 3.36E-4932) when order <= -4932.
constexpr qint64 largestOrder = 4933;
constexpr qint64 smallestNormalOrder = -4931;

// Halfway between the largest double and the next power of two: from here up a value
// rounds to infinity, so it cannot be stored.
constexpr long double doubleOverflow = 0x1.fffffffffffff8p+1023L;

Reading zero(bool negative) {
    return {true, negative ? -0.0L : 0.0L};
}

// The value digits x 10^scale; digits has neither leading nor trailing zeros.
//
// Underflow: a magnitude below the smallest normal extended value reads as zero of its
// sign. Such a value is some 4600 orders of magnitude below the smallest double, so it
// rounds to zero when stored and cannot change an extended sum that is stored afterwards.
Reading scaled(const std::string& digits, qint64 scale, bool negative) {
    const qint64 order = qint64(digits.size()) + scale;
    if (order > largestOrder)
        return {};
    if (order < smallestNormalOrder)
        return zero(negative);

    std::string ascii = digits + 'e';
    char exponent[24];
    ascii.append(exponent, std::to_chars(exponent, exponent + sizeof exponent, scale).ptr);
    long double value = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error == std::errc::result_out_of_range)
        return order > 0 ? Reading{} : zero(negative);
    if (error != std::errc() || end != ascii.data() + ascii.size())
        return {};
    if (std::fpclassify(value) == FP_SUBNORMAL)
        return zero(negative);
    return {true, negative ? -value : value};
}

void appendAscii(QString& text, std::string_view ascii) {
    text += QLatin1StringView(ascii.data(), qsizetype(ascii.size()));
}

// A positive magnitude as 0.d1d2...dn x 10^order: its 18-digit form rounded to 15 digits
// with a half rounded away from zero, trailing zeros dropped.
struct Digits {
    std::string digits;
    int order;
};

Digits fifteenDigits(double magnitude) {
    char form[32]; // "d.ddddddddddddddddde+ddd"
    const char* const end =
        std::to_chars(form, form + sizeof form, magnitude, std::chars_format::scientific, 17).ptr;
    Digits result{std::string(1, form[0]) + std::string(form + 2, 14), 0};
    const char* const exponent = form + 19;
    std::from_chars(exponent + 2, end, result.order);
    result.order = (exponent[1] == '-' ? -result.order : result.order) + 1;

    std::string& digits = result.digits;
    if (form[16] >= '5') {
        auto digit = digits.rbegin();
        for (; digit != digits.rend() && *digit == '9'; ++digit)
            *digit = '0';
        if (digit == digits.rend()) { // all nines: 99..9 becomes 100..0, one order up
            digits.front() = '1';
            ++result.order;
        } else {
            ++*digit;
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    return result;
}

// Whether the shown number of a magnitude 0.d1d2...dn x 10^order is written plainly.
bool hasPlainForm(int order) {
    return order >= -3 && order <= 15;
}

// 0.d1d2...dn x 10^order written plainly: "0.000d1d2", "d1d2.d3", "d1d200".
void appendPlainForm(QString& text, std::string_view digits, int order, QChar separator) {
    const int count = int(digits.size());
    if (order <= 0) {
        text += u'0';
        text += separator;
        text += QString(-order, u'0');
        appendAscii(text, digits);
    } else if (count <= order) {
        appendAscii(text, digits);
        text += QString(order - count, u'0');
    } else {
        appendAscii(text, digits.substr(0, order));
        text += separator;
        appendAscii(text, digits.substr(order));
    }
}

// 0.d1d2...dn x 10^order written as "d1.d2...dnE<order - 1>".
void appendExponentForm(QString& text, std::string_view digits, int order, QChar separator) {
    appendAscii(text, digits.substr(0, 1));
    if (digits.size() > 1) {
        text += separator;
        appendAscii(text, digits.substr(1));
    }
    text += u'E';
    char power[8];
    appendAscii(text, {power, std::to_chars(power, power + sizeof power, order - 1).ptr});
}

} // namespace

Reading readDecimal(QStringView text, QChar separator) {
    const qsizetype length = text.size();
    qsizetype at = 0;
    const auto skipBlanks = [&] {
        while (at < length && text[at] == u' ')
            ++at;
    };

    skipBlanks();
    bool negative = false;
    if (at < length && (text[at] == u'+' || text[at] == u'-'))
        negative = text[at++] == u'-';

    // The mantissa's digits as an integer (leading zeros left out), scaled by 10^scale.
    std::string digits;
    qint64 scale = 0;
    bool hasMantissa = false;
    const auto takeDigits = [&](bool afterSeparator) {
        for (; at < length && isDigit(text[at]); ++at) {
            hasMantissa = true;
            if (!digits.empty() || text[at] != u'0')
                digits += char(text[at].unicode());
            if (afterSeparator)
                --scale;
        }
    };
    takeDigits(false);
    if (at < length && text[at] == separator) {
        hasMantissa = true;
        ++at;
        takeDigits(true);
    }
    if (!hasMantissa)
        return {};

    if (at < length && (text[at] == u'E' || text[at] == u'e')) {
        ++at;
        bool negativeExponent = false;
        if (at < length && (text[at] == u'+' || text[at] == u'-'))
            negativeExponent = text[at++] == u'-';
        // Digits are taken while the exponent is below 500; one left over ends the
        // number before the text does, so the text is no number.
        qint64 exponent = 0;
        for (; at < length && exponent < 500 && isDigit(text[at]); ++at)
            exponent = exponent * 10 + (text[at].unicode() - u'0');
        scale += negativeExponent ? -exponent : exponent;
    }

    skipBlanks();
    if (at != length)
        return {};

    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++scale;
    }
    if (digits.empty())
        return zero(negative);
    return scaled(digits, scale, negative);
}

long double toExtended(QStringView text, QChar separator, long double fallback) {
    const Reading reading = readDecimal(text, separator);
    return reading.isNumber ? reading.value : fallback;
}

double stored(long double value) {
    const long double magnitude = std::fabs(value);
    if (!(magnitude < doubleOverflow))
        throw FloatingPointOverflow();
    constexpr double largest = std::numeric_limits<double>::max();
    if (magnitude > largest) // within half a step above it: rounds down to the largest double
        return value < 0 ? -largest : largest;
    return static_cast<double>(value);
}

double amountValue(QStringView text, QStringView placeholder, QChar separator) {
    if (text == placeholder)
        return 0;
    return stored(toExtended(text, separator, 0));
}

QString shown(double value, QChar separator) {
    if (value == 0)
        return QStringLiteral("0");

    const auto [digits, order] = fifteenDigits(std::fabs(value));
    QString text;
    if (value < 0)
        text += u'-';
    if (hasPlainForm(order))
        appendPlainForm(text, digits, order, separator);
    else
        appendExponentForm(text, digits, order, separator);
    return text;
}

QStringList shownTogether(const QList<qint64>& wholes, int power, QChar separator, int length) {
    struct Number {
        bool negative;
        std::string digits;
        int order;
    };
    QList<Number> numbers;
    for (qint64 whole : wholes) {
        char form[24];
        char* const end = std::to_chars(form, form + sizeof form, whole < 0 ? -whole : whole).ptr;
        Number number{whole < 0, std::string(form, end), 0};
        number.order = int(number.digits.size()) + power;
        number.digits.erase(number.digits.find_last_not_of('0') + 1);
        numbers << number;
    }
    auto written = [&](const Number& number, bool exponentForm) {
        if (number.digits.empty())
            return QStringLiteral("0");
        QString text;
        if (number.negative)
            text += u'-';
        if (exponentForm)
            appendExponentForm(text, number.digits, number.order, separator);
        else
            appendPlainForm(text, number.digits, number.order, separator);
        return text;
    };
    const bool exponentForm =
        std::any_of(numbers.cbegin(), numbers.cend(), [&](const Number& number) {
            return !number.digits.empty() &&
                   (!hasPlainForm(number.order) || written(number, false).size() > length);
        });
    QStringList texts;
    for (const Number& number : numbers)
        texts << written(number, exponentForm);
    return texts;
}

QString withCurrency(const QString& shownNumber, const QString& currency) {
    if (currency == u"Currency")
        return shownNumber;
    return shownNumber + u' ' + currency;
}

QChar decimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.front();
}

} // namespace numbers
