// Arbitrary text read by the decimal grammar. The first byte picks the separator (an odd
// byte ',', an even one '.'), the rest is the text as UTF-8. Reading never fails; a number
// that can be stored as a double shows as a text that reads back, is stored and shows as
// the same text again.

#include "platform/Errors.h"
#include "platform/NumberText.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

namespace {

[[noreturn]] void broken(const char* property, const QString& text, QChar separator) {
    std::fprintf(stderr, "\n*** broken property: %s\n*** separator '%c', text \"%s\"\n", property,
                 char(separator.unicode()), text.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

std::optional<double> storedOrNothing(long double value) {
    try {
        return numbers::stored(value);
    } catch (const FloatingPointOverflow&) {
        return std::nullopt;
    }
}

// The shown text of the few doubles within half a 15th-digit unit of the largest: it lies
// beyond the double range, so reading it back overflows, as it does when typed.
bool showsAsLargest(const QString& shown, QChar separator) {
    const QString largest = QStringLiteral("1") + separator + QStringLiteral("79769313486232E308");
    return shown == largest || shown == u'-' + largest;
}

// Digits, a leading minus, the separator and "E-" after the mantissa: nothing else.
bool isShownForm(const QString& shown, QChar separator) {
    for (qsizetype at = 0; at < shown.size(); ++at) {
        const QChar character = shown[at];
        const bool allowed = (character >= u'0' && character <= u'9') || character == separator ||
                             character == u'E' ||
                             (character == u'-' && (at == 0 || shown[at - 1] == u'E'));
        if (!allowed)
            return false;
    }
    return !shown.isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const QChar separator = data[0] & 1 ? u',' : u'.';
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    const numbers::Reading reading = numbers::readDecimal(text, separator);
    if (!reading.isNumber)
        return 0;
    if (!std::isfinite(reading.value))
        broken("a number reads as infinite or NaN", text, separator);
    const std::optional<double> value = storedOrNothing(reading.value);
    if (!value)
        return 0;
    if (!std::isfinite(*value))
        broken("a stored number is infinite or NaN", text, separator);

    const QString shown = numbers::shown(*value, separator);
    if (!isShownForm(shown, separator))
        broken("the shown text holds other characters", shown, separator);
    const numbers::Reading again = numbers::readDecimal(shown, separator);
    if (!again.isNumber)
        broken("the shown text reads as no number", shown, separator);
    const numbers::Reading withBlanks =
        numbers::readDecimal(QStringLiteral("  ") + shown + u' ', separator);
    if (!withBlanks.isNumber || withBlanks.value != again.value)
        broken("blanks around the shown text change its value", shown, separator);

    const std::optional<double> back = storedOrNothing(again.value);
    if (!back) {
        if (showsAsLargest(shown, separator))
            return 0;
        broken("the shown text overflows when read back", shown, separator);
    }
    if (numbers::shown(*back, separator) != shown)
        broken("the shown text read back shows otherwise", shown, separator);

    // Within half a unit of the 15th digit of the stored value (at most 5E-15 of it), plus
    // the rounding of that text to a double (at most 2^-53 of it) and of the 18-digit form.
    const long double error = std::fabs((long double)*back - (long double)*value);
    const long double denormal = std::numeric_limits<double>::denorm_min();
    if (error > 5.3e-15L * std::fabs((long double)*value) + denormal)
        broken("the shown text is off by more than half a unit of its last digit", shown,
               separator);
    return 0;
}
