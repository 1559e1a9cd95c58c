#include "app/MainMenu.h"
#include "month/MonthSheet.h"
#include "platform/TLabel.h"
#include "support/ProgramUnderTest.h"
#include "ui_MonthSheet.h"
#include "ui_YearSheet.h"
#include "year/YearSheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The twenty items in table order: the year sheet's buttons and the fields they fill.
const QStringList itemButtons = QString("Button4 Button6 Button7 Button8 Button9 Button10 Button5 "
                                        "Button11 Button12 Button13 Button14 Button15 Button16 "
                                        "Button17 Button18 Button19 Button20 Button21 Button22 "
                                        "Button23")
                                    .split(' ');
const QStringList itemFields = QString("Edit1 Edit2 Edit3 Edit20 Edit4 Edit5 Edit6 Edit7 Edit8 "
                                       "Edit9 Edit10 Edit11 Edit12 Edit13 Edit14 Edit15 Edit16 "
                                       "Edit17 Edit18 Edit19")
                                   .split(' ');

const QStringList placeholders = QStringList(6, "earned") + QStringList(14, "spend");

TMonthSheet* month(int index) {
    const std::array<TMonthSheet*, 12> months = {Form2, Form3, Form4,  Form5,  Form6,  Form7,
                                                 Form8, Form9, Form10, Form11, Form12, Form13};
    return months.at(index - 1);
}

template <class Widget> Widget* child(QWidget* window, const QString& name) {
    auto* widget = window->findChild<Widget*>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}

TEdit* monthField(int index, int item) {
    return child<TEdit>(month(index), itemFields[item]);
}
TEdit* yearField(int item) {
    return child<TEdit>(Form14, itemFields[item]);
}

QStringList yearFields() {
    QStringList texts;
    for (int item = 0; item < 20; ++item)
        texts << yearField(item)->text();
    return texts;
}

QStringList monthFields() {
    QStringList texts;
    for (int index = 1; index <= 12; ++index)
        for (int item = 0; item < 20; ++item)
            texts << monthField(index, item)->text();
    return texts;
}

QColor windowText() {
    return QApplication::palette().color(QPalette::WindowText);
}

const QString overflow = QStringLiteral("error: Floating point overflow.");

} // namespace

class YearSheetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramUnderTest> program;
    Ui::YearSheet* ui = nullptr;

