#pragma once

#include <QChar>
#include <QList>
#include <QStringList>

// The value axis of a bar chart: a range that spans every bar and the zero line, with
// room beyond the longest bars for their marks, and round ticks (1, 2 or 5 times a power
// of ten, about six steps) with zero among them, labelled all in one number format.
// The chart counts in units of a power of ten where the values are very large or very
// small, so that every finite value, up to the largest double either side, is charted
// whole on a range the chart can reckon with.
struct ValueScale {
    int unitPower = 0; // the chart's numbers are the values in units of 10^unitPower
    double lower = 0;  // the range and the ticks in the chart's numbers
    double upper = 1;
    QList<double> ticks;
    QStringList labels; // the ticks' values, one label each

    // A value as the chart's number.
    double charted(double value) const;
};

// The scale for the values, its labels with the decimal separator and, where they all
// fit, in at most `labelLength` characters.
ValueScale valueScale(const QList<double>& values, QChar separator, int labelLength);
