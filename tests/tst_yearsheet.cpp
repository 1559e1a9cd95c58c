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

// The twenty items in table order: the year sheet's button and the field it fills.
struct Item {
    const char* button;
    const char* field;
};
constexpr std::array<Item, 20> items = {
    {{"Button4", "Edit1"},   {"Button6", "Edit2"},   {"Button7", "Edit3"},
     {"Button8", "Edit20"},  {"Button9", "Edit4"},   {"Button10", "Edit5"},
     {"Button5", "Edit6"},   {"Button11", "Edit7"},  {"Button12", "Edit8"},
     {"Button13", "Edit9"},  {"Button14", "Edit10"}, {"Button15", "Edit11"},
     {"Button16", "Edit12"}, {"Button17", "Edit13"}, {"Button18", "Edit14"},
     {"Button19", "Edit15"}, {"Button20", "Edit16"}, {"Button21", "Edit17"},
     {"Button22", "Edit18"}, {"Button23", "Edit19"}}};

QString placeholderOf(int item) {
    return item < 6 ? "earned" : "spend";
}

TMonthSheet* month(int index) {
    const std::array<TMonthSheet*, 12> months = {Form2, Form3, Form4,  Form5,  Form6,  Form7,
                                                 Form8, Form9, Form10, Form11, Form12, Form13};
    return months.at(index - 1);
}