private slots:
    void initTestCase() {
        QTest::failOnWarning(QRegularExpression("QObject::connect"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void init() {
        program = std::make_unique<ProgramUnderTest>();
        ui = Form14->ui.get();
        Form14->show();
    }
    void cleanup() { program.reset(); }

    void layoutDiffersFromMonthSheet() {
        QCOMPARE(Form14->windowTitle(), "Year");
        QCOMPARE(ui->Label28->text(), "Year");
        QCOMPARE(ui->Label28->size(), QSize(73, 24));
        QCOMPARE(ui->Label29->text(), "Total this year");
        QCOMPARE(ui->Button3->text(), "Add all months up");
        QCOMPARE(ui->Button3->parentWidget(), ui->Panel1);
        QCOMPARE(ui->Button25->text(), "Overview");
        QCOMPARE(ui->Button26->text(), "Print year");
        QCOMPARE(ui->Button27->text(), "Print months");
        for (int number = 28; number <= 44; ++number)
            QVERIFY(!Form14->findChild<QWidget*>(QString("Button%1").arg(number)));
        for (const char* name : {"Label32", "Label33", "Button49", "Button54"})
            QVERIFY2(!Form14->findChild<QWidget*>(name), name);
    }

    void itemFieldsAreReadOnly() {
        for (int item = 0; item < 20; ++item) {
            TEdit* field = yearField(item);
            QVERIFY(field->isReadOnly());
            QTest::mouseClick(field, Qt::LeftButton);
            QTest::keyClicks(field, "5");
            QCOMPARE(field->text(), placeholders[item]);
        }
    }

    void eachItemButtonAddsItsItemUp_data() {
        QTest::addColumn<int>("item");
        for (int item = 0; item < 20; ++item)
            QTest::addRow("%s sums %s", qPrintable(itemButtons[item]), qPrintable(itemFields[item]))
                << item;
    }
    void eachItemButtonAddsItsItemUp() {
        QFETCH(int, item);
        auto* button = child<QAbstractButton>(Form14, itemButtons[item]);
        QCOMPARE(button->text(), "Add all months up");
        QCOMPARE(button->geometry(), QRect(item < 6 ? 280 : 272, yearField(item)->y(), 121, 21));
        ui->Edit21->setText("EUR");
        monthField(1, item)->setText("1.5");
        monthField(12, item)->setText("2.25");
        QStringList expected = yearFields();
        expected[item] = "3.75";
        click(button);
        QCOMPARE(yearFields(), expected);
        QCOMPARE(ui->Label10->text(), "Earned");
        QCOMPARE(ui->Label9->text(), "Spend");
        QCOMPARE(monthField(1, item)->text(), "1.5");
        QCOMPARE(monthField(6, item)->text(), placeholders[item]);
    }

    void allItemsWithPlaceholdersGiveZero() {
        const QStringList before = monthFields();
        click(ui->Button3);
        QCOMPARE(yearFields(), QStringList(20, "0"));
        QCOMPARE(ui->Label10->text(), "Earned");
        QCOMPARE(ui->Label9->text(), "Spend");
        QCOMPARE(ui->Label29->text(), "Total this year");
        QCOMPARE(monthFields(), before);
        QVERIFY(program->dialogs.shown.isEmpty());
    }

    void monthTextsAreReadAsNumbers_data() {
        QTest::addColumn<QString>("january");
        QTest::addColumn<QString>("sum");
        const std::pair<const char*, const char*> rows[] = {
            {"-20", "80"}, {"12 EUR", "100"}, {"1,5", "100"}, {"abc", "100"},
            {"", "100"},   {"1.5E1", "115"},  {" 7 ", "107"}};
        for (const auto& [january, sum] : rows)
            QTest::addRow("'%s'", january) << QString(january) << QString(sum);
    }
    void monthTextsAreReadAsNumbers() {
        QFETCH(QString, january);
        QFETCH(QString, sum);
        Form2->ui->Edit1->setText(january);
        Form13->ui->Edit1->setText("100");
        click(ui->Button3);
        QCOMPARE(ui->Edit1->text(), sum);
        QCOMPARE(Form2->ui->Edit1->text(), january);
        QCOMPARE(Form13->ui->Edit1->text(), "100");
    }

    void addUpBeforeAddingMonthsUp_data() {
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("total");
        QTest::newRow("no currency") << QString("Currency") << QString("0");
        QTest::newRow("EUR") << QString("EUR") << QString("0 EUR");
    }
    void addUpBeforeAddingMonthsUp() {
        QFETCH(QString, currency);
        QFETCH(QString, total);
        Form2->ui->Edit1->setText("5"); // not read by "Add up"
        ui->Edit21->setText(currency);
        click(ui->Button1);
        click(ui->Button2);
        QCOMPARE(yearFields(), QStringList(20, "0"));
        QCOMPARE(ui->Label10->text(), total);
        QCOMPARE(ui->Label9->text(), total);
    }

    void totalCountsPlaceholderTotalAsZero() {
        Form2->ui->Edit6->setText("100");
        Form4->ui->Edit7->setText("50");
        Form5->ui->Edit1->setText("1000"); // summed but never added up
        click(ui->Button3);
        click(ui->Button2);
        QCOMPARE(ui->Label9->text(), "150");
        click(ui->Button24);
        QCOMPARE(ui->Label29->text(), "-150");
        QCOMPARE(ui->Label29->fontColor(), QColor(255, 0, 0));
        QCOMPARE(ui->Label10->text(), "0");
        QCOMPARE(ui->Label9->text(), "150");
        QCOMPARE(Form14->Balance, -150.0);
    }

    void clearTableMakesTotalCountItZero() {
        Form2->ui->Edit1->setText("100");
        click(ui->Button3);
        click(ui->Button1);
        click(ui->Button24);
        QCOMPARE(ui->Label29->text(), "100");
        QCOMPARE(ui->Label29->fontColor(), QColor(0, 128, 0));
        click(ui->Button50);
        QCOMPARE(ui->Label10->text(), "Earned");
        QCOMPARE(ui->Edit1->text(), "earned");
        click(ui->Button3);
        QCOMPARE(ui->Edit1->text(), "100");
        click(ui->Button24);
        QCOMPARE(ui->Label29->text(), "0");
        QCOMPARE(ui->Label29->fontColor(), windowText());
        QCOMPARE(ui->Label10->text(), "0");
    }

    void clearAllOnFreshSheet() {
        ui->Label1->setText("2024");
        ui->Edit21->setText("EUR");
        ui->ComboBox24->setCurrentText("*May");
        ui->Memo1->setPlainText("rent\nbooks");
        click(ui->Button3);
        click(ui->Button46);
        QCOMPARE(ui->Label29->text(), "Total this month");
        QCOMPARE(ui->Label29->fontColor(), windowText());
        QCOMPARE(ui->Label1->text(), "2024");
        QCOMPARE(ui->ComboBox24->currentText(), "Month");
        QVERIFY(ui->Memo1->toPlainText().isEmpty());
        QCOMPARE(ui->Edit21->text(), "Currency");
        QCOMPARE(yearFields(), placeholders);
        QCOMPARE(ui->Label10->text(), "Earned");
        QCOMPARE(ui->Label9->text(), "Spend");
        QCOMPARE(ui->ComboBox22->currentText(), "Enough?");
        QCOMPARE(ui->ComboBox23->currentText(), "To much?");
    }

    // The months are summed at extended precision; only a sum beyond the double range fails,
    // and then the year field keeps its text.
    void sumsBeyondDoubleRange_data() {
        QTest::addColumn<QStringList>("months");
        QTest::addColumn<QString>("sum");
        QTest::addColumn<QStringList>("boxes");
        const QStringList big = {"1E308", "1E308", "-1E308", "-1E308", "1.5"};
        QTest::newRow("back within range") << big + QStringList(7, "") << "1.5" << QStringList();
        QTest::newRow("beyond") << QStringList(12, "1E308") << "old" << QStringList{overflow};
        QTest::newRow("largest double") << QStringList(11, "") + QStringList("1.79769313486231E308")
                                        << "1.79769313486231E308" << QStringList();
    }
    void sumsBeyondDoubleRange() {
        QFETCH(QStringList, months);
        QFETCH(QString, sum);
        QFETCH(QStringList, boxes);
        ui->Edit9->setText("old");
        for (int index = 1; index <= 12; ++index)
            month(index)->ui->Edit9->setText(months[index - 1]);
        click(ui->Button13);
        QCOMPARE(ui->Edit9->text(), sum);
        QCOMPARE(program->dialogs.shown, boxes);
    }

    void topBarStopsAtFailingItem() {
        for (int index = 1; index <= 12; ++index)
            month(index)->ui->Edit4->setText("1E308");
        Form2->ui->Edit1->setText("1");
        Form2->ui->Edit20->setText("2");
        Form2->ui->Edit5->setText("3");
        Form2->ui->Edit6->setText("4");
        click(ui->Button3);
        QCOMPARE(program->dialogs.shown, QStringList{overflow});
        QCOMPARE(yearFields(), QStringList({"1", "0", "0", "2"}) + placeholders.mid(4));
    }

    void printYearPrintsTheYearSheet() {
        QTemporaryDir folder;
        program->dialogs.printFolder = folder.path();
        program->dialogs.printAnswers = {true};
        Form2->resize(700, 400); // a January page would show in the image size
        click(ui->Button26);
        QCOMPARE(program->dialogs.shown,
                 QStringList({"notice: Set orientation of printer on Landscape!", "print"}));
        QCOMPARE(program->dialogs.pages.size(), 1);
        QCOMPARE(program->dialogs.pages.front().imageSize, QSize(1105, 631));
        QVERIFY(Form14->isVisible());
    }

    void mainMenuAndCloseShowMainMenu() {
        Form1->hide();
        click(ui->Button45);
        QVERIFY(Form1->isVisible());
        QVERIFY(!Form14->isVisible());
        Form1->hide();
        Form14->show();
        QVERIFY(Form14->close());
        QVERIFY(Form1->isVisible());
        QVERIFY(!Form14->isVisible());
    }
};

QTEST_MAIN(YearSheetTest)
#include "tst_yearsheet.moc"
