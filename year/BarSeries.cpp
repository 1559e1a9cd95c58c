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

TBarSeries::~TBarSeries() { qDeleteAll(marks_); }

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
    set_->remove(0, set_->count());
    for (double value : values_)
        set_->append(value);
    QStringList categories;
    for (int position = 0; position < labels_.size(); ++position)
        categories << (labels_[position].isEmpty() ? QString::number(position + 1)
                                                   : labels_[position]);
    categories_->setCategories(categories);
    double low = 0;
    double high = 0;
    for (double value : values_) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    if (low == high)
        high = 1;
    const double room = (high - low) * 0.15;
    values_axis_->setRange(low < 0 ? low - room : 0, high > 0 ? high + room : 0);

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
        const QPointF end = chart_->mapToPosition(QPointF(position, value), series_);
        const QPointF zero = chart_->mapToPosition(QPointF(position, 0), series_);
        const QSizeF size = text->boundingRect().size() + QSizeF(6, 2);
        const bool hangs = value < 0;
        const QPointF tip(end.x(), hangs ? std::max(end.y(), zero.y()) : std::min(end.y(), zero.y()));
        const QPointF boxTop(tip.x() - size.width() / 2,
                             hangs ? tip.y() + ArrowLength : tip.y() - ArrowLength - size.height());
        group->setPos(0, 0);
        line->setLine(QLineF(tip, QPointF(tip.x(), hangs ? boxTop.y() : boxTop.y() + size.height())));
        box->setRect(QRectF(boxTop, size));
        text->setPos(boxTop + QPointF(3, 1));
    }
}
