#include "year/ValueScale.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

// Steps from 10^-6 to 10^290 are charted as they are; beyond, the chart counts in units
// that bring the step back within them. Above, its numbers, the room for the marks and the
// ticks included, stay far inside the double range; below, its range stays far above the
// size Qt Charts takes for an empty range (about 1E-12), for which it neither lays out the
// axis' labels anew nor draws them where the bars stand.
constexpr int SmallestStepPower = -6;
constexpr int LargestStepPower = 290;

// A round step: digit x 10^power.
struct Step {
    int digit;
    int power;
};

// The round step nearest above a sixth of the span: 1, 2 or 5 times a power of ten.
Step roundStep(long double span) {
    const long double rough = span / 6;
    const int power = static_cast<int>(std::floor(std::log10(rough)));
    const long double fraction = rough / std::pow(10.0L, power);
    if (fraction <= 1)
        return {1, power};
    if (fraction <= 2)
        return {2, power};
    if (fraction <= 5)
        return {5, power};
    return {1, power + 1};
}

long double powerOfTen(int power) {
    return std::pow(10.0L, power);
}

} // namespace

ValueScale valueScale(const QList<double>& values, QChar separator, int labelLength) {
    // Extended precision reaches far beyond the double range both ways, so neither the
    // span nor the room nor a tick beyond the longest bar overflows or vanishes here.
    long double low = 0;
    long double high = 0;
    for (double value : values) {
        low = std::min<long double>(low, value);
        high = std::max<long double>(high, value);
    }
    if (low == high)
        high = 1;
    const long double room = (high - low) * 0.2L;
    if (low < 0)
        low -= room;
    if (high > 0)
        high += room;

    // Whole steps outward from zero, labelled as whole multiples of 10^power.
    const Step step = roundStep(high - low);
    const long double size = step.digit * powerOfTen(step.power);
    const auto first = static_cast<qint64>(std::floor(low / size));
    const auto last = static_cast<qint64>(std::ceil(high / size));
    ValueScale scale;
    scale.unitPower = step.power - std::clamp(step.power, SmallestStepPower, LargestStepPower);
    const long double charted = size / powerOfTen(scale.unitPower);
    QList<qint64> wholes;
    for (qint64 count = first; count <= last; ++count) {
        scale.ticks << static_cast<double>(count * charted);
        wholes << count * step.digit;
    }
    scale.lower = scale.ticks.constFirst();
    scale.upper = scale.ticks.constLast();
    scale.labels = numbers::shownTogether(wholes, step.power, separator, labelLength);
    return scale;
}

double ValueScale::charted(double value) const {
    return static_cast<double>(value / powerOfTen(unitPower));
}
