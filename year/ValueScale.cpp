#include "year/ValueScale.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// The round step nearest above a sixth of the span: 1, 2 or 5 times a power of ten.
long double roundStep(long double span) {
    const long double rough = span / 6;
    const long double power = std::pow(10.0L, std::floor(std::log10(rough)));
    const long double fraction = rough / power;
    return power * (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10);
}

} // namespace

ValueScale valueScale(const QList<double>& values) {
    long double low = 0;
    long double high = 0;
    for (double value : values) {
        low = std::min<long double>(low, value);
        high = std::max<long double>(high, value);
    }
    if (low == high)
        high = 1;
    const long double room = (high - low) * 0.2L;
    constexpr long double limit = DBL_MAX / 2;
    low = low < 0 ? std::max(low - room, -limit) : 0;
    high = high > 0 ? std::min(high + room, limit) : 0;

    // Whole steps outward from zero, as far as the limit allows.
    const long double step = roundStep(high - low);
    const long double first = std::floor(low / step);
    const long double last = std::ceil(high / step);
    ValueScale scale;
    scale.lower = static_cast<double>(std::max(first * step, -limit));
    scale.upper = static_cast<double>(std::min(last * step, limit));
    for (long double count = first; count <= last; ++count) {
        const long double tick = count * step;
        if (tick >= -limit && tick <= limit)
            scale.ticks << static_cast<double>(tick);
    }
    return scale;
}
