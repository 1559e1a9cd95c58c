#include "year/Overview.h"

#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "platform/Handlers.h"
#include "platform/NumberText.h"
#include "ui_Overview.h"
#include "year/BarSeries.h"

#include <QChart>
#include <QLegend>

#include <cfloat>

TForm15* Form15 = nullptr;

TForm15::TForm15()
    : ui(std::make_unique<Ui::Overview>()) {
    ui->setupUi(this);
    auto* chart = new QChart;
    chart->setBackgroundBrush(QColor(255, 255, 0));
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setTitle(QString());
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setVisible(true);
    ui->Chart1->setChart(chart);
    ui->Chart1->setFrameShape(QFrame::NoFrame);
    ui->Chart1->setBackgroundBrush(QColor(255, 255, 0));
    ui->Chart1->setRenderHint(QPainter::Antialiasing);
    Series1 = new TBarSeries(chart, QStringLiteral("Bar"), QColor(255, 0, 0));

    bindClick(ui->Button1, this, [this] { Button1Click(); });
    bindClick(ui->Button2, this, [this] { Button2Click(); });
    bindClick(ui->Button3, this, [this] { Button3Click(); });
    bindClick(ui->Button4, this, [this] { Button4Click(); });
}

TForm15::~TForm15() = default;

void TForm15::Button1Click() {
    static const QStringList barLabels = [] {
        QStringList labels;
        for (const QString& name : calendar::monthNames())
            labels << name;
        labels[0] = QStringLiteral("january");
        return labels;
    }();
    const QChar separator = numbers::decimalSeparator();
    Series1->Clear();
    for (int month = 1; month <= calendar::MonthCount; ++month) {
        const QString caption = calendar::sheetAt(month)->view().balance->text();
        const int position = Series1->Add(captionValue(caption, separator));
        Series1->setLabel(position, barLabels[month - 1]);
    }
}

void TForm15::Button2Click() {
    hide();
    TForm::mainForm()->show();
}

void TForm15::Button3Click() {
    hide();
    calendar::sheetAt(calendar::YearSheet)->show();
}

void TForm15::Button4Click() {
    printOnePage(*this);
}

void TForm15::FormClose() {
    calendar::sheetAt(calendar::YearSheet)->show();
}

double captionValue(const QString& caption, QChar separator) {
    // The longest number at the start: blanks, a sign, digits with at most one decimal
    // point, and an exponent only when a digit follows it. The decimal point is the
    // separator given or a full stop, so a caption written on a full-stop machine reads
    // the same under a comma locale.
    qsizetype start = 0;
    while (start < caption.size() && caption[start] == QLatin1Char(' '))
        ++start;
    qsizetype end = start;
    auto digitAt = [&](qsizetype at) {
        return at < caption.size() && caption[at].isDigit() && caption[at].unicode() < 128;
    };
    if (end < caption.size() &&
        (caption[end] == QLatin1Char('+') || caption[end] == QLatin1Char('-')))
        ++end;
    bool digits = false;
    while (digitAt(end)) {
        ++end;
        digits = true;
    }
    QChar point = separator;
    if (end < caption.size() && (caption[end] == separator || caption[end] == QLatin1Char('.'))) {
        point = caption[end];
        ++end;
        while (digitAt(end)) {
            ++end;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (end < caption.size() &&
        (caption[end] == QLatin1Char('E') || caption[end] == QLatin1Char('e'))) {
        qsizetype exponent = end + 1;
        if (exponent < caption.size() &&
            (caption[exponent] == QLatin1Char('+') || caption[exponent] == QLatin1Char('-')))
            ++exponent;
        if (digitAt(exponent)) {
            end = exponent;
            while (digitAt(end))
                ++end;
        }
    }
    const numbers::Reading reading =
        numbers::readDecimal(QStringView(caption).mid(start, end - start), point);
    if (!reading.isNumber) // beyond even the extended range
        return caption[start] == QLatin1Char('-') ? -DBL_MAX : DBL_MAX;
    return static_cast<double>(std::clamp(reading.value, -static_cast<long double>(DBL_MAX),
                                          static_cast<long double>(DBL_MAX)));
}
