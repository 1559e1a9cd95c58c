#include "platform/Errors.h"
#include "platform/NumberText.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

using namespace numbers;

namespace {

const QChar period = u'.';
const QChar comma = u',';

QString repeated(char c, int count) {
    return QString(count, QLatin1Char(c));
}

} // namespace

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    // Reading text by the decimal grammar.
    void grammar_data();
    void grammar();
    void rangeOfTheExtendedPrecision();
    void fallbackWhenNoNumber();
    void storingRoundsOrOverflows();
    void amountFields();

    // Showing numbers.
    void shownNumber_data();
    void shownNumber();
    void currencySuffix_data();
    void currencySuffix();
    void separatorFollowsTheLocale();

    void shownTextReadsBackToItself();
};

void TestNumberText::grammar_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<long double>("value");

    const auto number = [](const char* name, const QString& text, long double value,
                           QChar separator = period) {
        QTest::newRow(name) << text << separator << true << value;
    };
    const auto noNumber = [](const char* name, const QString& text, QChar separator = period) {
        QTest::newRow(name) << text << separator << false << 0.0L;
    };

    noNumber("letters after digits", "12abc");
    noNumber("blank inside", "1 000");
    noNumber("currency sign", "$5");
    noNumber("tab before", "\t5");
    noNumber("tab after", "5\t");
    noNumber("INF", "INF");
    noNumber("NaN", "NaN");
    noNumber("hexadecimal", "0x10");
    noNumber("plus alone", "+");
    noNumber("minus alone", "-");
    noNumber("empty", "");
    noNumber("blanks only", "   ");
    noNumber("blank after sign", "- 5");
    noNumber("two signs", "+-5");
    noNumber("sign after", "5-");
    noNumber("exponent alone", "E5");
    noNumber("blank before exponent", "1 E5");
    noNumber("blank inside exponent", "1E 5");
    noNumber("two separators", "1.2.3");
    noNumber("fullwidth digit", QStringLiteral(u"\uFF11"));
    noNumber("arabic-indic digit", QStringLiteral(u"\u0663"));
    noNumber("non-breaking blank", QStringLiteral(u"\u00A05"));

    number("blanks around", " 7 ", 7);
    number("lone separator", ".", 0);
    number("separator last", "5.", 5);
    number("separator first", ".5", 0.5L);
    number("negative fraction", "-.5", -0.5L);
    number("plus sign", "+5", 5);
    number("leading zeros", "007", 7);
    number("minus zero", "-0", -0.0L);
    number("plain", "12.5", 12.5L);
    number("lone separator with exponent", ".E5", 0);
    number("exponent without digits", "1E", 1);
    number("exponent sign without digits", "1E+", 1);
    number("minus exponent without digits", "1e-", 1);
    number("small exponent", "2E-2", 0.02L);
    number("lower-case exponent", "1e3", 1000);
    number("exponent of many zeros", "1E0000000000005", 1e5L);

    noNumber("thousands comma", "1,000");
    number("three decimals", "1.000", 1);
    number("comma separator", "1,5", 1.5L, comma);
    noNumber("period with comma separator", "1.5", comma);
    number("comma separator, exponent", " -2,5e-1 ", -0.25L, comma);
}

void TestNumberText::grammar() {
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(bool, isNumber);
    QFETCH(long double, value);

    const Reading reading = readDecimal(text, separator);
    QCOMPARE(reading.isNumber, isNumber);
    if (isNumber) {
        QVERIFY(reading.value == value);
        QCOMPARE(std::signbit(reading.value), std::signbit(value));
    }
}

