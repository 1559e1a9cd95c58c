#include "app/MainMenu.h"
#include "month/Calendar.h"
#include "month/Sheet.h"
#include "platform/NumberText.h"
#include "support/ProgramUnderTest.h"
#include "ui_Overview.h"
#include "ui_YearSheet.h"
#include "year/BarSeries.h"
#include "year/Overview.h"
#include "year/YearSheet.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsItemGroup>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QtTest>

#include <algorithm>
#include <cfloat>

namespace {

const QString Notice = QStringLiteral("notice: Set orientation of printer on Landscape!");
const QString Placeholder = QStringLiteral("Total this month");
const QStringList BarLabels = {"january",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};

void setBalances(const QStringList& captions) {
    for (int month = 1; month <= 12; ++month)
        calendar::sheetAt(month)->view().balance->setText(captions.value(month - 1, Placeholder));
}

// As a user does it: the window is shown and laid out, then "Show overview" is pressed.
void showOverview() {
    Form15->show();
    QCoreApplication::processEvents();
    click(Form15->ui->Button1);
    QCoreApplication::processEvents(); // lets the chart lay itself out
}

QChart* chart() {
    return Form15->ui->Chart1->chart();
}

QBarSet* drawnBars() {
    auto* series = qobject_cast<QBarSeries*>(chart()->series().value(0));
    return series && series->count() == 1 ? series->barSets().first() : nullptr;
}

QList<double> barValues() {
    QList<double> values;
    for (int position = 0; position < Form15->Series1->Count(); ++position)
        values << Form15->Series1->YValue(position);
    return values;
}

QPointF onChart(int position, double value) {
    return chart()->mapToPosition(QPointF(position, value), chart()->series().first());
}

// The value axis' labels as drawn left of the plot, from the top down, each with the
// height of its middle.
QList<std::pair<QString, qreal>> drawnTickLabels() {
    QList<std::pair<QString, qreal>> labels;
    const QRectF plot = chart()->plotArea();
    for (QGraphicsItem* item : chart()->scene()->items(Qt::AscendingOrder))
        if (auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item);
            text && text->isVisible() && !text->toPlainText().isEmpty() &&
            text->sceneBoundingRect().right() <= plot.left())
            labels.append({text->toPlainText(), text->sceneBoundingRect().center().y()});
    std::sort(labels.begin(), labels.end(),
              [](const auto& one, const auto& other) { return one.second < other.second; });
    return labels;
}

} // namespace

class Overview : public QObject {
    Q_OBJECT

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    void startsAsAnEmptyRedChart() {
        ProgramUnderTest program;
        QCOMPARE(Form15->windowTitle(), QStringLiteral("Year overview"));
        QCOMPARE(Form15->findChild<QChartView*>(QStringLiteral("Chart1")), Form15->ui->Chart1);
        QCOMPARE(chart()->series().size(), 1);
        QVERIFY(drawnBars());
        QCOMPARE(drawnBars()->color(), QColor(Qt::red));
        QCOMPARE(Form15->Series1->Count(), 0);
        QCOMPARE(drawnBars()->count(), 0);
        QVERIFY(Form15->Series1->marks().isEmpty());
    }

