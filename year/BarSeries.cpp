#include "year/BarSeries.h"

#include "platform/NumberText.h"
#include "year/ValueScale.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBrush>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetrics>
#include <QGraphicsItemGroup>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QPen>

#include <algorithm>

namespace {
constexpr int ArrowLength = 20;
const QColor MarkColour(255, 255, 128);
// The value axis labels stay short, so that the plot keeps its width.
constexpr int TickLabelLength = 10;
// The space kept between two marks that were moved apart.
constexpr qreal MarkGap = 2;

// A mark's box `rect` (beyond its bar's tip, `down` when below it) moved away from the
// bar past every mark already placed that it would overlap; when that leaves the chart
// `area`, moved the other way from where it stood. Where neither way is clear, the box
// keeps its place.
QRectF clearOf(const QList<QRectF>& placed, QRectF rect, bool down, QRectF area) {
    auto overlapped = [&](const QRectF& candidate) -> const QRectF* {
        for (const QRectF& other : placed)
            if (candidate.intersects(other.adjusted(0, -MarkGap, 0, MarkGap)))
                return &other;
        return nullptr;
    };
    for (bool away : {true, false}) {
        const bool downwards = away == down;
        QRectF candidate = rect;
        while (const QRectF* other = overlapped(candidate)) {
            if (downwards)
                candidate.moveTop(other->bottom() + MarkGap);
            else
                candidate.moveBottom(other->top() - MarkGap);
        }
        if (area.contains(candidate))
            return candidate;
    }
    return rect;
}

} // namespace

TBarSeries::TBarSeries(QChart* chart, const QString& name, const QColor& colour)
    : QObject(chart)
    , chart_(chart)
    , series_(new QBarSeries)
    , set_(new QBarSet(name))
    , categories_(new QBarCategoryAxis)
    , values_axis_(new QCategoryAxis)
    , zero_line_(new QGraphicsLineItem(chart))
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
    // Full month names under the bars; the ticks are labelled on their values.
    categories_->setTruncateLabels(false);
    values_axis_->setTruncateLabels(false);
    values_axis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    zero_line_->setPen(QPen(Qt::black, 1));
    zero_line_->setZValue(5); // over the bars, under the marks
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
    // Changing the axes may lay the plot out anew, which places the marks at once: the
    // old marks go first, so that none is placed for a bar that is gone.
    qDeleteAll(marks_);
    marks_.clear();
    QStringList categories;
    for (int position = 0; position < labels_.size(); ++position)
        categories << (labels_[position].isEmpty() ? QString::number(position + 1)
                                                   : labels_[position]);
    categories_->setCategories(categories);
    const ValueScale scale = valueScale(values_, numbers::decimalSeparator(), TickLabelLength);
    for (const QString& tick : values_axis_->categoriesLabels())
        values_axis_->remove(tick);
    values_axis_->setRange(scale.lower, scale.upper);
    values_axis_->setStartValue(scale.lower);
    for (qsizetype tick = 0; tick < scale.ticks.size(); ++tick)
        values_axis_->append(scale.labels[tick], scale.ticks[tick]);
    set_->remove(0, set_->count());
    for (double value : values_)
        set_->append(scale.charted(value));

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
    const QRectF plot = chart_->plotArea();
    const qreal zeroLine = chart_->mapToPosition(QPointF(0, 0), series_).y();
    zero_line_->setLine(QLineF(plot.left(), zeroLine, plot.right(), zeroLine));

    const QRectF area = chart_->rect();
    QList<QRectF> placed;
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
        const bool hangs = value < 0;
        const QPointF tip(end.x(),
                          hangs ? std::max(end.y(), zero.y()) : std::min(end.y(), zero.y()));
        const double below = tip.y() + ArrowLength;
        const double above = tip.y() - ArrowLength - size.height();
        const bool boxBelow = hangs ? below + size.height() <= area.bottom() || above < area.top()
                                    : above < area.top();
        const QRectF natural(QPointF(tip.x() - size.width() / 2, boxBelow ? below : above), size);
        const QRectF rect = clearOf(placed, natural, boxBelow, area);
        placed << rect;
        group->setPos(0, 0);
        line->setLine(QLineF(tip, QPointF(tip.x(), boxBelow ? rect.top() : rect.bottom())));
        box->setRect(rect);
        text->setPos(rect.topLeft() + QPointF(3, 1));
    }
}
