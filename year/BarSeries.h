#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QString>

class QBarCategoryAxis;
class QCategoryAxis;
class QBarSeries;
class QBarSet;
class QChart;
class QGraphicsItemGroup;
class QGraphicsLineItem;

// One bar series of a chart: a list of points, each with a value, a colour and a label,
// addressed by position from 0. Every bar carries a mark with its label in a
// light-yellow box joined to the bar by a short line: above the bar when it grows up
// from the zero line, below it when it hangs down, and at the zero line for a zero bar;
// a mark that would overlap an earlier one is moved past it. The value axis has round
// ticks with zero among them, and the zero line is drawn across the plot.
class TBarSeries : public QObject {
    Q_OBJECT

public:
    TBarSeries(QChart* chart, const QString& name, const QColor& colour);
    ~TBarSeries() override;

    void Clear();
    // Appends a point with an empty label and returns its position.
    int Add(double value);
    void setLabel(int position, const QString& label);

    int Count() const { return values_.size(); }
    double YValue(int position) const { return values_.at(position); }
    QString Label(int position) const { return labels_.at(position); }
    QColor Colour() const { return colour_; }

    // The marks' text items, for looking at where they stand.
    QList<QGraphicsItemGroup*> marks() const { return marks_; }

private:
    void rebuild();
    void placeMarks();

    QChart* chart_;
    QBarSeries* series_;
    QBarSet* set_;
    QBarCategoryAxis* categories_;
    QCategoryAxis* values_axis_;
    QGraphicsLineItem* zero_line_;
    QColor colour_;
    QList<double> values_;
    QStringList labels_;
    QList<QGraphicsItemGroup*> marks_;
};