    void barsComeFromTheBalanceCaptions_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QList<double>>("bars");
        QTest::newRow("full stop")
            << "en_US" << QStringList{"-12.5", "300", Placeholder, "1E20",  "12.5 EUR", "3 ",
                                      "1,5",   "",    "   ",       "-0.25", "  7",      "0"}
            << QList<double>{-12.5, 300, 0, 1e20, 12.5, 3, 1, 0, 0, -0.25, 7, 0};
        QTest::newRow("decimal comma")
            << "de_DE" << QStringList{"-12,5", "300", Placeholder, "1E20", "12,5 EUR", "3 ",
                                      "1,5",   "",    "   ",       "1.5",  "-2,5E2",   "-12.5"}
            << QList<double>{-12.5, 300, 0, 1e20, 12.5, 3, 1.5, 0, 0, 1.5, -250, -12.5};
    }
    void barsComeFromTheBalanceCaptions() {
        QFETCH(QString, locale);
        QFETCH(QStringList, captions);
        QFETCH(QList<double>, bars);
        ProgramUnderTest program;
        QLocale::setDefault(QLocale(locale));
        setBalances(captions);
        showOverview();
        QCOMPARE(Form15->Series1->Count(), 12);
        QCOMPARE(drawnBars()->count(), 12);
        for (int position = 0; position < 12; ++position) {
            QCOMPARE(Form15->Series1->YValue(position), bars[position]);
            QCOMPARE(drawnBars()->at(position), bars[position]);
            QCOMPARE(Form15->Series1->Label(position), BarLabels[position]);
        }
        QVERIFY(program.dialogs.shown.isEmpty());
    }

    void captionValue_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<double>("value");
        const QChar point(u'.');
        QTest::newRow("plus sign") << "+5" << point << 5.0;
        QTest::newRow("no integer digits") << ".5" << point << 0.5;
        QTest::newRow("no fraction digits") << "5." << point << 5.0;
        QTest::newRow("exponent without digits") << "1E" << point << 1.0;
        QTest::newRow("exponent sign without digits") << "2e+ EUR" << point << 2.0;
        QTest::newRow("negative exponent, then text") << "1e-2x" << point << 0.01;
        QTest::newRow("blanks, sign, exponent, currency") << "  -3.5E+2 EUR" << point << -350.0;
        QTest::newRow("second full stop") << "1.5.5" << point << 1.5;
        QTest::newRow("sign alone") << "-" << point << 0.0;
        QTest::newRow("full stop alone") << " +.e5" << point << 0.0;
        QTest::newRow("letters") << "abc" << point << 0.0;
        QTest::newRow("tab is no blank") << "\t5" << point << 0.0;
        QTest::newRow("non-ASCII digit") << QStringLiteral("\u0665") << point << 0.0;
        QTest::newRow("beyond every range") << "1E5000" << point << DBL_MAX;
        QTest::newRow("beyond every range, negative") << "-1E5000" << point << -DBL_MAX;
        QTest::newRow("beyond a double") << "1E400" << point << DBL_MAX;
        QTest::newRow("largest double") << "1.7976931348623157E308" << point << DBL_MAX;
        QTest::newRow("comma separator") << "1,5 EUR" << QChar(u',') << 1.5;
        // A caption from a full-stop machine reads the same under a comma locale.
        QTest::newRow("full stop under comma") << "1.5" << QChar(u',') << 1.5;
        QTest::newRow("full stop and currency under comma") << "1.5 EUR" << QChar(u',') << 1.5;
        QTest::newRow("negative full stop under comma") << "-12.5" << QChar(u',') << -12.5;
        QTest::newRow("one decimal point only") << "1.5,5" << QChar(u',') << 1.5;
        QTest::newRow("comma under full stop") << "1,5" << point << 1.0;
    }
    void captionValue() {
        QFETCH(QString, caption);
        QFETCH(QChar, separator);
        QFETCH(double, value);
        QCOMPARE(::captionValue(caption, separator), value);
    }

    // Every mark names its bar and is joined to the bar's end: above a bar that grows up,
    // below one that hangs down, on the zero line for a zero bar, and inside the chart.
    void marksStandByTheirBars_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("january below, February above") << QStringList{"-12.5", "300"};
        QTest::newRow("no total pressed") << QStringList{};
        QTest::newRow("all below but March") << QStringList{
            "-1", "-2", Placeholder, "-4", "-5", "-6", "-7", "-8", "-9", "-10", "-11", "-12"};
        QTest::newRow("largest doubles") << QStringList{"-1.7E308", "1.7E308", "1E5000"};
    }
    void marksStandByTheirBars() {
        QFETCH(QStringList, captions);
        ProgramUnderTest program;
        setBalances(captions);
        showOverview();
        const QRectF chartArea = chart()->rect();
        const QRectF plot = chart()->plotArea();
        const QList<QGraphicsItemGroup*> marks = Form15->Series1->marks();
        QCOMPARE(marks.size(), 12);
        for (int position = 0; position < 12; ++position) {
            const double value = Form15->Series1->YValue(position);
            const auto items = marks[position]->childItems();
            const QLineF arrow = static_cast<QGraphicsLineItem*>(items.at(0))->line();
            const QRectF box = static_cast<QGraphicsRectItem*>(items.at(1))->rect();
            const auto* text = static_cast<QGraphicsSimpleTextItem*>(items.at(2));
            QCOMPARE(text->text(), BarLabels[position]);
            QVERIFY(marks[position]->isVisible());
            QVERIFY2(chartArea.contains(box), qPrintable(BarLabels[position]));
            const qreal zero = onChart(position, 0).y();
            const qreal tip = onChart(position, drawnBars()->at(position)).y();
            QVERIFY(plot.adjusted(0, -0.5, 0, 0.5).contains(QPointF(plot.center().x(), zero)));
            QVERIFY(plot.adjusted(0, -0.5, 0, 0.5).contains(QPointF(plot.center().x(), tip)));
            QVERIFY(value > 0 ? tip < zero : value < 0 ? tip > zero : tip == zero);
            QCOMPARE(arrow.p1(), QPointF(onChart(position, 0).x(), tip));
            // A mark with no room on its own side within the chart stands on the other.
            const bool roomAbove = tip - 20 - box.height() >= chartArea.top();
            QVERIFY(value < 0 || !roomAbove ? box.top() > tip : box.bottom() < tip);
        }
    }

    // Round ticks with zero among them around every bar, labels of at most ten characters
    // in one number format, drawn beside their values, full month names under the bars,
    // the zero line drawn, every mark beyond its bar's end, above the month names and
    // clear of the others, and every bar rendered from the zero line to its value.
    void chartStaysReadable_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("ticks");
        QTest::addColumn<int>("chartWidth");
        QTest::newRow("realistic")
            << QStringList{"379.3", "166.4", "-46.5",     "250",    "-120.75", "88.2",
                           "412.9", "-10",   Placeholder, "301.15", "-230.4",  "500"}
            << QStringList{"-400", "-200", "0", "200", "400", "600", "800"} << 0;
        QTest::newRow("all negative")
            << QStringList{"-12.5",  "-300", "-45", "-1",   "-87.3", "-150",
                           "-200.5", "-3",   "-99", "-120", "-60",   "-240"}
            << QStringList{"-400", "-300", "-200", "-100", "0"} << 0;
        QTest::newRow("all zero") << QStringList{}
                                  << QStringList{"0", "0.2", "0.4", "0.6", "0.8", "1", "1.2"} << 0;
        QTest::newRow("huge")
            << QStringList{"1E17",          "-3.5E17", "2.25E18",         "1.5E18",
                           "-1E20",         "5E16",    "123456789012345", "-2E17",
                           "9.87654321E17", "1E18",    "-4E18",           "7E17"}
            << QStringList{"-1.5E20", "-1E20", "-5E19", "0", "5E19"} << 0;
        QTest::newRow("largest doubles")
            << QStringList{"1E17", "-3.5E17", "2.25E18", "1.7E308", "-1E20", "5E16"}
            << QStringList{"-5E307", "0", "5E307", "1E308", "1.5E308", "2E308", "2.5E308"} << 0;
        QTest::newRow("largest doubles both ways")
            << QStringList{"1.7E308", "-1.7E308", "1E5000", "-1E5000"}
            << QStringList{"-3E308", "-2E308", "-1E308", "0", "1E308", "2E308", "3E308"} << 0;
        QTest::newRow("smallest doubles")
            << QStringList{"5E-324", "-1E-320"}
            << QStringList{"-1.5E-320", "-1E-320", "-5E-321", "0", "5E-321"} << 0;
        // 0.3 - (0.1 + 0.2), as "Total" gives it.
        QTest::newRow("rounding residue")
            << QStringList{"-5.55111512312578E-17"}
            << QStringList{"-8E-17", "-6E-17", "-4E-17", "-2E-17", "0"} << 0;
        QTest::newRow("below a million millionth")
            << QStringList{"1E-13"} << QStringList{"0", "5E-14", "1E-13", "1.5E-13"} << 0;
        QTest::newRow("rounding residue among ordinary balances")
            << QStringList{"100", "-5.55111512312578E-17", "-50"}
            << QStringList{"-100", "-50", "0", "50", "100", "150"} << 0;
        QTest::newRow("one label too long for the plain form")
            << QStringList{"3000000000", "-3000000000", "1000000000", "-1000000000"}
            << QStringList{"-6E9", "-4E9", "-2E9", "0", "2E9", "4E9", "6E9"} << 0;
        QTest::newRow("narrow chart, marks side by side")
            << QStringList{"100", "110", "95",  "105", "100", "100",
                           "98",  "102", "100", "101", "99",  "100"}
            << QStringList{"0", "50", "100", "150"} << 480;
    }
    void chartStaysReadable() {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, ticks);
        QFETCH(int, chartWidth);
        ProgramUnderTest program;
        if (chartWidth)
            Form15->ui->Chart1->resize(chartWidth, Form15->ui->Chart1->height());
        setBalances(captions);
        showOverview();

        auto* values = qobject_cast<QCategoryAxis*>(chart()->axes(Qt::Vertical).value(0));
        QVERIFY(values);
        QCOMPARE(values->categoriesLabels(), ticks);
        QCOMPARE(values->min(), values->endValue(ticks.first()));
        QCOMPARE(values->max(), values->endValue(ticks.last()));
        // Each label stands at its value; the lowest and the highest enclose every bar.
        const long double top = numbers::readDecimal(ticks.last(), u'.').value;
        for (const QString& tick : ticks) {
            QVERIFY(tick.size() <= 10);
            QCOMPARE(values->endValue(tick) / values->endValue(ticks.last()),
                     double(numbers::readDecimal(tick, u'.').value / top));
        }
        for (int position = 0; position < 12; ++position)
            QVERIFY(values->endValue(ticks.first()) <= drawnBars()->at(position) &&
                    drawnBars()->at(position) <= values->endValue(ticks.last()));
        auto* names = qobject_cast<QBarCategoryAxis*>(chart()->axes(Qt::Horizontal).value(0));
        QVERIFY(names);
        QCOMPARE(names->categories(), BarLabels);
        QVERIFY(!names->labelsTruncated());
        const QRectF plot = chart()->plotArea();
        QVERIFY2(plot.left() < 100, "the axis labels take the room of the plot");

        const qreal zero = onChart(0, 0).y();
        QList<QGraphicsLineItem*> zeroLines;
        for (QGraphicsItem* item : chart()->childItems())
            if (auto* line = qgraphicsitem_cast<QGraphicsLineItem*>(item);
                line && line->line() == QLineF(plot.left(), zero, plot.right(), zero))
                zeroLines << line;
        QCOMPARE(zeroLines.size(), 1);
        QVERIFY(zeroLines.first()->isVisible());

        // As drawn: the labels left of the plot are the ticks, each beside its value ("0"
        // beside the zero line).
        const QList<std::pair<QString, qreal>> drawn = drawnTickLabels();
        QCOMPARE(drawn.size(), ticks.size());
        for (qsizetype tick = 0; tick < ticks.size(); ++tick) {
            const QString& label = ticks[ticks.size() - 1 - tick];
            QCOMPARE(drawn[tick].first, label);
            QVERIFY2(qAbs(drawn[tick].second - onChart(0, values->endValue(label)).y()) <= 1,
                     qPrintable(label + " stands beside its value"));
        }

        QList<QRectF> boxes;
        for (QGraphicsItemGroup* mark : Form15->Series1->marks())
            boxes << static_cast<QGraphicsRectItem*>(mark->childItems().at(1))->rect();
        for (int one = 0; one < boxes.size(); ++one) {
            QVERIFY(chart()->rect().contains(boxes[one]));
            const qreal tip = onChart(one, drawnBars()->at(one)).y();
            // A zero bar's mark stands below the zero line when there is no room above.
            const bool below =
                drawnBars()->at(one) < 0 || tip - 20 - boxes[one].height() < chart()->rect().top();
            QVERIFY2(boxes[one].bottom() <= plot.bottom() &&
                         (below ? boxes[one].top() > tip : boxes[one].bottom() < tip),
                     qPrintable(BarLabels[one] + " stands on its bar or the month names"));
            for (int other = one + 1; other < boxes.size(); ++other)
                QVERIFY2(!boxes[one].intersects(boxes[other]),
                         qPrintable(BarLabels[one] + " over " + BarLabels[other]));
        }

        // In the rendered chart each bar is red from the zero line to its value, looked at
        // off its middle (where its mark's line runs) and where no mark covers it.
        QChartView* view = Form15->ui->Chart1;
        const QImage rendered = view->grab().toImage();
        for (int position = 0; position < 12; ++position) {
            const int x =
                view->mapFromScene(onChart(position, 0).x() + plot.width() / 12 * 0.2, 0).x();
            const qreal tip = onChart(position, drawnBars()->at(position)).y();
            const int upper = view->mapFromScene(0, std::min(tip, zero)).y();
            const int lower = view->mapFromScene(0, std::max(tip, zero)).y();
            auto covered = [&](int row) {
                return std::any_of(boxes.cbegin(), boxes.cend(), [&](const QRectF& box) {
                    return view->mapFromScene(box)
                        .boundingRect()
                        .adjusted(-1, -1, 1, 1)
                        .contains(x, row);
                });
            };
            for (int row = 0; row < rendered.height(); ++row) {
                const bool edge = std::abs(row - upper) <= 2 || std::abs(row - lower) <= 2;
                if (!edge && !covered(row))
                    QVERIFY2((rendered.pixel(x, row) == qRgb(255, 0, 0)) ==
                                 (upper < row && row < lower),
                             qPrintable(BarLabels[position] + " runs from zero to its value"));
            }
        }
    }

    void pressingAgainRebuildsTheTwelveBars() {
        ProgramUnderTest program;
        setBalances({"1", "2"});
        showOverview();
        setBalances({"5"});
        click(Form15->ui->Button1);
        QCOMPARE(barValues(), (QList<double>{5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(drawnBars()->count(), 12);
        QCOMPARE(Form15->Series1->marks().size(), 12);
    }

    void yearSheetOpensAnUnrefreshedSnapshot() {
        ProgramUnderTest program;
        setBalances({"-12.5", "300"});
        Form14->show();
        click(Form14->ui->Button25); // "Overview" shows the chart as it was: empty
        QVERIFY(!Form14->isVisible());
        QVERIFY(Form15->isVisible());
        QCOMPARE(drawnBars()->count(), 0);
        click(Form15->ui->Button1);
        setBalances({"1", "2"});
        QCOMPARE(barValues().mid(0, 2), (QList<double>{-12.5, 300}));
        click(Form15->ui->Button3); // "Back"
        click(Form14->ui->Button25);
        QCOMPARE(barValues().mid(0, 2), (QList<double>{-12.5, 300}));
        QCOMPARE(drawnBars()->at(1), 300.0);
        click(Form15->ui->Button1);
        QCOMPARE(barValues().mid(0, 2), (QList<double>{1, 2}));
    }

    void leavingKeepsTheBars_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("toMainMenu");
        QTest::newRow("Main Menu") << "Button2" << true;
        QTest::newRow("Back") << "Button3" << false;
        QTest::newRow("close box") << "" << false;
    }
    void leavingKeepsTheBars() {
        QFETCH(QString, way);
        QFETCH(bool, toMainMenu);
        ProgramUnderTest program;
        Form1->hide();
        setBalances({"4"});
        showOverview();
        if (way.isEmpty())
            QVERIFY(Form15->close());
        else
            click(Form15->findChild<QPushButton*>(way));
        QVERIFY(!Form15->isVisible());
        QCOMPARE(Form1->isVisible(), toMainMenu);
        QCOMPARE(Form14->isVisible(), !toMainMenu);
        QCOMPARE(barValues().value(0), 4.0);
        QCOMPARE(Form15->Series1->Count(), 12);
    }

    void printPrintsTheWindow_data() {
        QTest::addColumn<bool>("withBars");
        QTest::addColumn<bool>("answer");
        QTest::newRow("bars shown") << true << true;
        QTest::newRow("no bars ever shown") << false << true;
        QTest::newRow("dialog cancelled") << true << false;
    }
    void printPrintsTheWindow() {
        QFETCH(bool, withBars);
        QFETCH(bool, answer);
        ProgramUnderTest program;
        program.dialogs.printAnswers = {answer};
        Form15->show();
        if (withBars)
            showOverview();
        click(Form15->ui->Button4);
        QCOMPARE(program.dialogs.shown, (QStringList{Notice, "print"}));
        QCOMPARE(program.dialogs.pages.size(), answer ? 1 : 0);
        if (answer)
            QCOMPARE(program.dialogs.pages.first().imageSize, QSize(1105, 626));
        QVERIFY(Form15->isVisible());
        QCOMPARE(Form15->Series1->Count(), withBars ? 12 : 0);
    }
};

QTEST_MAIN(Overview)
#include "tst_overview.moc"
