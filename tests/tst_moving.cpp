#include "month/MonthSheet.h"
#include "platform/Printing.h"
#include "platform/TLabel.h"
#include "support/ProgramUnderTest.h"
#include "ui_MonthSheet.h"
#include "ui_YearSheet.h"
#include "year/YearSheet.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList sheetNames = {"January",  "February", "March",  "April",     "May",
                                "June",     "July",     "August", "September", "October",
                                "November", "December", "Year"};

// The amount fields in the order of their "Copy to all months" buttons, Button25 upwards.
const QStringList itemFields = {"Edit1",  "Edit2",  "Edit3",  "Edit20", "Edit4",
                                "Edit5",  "Edit6",  "Edit7",  "Edit8",  "Edit9",
                                "Edit10", "Edit11", "Edit12", "Edit13", "Edit14",
                                "Edit15", "Edit16", "Edit17", "Edit18", "Edit19"};

const QString yearPlaceholder = QStringLiteral("Double click here for entering year");
const QString landscapeNotice = QStringLiteral("notice: Set orientation of printer on Landscape!");

// Sheet 1..12 is January..December, 13 the year sheet.
TSheet* sheet(int index) {
    const std::array<TSheet*, 13> sheets = {Form2, Form3,  Form4,  Form5,  Form6,  Form7, Form8,
                                            Form9, Form10, Form11, Form12, Form13, Form14};
    return sheets.at(index - 1);
}

template <class Widget> Widget* child(QWidget* window, const QString& name) {
    auto* widget = window->findChild<Widget*>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
}

QAbstractButton* button(int index, const QString& name) {
    return child<QAbstractButton>(sheet(index), name);
}
TEdit* field(int index, const QString& name) {
    return child<TEdit>(sheet(index), name);
}
TLabel* label(int index, const QString& name) {
    return child<TLabel>(sheet(index), name);
}
QComboBox* goToBox(int index) {
    return child<QComboBox>(sheet(index), "ComboBox24");
}

QStringList visibleSheets() {
    QStringList names;
    for (int index = 1; index <= 13; ++index)
        if (sheet(index)->isVisible())
            names << sheet(index)->windowTitle();
    return names;
}

// Every caption and box text of all thirteen sheets, for "nothing else changed".
QStringList captionsOfAllSheets() {
    QStringList texts;
    for (int index = 1; index <= 13; ++index) {
        for (const TLabel* caption : sheet(index)->findChildren<TLabel*>())
            texts << caption->objectName() + '=' + caption->text();
        for (const QComboBox* box : sheet(index)->findChildren<QComboBox*>())
            texts << box->objectName() + '=' + box->currentText();
    }
    return texts;
}

// Records the hides and shows of the thirteen sheets, in order.
class ShowLog : public QObject {
public:
    QStringList events;
    ShowLog() {
        for (int index = 1; index <= 13; ++index)
            sheet(index)->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
            !event->spontaneous())
            events << (event->type() == QEvent::Show ? "show " : "hide ") +
                          static_cast<QWidget*>(watched)->windowTitle();
        return false;
    }
};

} // namespace

