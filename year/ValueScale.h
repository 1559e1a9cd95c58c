#pragma once

#include <QList>

// The value axis of a bar chart: a range that spans every bar and the zero line, with
// room beyond the longest bars for their marks, and round tick values (1, 2 or 5 times a
// power of ten, about six steps) with zero among them. The range stays within half the
// double range each side, so that its span is a double too; a bar beyond it is cut.
struct ValueScale {
    double lower = 0;
    double upper = 1;
    QList<double> ticks;
};

ValueScale valueScale(const QList<double>& values);