void TestNumberText::rangeOfTheExtendedPrecision() {
    const auto read = [](const QString& text) { return readDecimal(text, period); };

    // Exponent digits stop at 500: a digit left over makes the text no number.
    QVERIFY(read("1E499").value == 1e499L);
    QVERIFY(read("1E600").value == 1e600L);
    QVERIFY(read("-1E-600").value == -1e-600L);
    QVERIFY(!read("1E5000").isNumber);
    QVERIFY(!read("1E-5000").isNumber);

    // The extended range ends at about 1.19E4932.
    QVERIFY(!read("1E4999").isNumber);
    QVERIFY(!read("1.19E4932").isNumber);
    QVERIFY(read("1.18973149535723176502E4932").value == std::numeric_limits<long double>::max());
    QVERIFY(read("-1E4932").value == -1e4932L);

    // Mantissas of thousands of digits.
    QVERIFY(!read("1" + repeated('0', 4999)).isNumber);
    QVERIFY(!read(repeated('9', 5000)).isNumber);
    QVERIFY(read("1" + repeated('0', 4999) + "E-4990").value == 1e9L);
    QVERIFY(read(repeated('0', 5000) + "12.5").value == 12.5L);
    QVERIFY(read("0." + repeated('0', 4998) + "1E4999").value == 1);
    QVERIFY(read("0." + repeated('1', 5000)).value == 1.0L / 9);

    // Below the normal extended range a value reads as zero of its sign.
    for (const char* tiny : {"1E-4999", "1E-4940", "0.00001E-4930"}) {
        const Reading reading = read(tiny);
        QVERIFY2(reading.isNumber && reading.value == 0 && !std::signbit(reading.value), tiny);
    }
    QVERIFY(std::signbit(read("-1E-4999").value));
    QVERIFY(read("0." + repeated('0', 4998) + "1").value == 0);
    // Also when the text is the exact value of a subnormal extended number.
    std::string exact(13000, ' ');
    const long double subnormal = std::nextafter(std::numeric_limits<long double>::min(), 0.0L);
    exact.resize(std::to_chars(exact.data(), exact.data() + exact.size(), subnormal,
                               std::chars_format::scientific, 12000)
                     .ptr -
                 exact.data());
    QVERIFY(read(QString::fromStdString(exact)).value == 0);
    QVERIFY(read("1E-4931").value == 1e-4931L);
}

void TestNumberText::fallbackWhenNoNumber() {
    QVERIFY(toExtended(u"abc", period, 7) == 7);
    QVERIFY(toExtended(u"2", period, 7) == 2);
    QVERIFY(toExtended(u"1E5000", period) == 0);
    QVERIFY(toExtended(u"1E400", period) == 1e400L);
}

void TestNumberText::storingRoundsOrOverflows() {
    constexpr double largest = DBL_MAX;
    const long double halfStep = std::ldexp(1.0L, 970);

    QCOMPARE(stored(0.1L), 0.1);
    QCOMPARE(stored(1e308L), 1e308);
    QCOMPARE(stored(largest + halfStep * 0.99L), largest);
    QCOMPARE(stored(-largest - halfStep * 0.99L), -largest);
    QCOMPARE(stored(1e-400L), 0.0);
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, stored(largest + halfStep));
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, stored(-1e309L));
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, stored(toExtended(u"1E499", period)));
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow,
                             stored(std::numeric_limits<long double>::infinity()));
}

void TestNumberText::amountFields() {
    QCOMPARE(amountValue(u"earned", u"earned", period), 0.0);
    QCOMPARE(amountValue(u"spend", u"spend", period), 0.0);
    QCOMPARE(amountValue(u"  12.50 ", u"earned", period), 12.5);
    QCOMPARE(amountValue(u"12abc", u"spend", period), 0.0);
    QCOMPARE(amountValue(u"1E5000", u"spend", period), 0.0);
    QCOMPARE(amountValue(u"1,5", u"earned", comma), 1.5);
    QVERIFY_THROWS_EXCEPTION(FloatingPointOverflow, amountValue(u"1E400", u"earned", period));
}

void TestNumberText::shownNumber_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("text");

    const auto row = [](const char* name, double value, const char* text, QChar sep = period) {
        QTest::newRow(name) << value << sep << QString::fromLatin1(text);
    };
    row("zero", 0.0, "0");
    row("minus zero", -0.0, "0");
    row("integer", 100, "100");
    row("fraction", 12.5, "12.5");
    row("quarter", 0.25, "0.25");
    row("negative", -2.5, "-2.5");
    row("sum of tenths", 0.1 + 0.2, "0.3");
    row("a third", 1.0 / 3, "0.333333333333333");
    row("two thirds", 2.0 / 3, "0.666666666666667");
    row("smallest plain", 0.0001, "0.0001");
    row("plain below 0.001", 0.00015, "0.00015");
    row("first scientific below", 0.00001, "1E-5");
    row("negative small", -2.5e-7, "-2.5E-7");
    row("rounds up to plain", 0.00009999999999999999, "0.0001");
    row("largest plain", 999999999999999.0, "999999999999999");
    row("rounds up to 1E15", 999999999999999.5, "1E15");
    row("1E15", 1e15, "1E15");
    row("carry shifts plain", 99999999999999.95, "100000000000000");
    row("15 digits of 18", 1.23456789012345678e17, "1.23456789012346E17");
    row("negative large", -1e100, "-1E100");
    row("largest double", DBL_MAX, "1.79769313486232E308");
    row("smallest normal", DBL_MIN, "2.2250738585072E-308");
    row("smallest denormal", std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324");
    row("negative denormal", -3 * std::numeric_limits<double>::denorm_min(),
        "-1.48219693752374E-323");
    row("longest", -1.23456789012345e-308, "-1.23456789012345E-308");
    // Halves are judged on the 18-digit form, not on the exact binary value: this value is
    // just below 1.000000000000145, its 18 digits read 1.00000000000014500.
    row("half on 18 digits", 1.0000000000001449951270160454441793262959, "1.00000000000015");
    row("negative half", -1.0000000000001449951270160454441793262959, "-1.00000000000015");
    // 18 digits 1.00000000000015499: rounding 17 digits first would give ...16.
    row("no double rounding", 1.0000000000001549871342376718530431389809, "1.00000000000015");
    row("comma", 1.5, "1,5", comma);
    row("comma scientific", 2.5e-7, "2,5E-7", comma);
    row("comma small plain", 0.02, "0,02", comma);
}