class Moving : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QTest::failOnWarning(QRegularExpression("QObject::connect")); }

    void ringOfSheets_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("shown");
        for (int index = 1; index <= 13; ++index) {
            const QString name = sheetNames[index - 1];
            QTest::addRow("<< on %s", qPrintable(name))
                << index << "Button53" << sheetNames[(index + 11) % 13];
            QTest::addRow(">> on %s", qPrintable(name))
                << index << "Button52" << sheetNames[index % 13];
        }
    }
    void ringOfSheets() {
        QFETCH(int, from);
        QFETCH(QString, buttonName);
        QFETCH(QString, shown);
        ProgramUnderTest program;
        sheet(from)->show();
        ShowLog log;
        click(button(from, buttonName));
        QCOMPARE(visibleSheets(), QStringList{shown});
        QCOMPARE(log.events, QStringList({"hide " + sheetNames[from - 1], "show " + shown}));
        QVERIFY(program.dialogs.shown.isEmpty());
    }

    void goToTable_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        for (int from : {3, 13})
            for (const QString& name : sheetNames)
                QTest::addRow("%s: *%s", qPrintable(sheetNames[from - 1]), qPrintable(name))
                    << from << '*' + name << name;
    }
    void goToTable() {
        QFETCH(int, from);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        ProgramUnderTest program;
        sheet(from)->show();
        goToBox(from)->setCurrentText(text);
        ShowLog log;
        click(button(from, "Button48"));
        QCOMPARE(visibleSheets(), QStringList{shown});
        QCOMPARE(log.events, QStringList({"hide " + sheetNames[from - 1], "show " + shown}));
        QCOMPARE(goToBox(from)->currentText(), text);
    }

    void goToTextsThatNameNoSheet_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("text");
        QTest::newRow("placeholder") << 1 << "Month";
        QTest::newRow("no asterisk") << 2 << "March";
        QTest::newRow("lower case") << 4 << "*march";
        QTest::newRow("trailing blank") << 12 << "*Year ";
        QTest::newRow("empty") << 13 << "";
        QTest::newRow("leading blank") << 13 << " *May";
    }
    void goToTextsThatNameNoSheet() {
        QFETCH(int, from);
        QFETCH(QString, text);
        ProgramUnderTest program;
        sheet(from)->show();
        goToBox(from)->setCurrentText(text);
        ShowLog log;
        click(button(from, "Button48"));
        QVERIFY(log.events.isEmpty());
        QCOMPARE(visibleSheets(), QStringList{sheetNames[from - 1]});
        QCOMPARE(goToBox(from)->currentText(), text);
        QVERIFY(program.dialogs.shown.isEmpty());
    }

    void goToOwnSheetCentresItAgain() {
        ProgramUnderTest program;
        Form6->show();
        const QPoint centred = Form6->pos();
        Form6->move(centred + QPoint(40, 30));
        QCOMPARE(Form6->Position, TForm::poDesigned);
        Form6->ui->ComboBox24->setCurrentText("*May");
        ShowLog log;
        click(Form6->ui->Button48);
        QCOMPARE(log.events, QStringList({"hide May", "show May"}));
        QVERIFY(Form6->isVisible());
        QCOMPARE(Form6->Position, TForm::poDesigned);
        QCOMPARE(Form6->pos(), centred);
    }

    void copyToAllMonths_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("month");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("text");
        // Every button copies its own field, whatever the text: it is not read as a number.
        for (int item = 0; item < 20; ++item)
            QTest::addRow("Button%d copies %s", 25 + item, qPrintable(itemFields[item]))
                << item << item % 12 + 1 << true << QString("1,5 x%1").arg(item);
        QTest::newRow("~Other from December") << 3 << 12 << true << "42.5";
        QTest::newRow("placeholder spend") << 8 << 5 << false << "spend";
        QTest::newRow("placeholder earned") << 0 << 1 << false << "earned";
        QTest::newRow("emptied by a click") << 3 << 7 << true << "";
    }
    void copyToAllMonths() {
        QFETCH(int, item);
        QFETCH(int, month);
        QFETCH(bool, typed);
        QFETCH(QString, text);
        ProgramUnderTest program;
        const QString name = itemFields[item];
        const QString neighbour = itemFields[(item + 1) % 20];
        for (int other = 1; other <= 12; ++other)
            if (other != month)
                field(other, name)->setText("7");
        sheet(month)->show();
        if (typed)
            typeInto(field(month, name), text);
        const QString yearText = field(13, name)->text();
        const QString neighbourText = field(1, neighbour)->text();
        const QStringList captions = captionsOfAllSheets();

        click(button(month, QString("Button%1").arg(25 + item)));
        for (int other = 1; other <= 12; ++other) {
            QCOMPARE(field(other, name)->text(), text);
            QCOMPARE(field(other, neighbour)->text(), neighbourText);
        }
        QCOMPARE(field(13, name)->text(), yearText);
        QCOMPARE(captionsOfAllSheets(), captions);
        QCOMPARE(visibleSheets(), QStringList{sheetNames[month - 1]});
        QVERIFY(program.dialogs.shown.isEmpty());
    }

    void copyingChangesNoSum() {
        ProgramUnderTest program;
        Form4->show();
        typeInto(Form4->ui->Edit20, "10");
        click(Form4->ui->Button8);  // Add
        click(Form4->ui->Button1);  // Add up
        click(Form4->ui->Button24); // Total
        typeInto(Form4->ui->Edit20, "25");
        const QStringList captions = captionsOfAllSheets();
        click(Form4->ui->Button28);
        QCOMPARE(Form4->ui->Label10->text(), "10");
        QCOMPARE(Form4->ui->Label29->text(), "10");
        QCOMPARE(captionsOfAllSheets(), captions);
        QCOMPARE(Form9->ui->Edit20->text(), "25");
        QCOMPARE(Form9->ui->Label10->text(), "Earned");
    }

    void enterYear_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("written");
        QTest::newRow("2024 on January") << 1 << "Label1"
                                         << "2024"
                                         << "2024";
        QTest::newRow("2024 on the year sheet") << 13 << "Label1"
                                                << "2024"
                                                << "2024";
        QTest::newRow("2024 by March's title") << 3 << "Label2"
                                               << "2024"
                                               << "2024";
        QTest::newRow("leading blank kept") << 5 << "Label1"
                                            << " 2024"
                                            << " 2024";
        QTest::newRow("negative") << 7 << "Label1"
                                  << "-3"
                                  << "-3";
        QTest::newRow("exponent") << 10 << "Label1"
                                  << "1E3"
                                  << "1E3";
        QTest::newRow("fraction") << 11 << "Label1"
                                  << "2024.5"
                                  << "2024.5";
        QTest::newRow("zero with decimals") << 12 << "Label1"
                                            << "0.0" << yearPlaceholder;
        QTest::newRow("no number") << 13 << "Label1"
                                   << "abc" << yearPlaceholder;
        QTest::newRow("cancel") << 2 << "Label1"
                                << "" << yearPlaceholder;
    }
    void enterYear() {
        QFETCH(int, from);
        QFETCH(QString, caption);
        QFETCH(QString, answer);
        QFETCH(QString, written);
        ProgramUnderTest program;
        // A year shown before is not kept.
        for (int index = 1; index <= 13; ++index)
            label(index, "Label1")->setText("1999");
        sheet(from)->show();
        program.dialogs.inputAnswers = {answer};
        doubleClick(label(from, caption));
        QCOMPARE(program.dialogs.shown, QStringList{"input: Penvoro|Enter year"});
        for (int index = 1; index <= 13; ++index)
            QCOMPARE(label(index, "Label1")->text(), written);
        QCOMPARE(visibleSheets(), QStringList{sheetNames[from - 1]});
    }

    void titleEntersNoYearOutsideMarch() {
        ProgramUnderTest program;
        for (int index = 1; index <= 13; ++index) {
            if (index == 3)
                continue;
            sheet(index)->show();
            doubleClick(label(index, "Label2"));
            sheet(index)->hide();
        }
        QVERIFY(program.dialogs.shown.isEmpty());
        QCOMPARE(Form2->ui->Label1->text(), yearPlaceholder);
    }

    void printMonthPrintsItsOwnSheet() {
        ProgramUnderTest program;
        QTemporaryDir folder;
        program.dialogs.printFolder = folder.path();
        program.dialogs.printAnswers = {true};
        // A January page would show in the image size.
        Form2->resize(700, 400);
        Form4->show();
        click(Form4->ui->Button54);
        QCOMPARE(program.dialogs.shown, QStringList({landscapeNotice, "print"}));
        QCOMPARE(program.dialogs.pages.size(), 1);
        const auto& page = program.dialogs.pages.front();
        QCOMPARE(page.imageSize, QSize(1105, 631));
        const QSize printable = januaryPrinter().pageRect(QPrinter::DevicePixel).toRect().size();
        QCOMPARE(page.target, QRect(QPoint(0, 0), fitToPage(page.imageSize, printable)));
        QCOMPARE(page.target.width(), printable.width());
        QVERIFY(QFile::exists(page.outputFile));
        QCOMPARE(visibleSheets(), QStringList{"March"});
    }

    void cancelledPrintPrintsNothing() {
        ProgramUnderTest program;
        program.dialogs.printAnswers = {false};
        Form8->show();
        click(Form8->ui->Button54);
        QCOMPARE(program.dialogs.shown, QStringList({landscapeNotice, "print"}));
        QVERIFY(program.dialogs.pages.isEmpty());
    }

    void everyPrintIsOneJobAndKeepsThePrinterCopyCount() {
        ProgramUnderTest program;
        QTemporaryDir folder;
        program.dialogs.printFolder = folder.path();
        program.dialogs.printAnswers = {true, true, false, true};
        Form5->show();
        click(Form5->ui->Button54);
        januaryPrinter().setCopyCount(3);
        click(Form5->ui->Button54);
        click(Form5->ui->Button54); // cancelled
        Form5->hide();
        Form14->show();
        click(Form14->ui->Button26);
        const auto& pages = program.dialogs.pages;
        QCOMPARE(pages.size(), 3);
        QCOMPARE(pages[1].copies, 3);
        QCOMPARE(pages[2].copies, 3);
        QVERIFY(pages[0].outputFile != pages[1].outputFile);
        QCOMPARE(program.dialogs.shown.count("print"), 4);
        QCOMPARE(program.dialogs.shown.count(landscapeNotice), 4);
    }

    void printingWithoutPrinterReportsIt() {
        ProgramUnderTest program;
        program.dialogs.hasPrinter = false;
        Form13->show();
        click(Form13->ui->Button54);
        QCOMPARE(program.dialogs.shown,
                 QStringList(
                     {landscapeNotice, "error: There is no default printer currently selected."}));
        QVERIFY(program.dialogs.pages.isEmpty());
        QCOMPARE(visibleSheets(), QStringList{"December"});
    }
};

QTEST_MAIN(Moving)
#include "tst_moving.moc"