template <class Widget> Widget* child(QWidget* window, const char* name) {
    auto* widget = window->findChild<Widget*>(name);
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

TEdit* monthField(int index, int item) {
    return child<TEdit>(month(index), items[item].field);
}
TEdit* yearField(int item) {
    return child<TEdit>(Form14, items[item].field);
}
QAbstractButton* yearButton(int item) {
    return child<QAbstractButton>(Form14, items[item].button);
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

private slots:
    void initTestCase() {
        QTest::failOnWarning(QRegularExpression("QObject::connect"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void init() {
        program = std::make_unique<ProgramUnderTest>();
        Form14->show();
    }
    void cleanup() { program.reset(); }

    void layoutDiffersFromMonthSheet() {
        QCOMPARE(Form14->windowTitle(), "Year");
        QCOMPARE(Form14->ui->Label28->text(), "Year");
        QCOMPARE(Form14->ui->Label28->size(), QSize(73, 24));
        QCOMPARE(Form14->ui->Label29->text(), "Total this year");
        QCOMPARE(Form14->ui->Button3->text(), "Add all months up");
        QCOMPARE(Form14->ui->Button3->parentWidget(), Form14->ui->Panel1);
        QCOMPARE(Form14->ui->Button25->text(), "Overview");
        QCOMPARE(Form14->ui->Button26->text(), "Print year");
        QCOMPARE(Form14->ui->Button27->text(), "Print months");
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
            QCOMPARE(field->text(), placeholderOf(item));
        }
    }

    void eachItemButtonAddsItsItemUp_data() {
        QTest::addColumn<int>("item");
        for (int item = 0; item < 20; ++item)
            QTest::addRow("%s sums %s", items[item].button, items[item].field) << item;
    }
    void eachItemButtonAddsItsItemUp() {
        QFETCH(int, item);
        QAbstractButton* button = yearButton(item);
        QCOMPARE(button->text(), "Add all months up");
        QCOMPARE(button->geometry(), QRect(item < 6 ? 280 : 272, yearField(item)->y(), 121, 21));
        Form14->ui->Edit21->setText("EUR");
        monthField(1, item)->setText("1.5");
        monthField(12, item)->setText("2.25");
        QStringList expected = yearFields();
        expected[item] = "3.75";
        click(button);
        QCOMPARE(yearFields(), expected);
        QCOMPARE(Form14->ui->Label10->text(), "Earned");
        QCOMPARE(Form14->ui->Label9->text(), "Spend");
        QCOMPARE(monthField(1, item)->text(), "1.5");
        QCOMPARE(monthField(6, item)->text(), placeholderOf(item));
    }

    void allItemsWithPlaceholdersGiveZero() {
        const QStringList before = monthFields();
        click(Form14->ui->Button3);
        QCOMPARE(yearFields(), QStringList(20, "0"));
        QCOMPARE(Form14->ui->Label10->text(), "Earned");
        QCOMPARE(Form14->ui->Label9->text(), "Spend");
        QCOMPARE(Form14->ui->Label29->text(), "Total this year");
        QCOMPARE(monthFields(), before);
        QVERIFY(program->dialogs.shown.isEmpty());
    }

    void monthTextsAreReadAsNumbers_data() {
        QTest::addColumn<QString>("january");
        QTest::addColumn<QString>("sum");
        QTest::newRow("minus") << "-20"
                               << "80";
        QTest::newRow("currency word") << "12 EUR"
                                       << "100";
        QTest::newRow("decimal comma") << "1,5"
                                       << "100";
        QTest::newRow("letters") << "abc"
                                 << "100";
        QTest::newRow("emptied") << ""
                                 << "100";
        QTest::newRow("exponent") << "1.5E1"
                                  << "115";
        QTest::newRow("blanks") << " 7 "
                                << "107";
    }
    void monthTextsAreReadAsNumbers() {
        QFETCH(QString, january);
        QFETCH(QString, sum);
        Form2->ui->Edit1->setText(january);
        Form13->ui->Edit1->setText("100");
        click(Form14->ui->Button3);
        QCOMPARE(Form14->ui->Edit1->text(), sum);
        QCOMPARE(Form2->ui->Edit1->text(), january);
        QCOMPARE(Form13->ui->Edit1->text(), "100");
    }

    void addUpBeforeAddingMonthsUp_data() {
        QTest::addColumn<QString>("currency");
        QTest::addColumn<QString>("total");
        QTest::newRow("no currency") << "Currency"
                                     << "0";
        QTest::newRow("EUR") << "EUR"
                             << "0 EUR";
    }
    void addUpBeforeAddingMonthsUp() {
        QFETCH(QString, currency);
        QFETCH(QString, total);
        Form2->ui->Edit1->setText("5"); // not read by "Add up"
        Form14->ui->Edit21->setText(currency);
        click(Form14->ui->Button1);
        click(Form14->ui->Button2);
        QCOMPARE(yearFields(), QStringList(20, "0"));
        QCOMPARE(Form14->ui->Label10->text(), total);
        QCOMPARE(Form14->ui->Label9->text(), total);
    }

    void totalCountsPlaceholderTotalAsZero() {
        Form2->ui->Edit6->setText("100");
        Form4->ui->Edit7->setText("50");
        Form5->ui->Edit1->setText("1000"); // summed but never added up
        click(Form14->ui->Button3);
        click(Form14->ui->Button2);
        QCOMPARE(Form14->ui->Label9->text(), "150");
        click(Form14->ui->Button24);
        QCOMPARE(Form14->ui->Label29->text(), "-150");
        QCOMPARE(Form14->ui->Label29->fontColor(), QColor(255, 0, 0));
        QCOMPARE(Form14->ui->Label10->text(), "0");
        QCOMPARE(Form14->ui->Label9->text(), "150");
        QCOMPARE(Form14->Balance, -150.0);
    }

    void clearTableMakesTotalCountItZero() {
        Form2->ui->Edit1->setText("100");
        click(Form14->ui->Button3);
        click(Form14->ui->Button1);
        click(Form14->ui->Button24);
        QCOMPARE(Form14->ui->Label29->text(), "100");
        QCOMPARE(Form14->ui->Label29->fontColor(), QColor(0, 128, 0));
        click(Form14->ui->Button50);
        QCOMPARE(Form14->ui->Label10->text(), "Earned");
        QCOMPARE(Form14->ui->Edit1->text(), "earned");
        click(Form14->ui->Button3);
        QCOMPARE(Form14->ui->Edit1->text(), "100");
        click(Form14->ui->Button24);
        QCOMPARE(Form14->ui->Label29->text(), "0");
        QCOMPARE(Form14->ui->Label29->fontColor(), windowText());
        QCOMPARE(Form14->ui->Label10->text(), "0");
    }

    void clearAllOnFreshSheet() {
        Form14->ui->Label1->setText("2024");
        Form14->ui->Edit21->setText("EUR");
        Form14->ui->ComboBox24->setCurrentText("*May");
        Form14->ui->Memo1->setPlainText("rent\nbooks");
        click(Form14->ui->Button3);
        click(Form14->ui->Button46);
        QCOMPARE(Form14->ui->Label29->text(), "Total this month");
        QCOMPARE(Form14->ui->Label29->fontColor(), windowText());
        QCOMPARE(Form14->ui->Label1->text(), "2024");
        QCOMPARE(Form14->ui->ComboBox24->currentText(), "Month");
        QVERIFY(Form14->ui->Memo1->toPlainText().isEmpty());
        QCOMPARE(Form14->ui->Edit21->text(), "Currency");
        QStringList placeholders;
        for (int item = 0; item < 20; ++item)
            placeholders << placeholderOf(item);
        QCOMPARE(yearFields(), placeholders);
        QCOMPARE(Form14->ui->Label10->text(), "Earned");
        QCOMPARE(Form14->ui->Label9->text(), "Spend");
        QCOMPARE(Form14->ui->ComboBox22->currentText(), "Enough?");
        QCOMPARE(Form14->ui->ComboBox23->currentText(), "To much?");
    }

    void monthsAreSummedAtExtendedPrecision() {
        for (int index : {1, 2})
            month(index)->ui->Edit9->setText("1E308");
        for (int index : {3, 4})
            month(index)->ui->Edit9->setText("-1E308");
        Form6->ui->Edit9->setText("1.5");
        click(Form14->ui->Button13);
        QCOMPARE(Form14->ui->Edit9->text(), "1.5");
        QVERIFY(program->dialogs.shown.isEmpty());
    }

    void sumBeyondDoubleRangeKeepsOldText() {
        Form2->ui->Edit20->setText("1");
        click(Form14->ui->Button8);
        QCOMPARE(Form14->ui->Edit20->text(), "1");
        for (int index = 1; index <= 12; ++index)
            month(index)->ui->Edit20->setText("1E308");
        click(Form14->ui->Button8);
        QCOMPARE(program->dialogs.shown, QStringList{overflow});
        QCOMPARE(Form14->ui->Edit20->text(), "1");
    }

    void topBarStopsAtFailingItem() {
        for (int index = 1; index <= 12; ++index)
            month(index)->ui->Edit4->setText("1E308");
        Form2->ui->Edit1->setText("1");
        Form2->ui->Edit20->setText("2");
        Form2->ui->Edit5->setText("3");
        Form2->ui->Edit6->setText("4");
        click(Form14->ui->Button3);
        QCOMPARE(program->dialogs.shown, QStringList{overflow});
        QStringList expected = {"1", "0", "0", "2", "earned", "earned"};
        expected += QStringList(14, "spend");
        QCOMPARE(yearFields(), expected);
    }

    void printYearPrintsTheYearSheet() {
        QTemporaryDir folder;
        program->dialogs.printFolder = folder.path();
        program->dialogs.printAnswers = {true};
        Form2->resize(700, 400); // a January page would show in the image size
        click(Form14->ui->Button26);
        QCOMPARE(program->dialogs.shown,
                 QStringList({"notice: Set orientation of printer on Landscape!", "print"}));
        QCOMPARE(program->dialogs.pages.size(), 1);
        QCOMPARE(program->dialogs.pages.front().imageSize, QSize(1105, 631));
        QVERIFY(Form14->isVisible());
    }

    void mainMenuAndCloseShowMainMenu() {
        Form1->hide();
        click(Form14->ui->Button45);
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