void TestNumberText::shownNumber() {
    QFETCH(double, value);
    QFETCH(QChar, separator);
    QFETCH(QString, text);
    QCOMPARE(shown(value, separator), text);
    QVERIFY(text.size() <= LongestShownNumber);
}

void TestNumberText::currencySuffix_data() {
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("caption");
    QTest::newRow("placeholder") << "Currency"
                                 << "12.5";
    QTest::newRow("currency") << "EUR"
                              << "12.5 EUR";
    QTest::newRow("emptied") << ""
                             << "12.5 ";
    QTest::newRow("lower case") << "currency"
                                << "12.5 currency";
    QTest::newRow("trailing blank") << "Currency "
                                    << "12.5 Currency ";
}

void TestNumberText::currencySuffix() {
    QFETCH(QString, currency);
    QFETCH(QString, caption);
    QCOMPARE(withCurrency("12.5", currency), caption);
}

void TestNumberText::separatorFollowsTheLocale() {
    QCOMPARE(decimalSeparator(), period);
    QLocale::setDefault(QLocale(QLocale::German));
    QCOMPARE(decimalSeparator(), comma);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(decimalSeparator(), period);
}

// Every finite double's shown text reads back to a double that shows the same text, and
// lies within half a unit of the 15th digit. The exception is the few doubles within about
// 7E292 of the largest, which show as 1.79769313486232E308: that text lies beyond the double
// range, so storing it fails with an overflow, as it does when the user types it.
void TestNumberText::shownTextReadsBackToItself() {
    QRandomGenerator random(20240611);
    constexpr double largest = DBL_MAX;
    constexpr double lastAtOrBelowLargest = 1.79769313486231e308;
    const long double denormal = std::numeric_limits<double>::denorm_min();
    int checked = 0;
    int overflows = 0;
    for (int i = 0; i < 100000; ++i) {
        double value = std::bit_cast<double>(random.generate64());
        if (i % 4 == 0) // amounts in cents, mostly in plain notation
            value = double(qint64(random.generate64() >> (10 + i % 50))) / (i % 8 ? 100 : -100);
        const double topmost[] = {largest, -std::nextafter(largest, 0.0), lastAtOrBelowLargest};
        if (i < 3)
            value = topmost[i];
        if (!std::isfinite(value))
            continue;
        for (QChar separator : {period, comma}) {
            const QString text = shown(value, separator);
            QVERIFY2(text.size() <= LongestShownNumber, qPrintable(text));
            const Reading reading = readDecimal(text, separator);
            QVERIFY2(reading.isNumber, qPrintable(text));
            double back = 0;
            try {
                back = stored(reading.value);
            } catch (const FloatingPointOverflow&) {
                QVERIFY2(std::fabs(value) > lastAtOrBelowLargest, qPrintable(text));
                ++overflows;
                continue;
            }
            QCOMPARE(shown(back, separator), text);
            const long double error = std::fabs((long double)back - value);
            QVERIFY2(error <= 5.0001e-15L * std::fabs(value) + denormal, qPrintable(text));
            ++checked;
        }
    }
    QVERIFY(checked > 150000);
    QCOMPARE(overflows, 4);
}

QTEST_GUILESS_MAIN(TestNumberText)

#include "tst_numbertext.moc"
