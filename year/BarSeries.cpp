#include "year/BarSeries.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBrush>
#include <QChart>
#include <QFontMetrics>
#include <QGraphicsItemGroup>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <cfloat>

namespace {
constexpr int ArrowLength = 20;
const QColor MarkColour(255, 255, 128);
} // namespace

TBarSeries::TBarSeries(QChart* chart, const QString& name, const QColor& colour)
    : QObject(chart)
    , chart_(chart)
    , series_(new QBarSeries)
    , set_(new QBarSet(name))
    , categories_(new QBarCategoryAxis)
    , values_axis_(new QValueAxis)
    , colour_(colour) {
    set_->setColor(colour);
    set_->setBorderColor(Qt::black);
    series_->append(set_);
    series_->setBarWidth(0.7);
    chart_->addSeries(series_);
    chart_->addAxis(categories_, Qt::AlignBottom);
    chart_->addAxis(values_axis_, Qt::AlignLeft);
    series_->attachAxis(categories_);
    series_->attachAxis(values_axis_);
    connect(chart_, &QChart::plotAreaChanged, this, &TBarSeries::placeMarks);
    rebuild();
}

// The marks are child items of the chart, which deletes them before its child objects
// (this series among them); deleting them here again would free them twice.
TBarSeries::~TBarSeries() = default;

void TBarSeries::Clear() {
    values_.clear();
    labels_.clear();
    rebuild();
}

int TBarSeries::Add(double value) {
    values_.append(value);
    labels_.append(QString());
    rebuild();
    return values_.size() - 1;
}

void TBarSeries::setLabel(int position, const QString& label) {
    labels_[position] = label;
    rebuild();
}

void TBarSeries::rebuild() {
    QStringList categories;
    for (int position = 0; position < labels_.size(); ++position)
        categories << (labels_[position].isEmpty() ? QString::number(position + 1)
                                                   : labels_[position]);
    categories_->setCategories(categories);
    // The axis spans every bar and the zero line with 15 % room for the marks. It stays
    // within half the double range so that its span is a double too; a bar beyond that
    // is cut at the edge of the plot.
    long double low = 0;
    long double high = 0;
    for (double value : values_) {
        low = std::min<long double>(low, value);
        high = std::max<long double>(high, value);
    }
    if (low == high)
        high = 1;
    const long double room = (high - low) * 0.15L;
    constexpr long double limit = DBL_MAX / 2;
    const double lower = static_cast<double>(low < 0 ? std::max(low - room, -limit) : 0);
    const double upper = static_cast<double>(high > 0 ? std::min(high + room, limit) : 0);
    values_axis_->setRange(lower, upper);
    set_->remove(0, set_->count());
    for (double value : values_)
        set_->append(std::clamp(value, lower, upper));

    qDeleteAll(marks_);
    marks_.clear();
    for (int position = 0; position < values_.size(); ++position) {
        auto* group = new QGraphicsItemGroup;
        auto* line = new QGraphicsLineItem;
        line->setPen(QPen(colour_));
        auto* box = new QGraphicsRectItem;
        box->setBrush(MarkColour);
        box->setPen(QPen(Qt::black));
        auto* text = new QGraphicsSimpleTextItem(labels_[position]);
        group->addToGroup(line);
        group->addToGroup(box);
        group->addToGroup(text);
        group->setZValue(10);
        group->setParentItem(chart_);
        marks_.append(group);
    }
    placeMarks();
}

void TBarSeries::placeMarks() {
    for (int position = 0; position < marks_.size(); ++position) {
        QGraphicsItemGroup* group = marks_[position];
        const auto children = group->childItems();
        auto* line = static_cast<QGraphicsLineItem*>(children.at(0));
        auto* box = static_cast<QGraphicsRectItem*>(children.at(1));
        auto* text = static_cast<QGraphicsSimpleTextItem*>(children.at(2));
        const double value = values_[position];
        const QPointF end = chart_->mapToPosition(QPointF(position, set_->at(position)), series_);
        const QPointF zero = chart_->mapToPosition(QPointF(position, 0), series_);
        const QSizeF size = text->boundingRect().size() + QSizeF(6, 2);
        // The tip is the bar's end (the zero line for a zero bar). The box stands beyond
        // the tip, on the other side when there is no room for it inside the chart there.
        const QRectF area = chart_->rect();
        const bool hangs = value < 0;
        const QPointF tip(end.x(),
                          hangs ? std::max(end.y(), zero.y()) : std::min(end.y(), zero.y()));
        const double below = tip.y() + ArrowLength;
        const double above = tip.y() - ArrowLength - size.height();
        const bool boxBelow = hangs ? below + size.height() <= area.bottom() || above < area.top()
                                    : above < area.top();
        const QPointF boxTop(tip.x() - size.width() / 2, boxBelow ? below : above);
        group->setPos(0, 0);
        line->setLine(
            QLineF(tip, QPointF(tip.x(), boxBelow ? boxTop.y() : boxTop.y() + size.height())));
        box->setRect(QRectF(boxTop, size));
        text->setPos(boxTop + QPointF(3, 1));
    }
}
