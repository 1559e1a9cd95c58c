#include "month/MonthSheet.h"
#include "platform/PageFit.h"
#include "platform/TLabel.h"
#include "support/ProgramUnderTest.h"
#include "support/ShowHideLog.h"
#include "ui_MonthSheet.h"
#include "ui_YearSheet.h"
#include "year/YearSheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList sheetNames = QString("January February March April May June July August "
                                       "September October November December Year")
                                   .split(' ');

// The amount fields in the order of their "Copy to all months" buttons, Button25 upwards.
const QStringList itemFields = QString("Edit1 Edit2 Edit3 Edit20 Edit4 Edit5 Edit6 Edit7 Edit8 "
                                       "Edit9 Edit10 Edit11 Edit12 Edit13 Edit14 Edit15 Edit16 "
                                       "Edit17 Edit18 Edit19")
                                   .split(' ');

const QString noYear = QStringLiteral("Double click here for entering year");
const QString notice = QStringLiteral("notice: Set orientation of printer on Landscape!");

// Sheet 1..12 is January..December, 13 the year sheet.
TSheet* sheet(int index) {
    const std::array<TSheet*, 13> sheets = {Form2, Form3,  Form4,  Form5,  Form6,  Form7, Form8,
                                            Form9, Form10, Form11, Form12, Form13, Form14};
    return sheets.at(index - 1);
}

template <class Widget = QAbstractButton> Widget* at(int index, const QString& name) {
    auto* widget = sheet(index)->findChild<Widget*>(name);
    if (!widget)
        qFatal("no widget %s", qPrintable(name));
    return widget;
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
struct ShowLog : ShowHideLog {
    ShowLog() {
        for (int index = 1; index <= 13; ++index)
            watch(sheet(index));
    }
};

} // namespace

class Moving : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramUnderTest> program;
    ScriptedDialogs& boxes() { return program->dialogs; }

private slots:
    void initTestCase() { QTest::failOnWarning(QRegularExpression("QObject::connect")); }
    void init() { program = std::make_unique<ProgramUnderTest>(); }
    void cleanup() { program.reset(); }

    void moves_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("buttonName");
        QTest::addColumn<QString>("goTo");
        QTest::addColumn<QString>("shown"); // empty: nothing happens
        for (int index = 1; index <= 13; ++index) {
            const QByteArray name = sheetNames[index - 1].toLatin1();
            QTest::addRow("<< on %s", name.data()) << index << "Button53"
                                                   << "Month" << sheetNames[(index + 11) % 13];
            QTest::addRow(">> on %s", name.data()) << index << "Button52"
                                                   << "Month" << sheetNames[index % 13];
        }
        for (int from : {3, 13})
            for (const QString& name : sheetNames)
                QTest::addRow("%s: *%s", qPrintable(sheetNames[from - 1]), qPrintable(name))
                    << from << "Button48" << '*' + name << name;
        const std::pair<int, const char*> noSheet[] = {{1, "Month"},   {2, "March"}, {4, "*march"},
                                                       {12, "*Year "}, {13, ""},     {13, " *May"}};
        for (const auto& [from, text] : noSheet)
            QTest::addRow("'%s' does nothing", text) << from << "Button48" << text << "";
    }
    void moves() {
        QFETCH(int, from);
        QFETCH(QString, buttonName);
        QFETCH(QString, goTo);
        QFETCH(QString, shown);
        sheet(from)->show();
        at<QComboBox>(from, "ComboBox24")->setCurrentText(goTo);
        ShowLog log;
        click(at(from, buttonName));
        const QString left = sheetNames[from - 1];
        QCOMPARE(log.entries,
                 shown.isEmpty() ? QStringList() : QStringList({"hide " + left, "show " + shown}));
        QCOMPARE(visibleSheets(), QStringList{shown.isEmpty() ? left : shown});
        QCOMPARE(at<QComboBox>(from, "ComboBox24")->currentText(), goTo);
        QVERIFY(boxes().shown.isEmpty());
    }

    void goToOwnSheetCentresItAgain() {
        Form6->show();
        const QPoint centred = Form6->pos();
        Form6->move(centred + QPoint(40, 30));
        Form6->ui->ComboBox24->setCurrentText("*May");
        ShowLog log;
        click(Form6->ui->Button48);
        QCOMPARE(log.entries, QStringList({"hide May", "show May"}));
        QVERIFY(Form6->isVisible());
        QCOMPARE(Form6->Position, TForm::poDesigned);
        QCOMPARE(Form6->pos(), centred);
    }

    // A typed box text stays exactly as typed: no completion, no match that ignores letter
    // case when the box is left or Enter is pressed, no new item; so "Ok" moves only on a
    // text that equals a sheet's name exactly.
    void typedBoxTextStaysAsTyped_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("row"); // box, typed text, key pressed before "Ok"
        for (int index : {1, 13})
            for (QString row :
                 {"ComboBox24 *march -", "ComboBox24 *march Tab", "ComboBox24 *year Return",
                  "ComboBox24 * Enter", "ComboBox22 enough Tab", "ComboBox22 e Tab",
                  "ComboBox23 not_to_much Return", "ComboBox23 Plenty Enter"})
                QTest::addRow("%s: %s", qPrintable(sheetNames[index - 1]), qPrintable(row))
                    << index << row.replace('_', ' ').split(' ');
    }
    void typedBoxTextStaysAsTyped() {
        QFETCH(int, index);
        QFETCH(QStringList, row);
        const QString typed = row.mid(1, row.size() - 2).join(' ');
        showActive(sheet(index));
        auto* box = at<QComboBox>(index, row[0]);
        const int items = box->count();
        box->setFocus(Qt::TabFocusReason);
        box->lineEdit()->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), typed);
        const QMap<QString, Qt::Key> keys = {
            {"Tab", Qt::Key_Tab}, {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}};
        if (keys.contains(row.last()))
            QTest::keyClick(QApplication::focusWidget(), keys[row.last()]);
        ShowLog log;
        click(at(index, "Button48"));
        QCOMPARE(box->currentText(), typed);
        QCOMPARE(box->count(), items);
        QVERIFY(log.entries.isEmpty());
        QCOMPARE(visibleSheets(), QStringList{sheetNames[index - 1]});
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
        QTest::newRow("~Other from December") << 3 << 12 << true << " 42.5 ";
        QTest::newRow("placeholder spend") << 8 << 5 << false << "spend";
        QTest::newRow("placeholder earned") << 0 << 1 << false << "earned";
        QTest::newRow("emptied by a click") << 3 << 7 << true << "";
    }
    void copyToAllMonths() {
        QFETCH(int, item);
        QFETCH(int, month);
        QFETCH(bool, typed);
        QFETCH(QString, text);
        const QString name = itemFields[item];
        const QString neighbour = itemFields[(item + 1) % 20];
        for (int other = 1; other <= 12; ++other)
            if (other != month)
                at<TEdit>(other, name)->setText("7");
        sheet(month)->show();
        if (typed)
            typeInto(at<TEdit>(month, name), text);
        const QString yearText = at<TEdit>(13, name)->text();
        const QString neighbourText = at<TEdit>(1, neighbour)->text();
        const QStringList captions = captionsOfAllSheets();

        click(at(month, QString("Button%1").arg(25 + item)));
        for (int other = 1; other <= 12; ++other) {
            QCOMPARE(at<TEdit>(other, name)->text(), text);
            QCOMPARE(at<TEdit>(other, neighbour)->text(), neighbourText);
        }
        QCOMPARE(at<TEdit>(13, name)->text(), yearText);
        QCOMPARE(captionsOfAllSheets(), captions);
        QCOMPARE(visibleSheets(), QStringList{sheetNames[month - 1]});
        QVERIFY(boxes().shown.isEmpty());
    }

    void enterYear_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("written"); // empty: the placeholder
        struct Row {
            const char* name;
            int from;
            const char* caption;
            const char* answer;
            const char* written;
        };
        const Row rows[] = {{"2024 on January", 1, "Label1", "2024", "2024"},
                            {"2024 on the year sheet", 13, "Label1", "2024", "2024"},
                            {"2024 by March's title", 3, "Label2", "2024", "2024"},
                            {"leading blank kept", 5, "Label1", " 2024", " 2024"},
                            {"negative", 7, "Label1", "-3", "-3"},
                            {"exponent", 10, "Label1", "1E3", "1E3"},
                            {"fraction", 11, "Label1", "2024.5", "2024.5"},
                            {"zero with decimals", 12, "Label1", "0.0", ""},
                            {"no number", 13, "Label1", "abc", ""},
                            {"cancel", 2, "Label1", "", ""}};
        for (const Row& row : rows)
            QTest::newRow(row.name) << row.from << row.caption << row.answer << row.written;
    }
    void enterYear() {
        QFETCH(int, from);
        QFETCH(QString, caption);
        QFETCH(QString, answer);
        QFETCH(QString, written);
        for (int index = 1; index <= 13; ++index) // a year shown before is not kept
            at<TLabel>(index, "Label1")->setText("1999");
        sheet(from)->show();
        boxes().inputAnswers = {answer};
        doubleClick(at<TLabel>(from, caption));
        QCOMPARE(boxes().shown, QStringList{"input: Penvoro|Enter year"});
        for (int index = 1; index <= 13; ++index)
            QCOMPARE(at<TLabel>(index, "Label1")->text(), written.isEmpty() ? noYear : written);
        QCOMPARE(visibleSheets(), QStringList{sheetNames[from - 1]});
    }

    void titleEntersNoYearOutsideMarch() {
        for (int index = 1; index <= 13; ++index) {
            sheet(index)->show();
            if (index != 3)
                doubleClick(at<TLabel>(index, "Label2"));
            sheet(index)->hide();
        }
        QVERIFY(boxes().shown.isEmpty());
        QCOMPARE(Form2->ui->Label1->text(), noYear);
    }

    void printMonthPrintsItsOwnSheet() {
        QTemporaryDir folder;
        boxes().printFolder = folder.path();
        boxes().printAnswers = {true};
        Form2->resize(700, 400); // a January page would show in the image size
        Form4->show();
        click(Form4->ui->Button54);
        QCOMPARE(boxes().shown, QStringList({notice, "print"}));
        QCOMPARE(boxes().pages.size(), 1);
        const auto& page = boxes().pages.front();
        QCOMPARE(page.imageSize, QSize(1105, 631));
        const QSize printable = januaryPrinter().pageRect(QPrinter::DevicePixel).toRect().size();
        QCOMPARE(page.target, QRect(QPoint(0, 0), fitToPage(page.imageSize, printable)));
        QCOMPARE(page.target.width(), printable.width());
        QVERIFY(QFile::exists(page.outputFile));
        QCOMPARE(visibleSheets(), QStringList{"March"});
    }

    void everyPrintIsOneJobAndKeepsThePrinterCopyCount() {
        QTemporaryDir folder;
        boxes().printFolder = folder.path();
        boxes().printAnswers = {true, true, false, true};
        Form5->show();
        click(Form5->ui->Button54);
        januaryPrinter().setCopyCount(3);
        click(Form5->ui->Button54);
        click(Form5->ui->Button54); // cancelled: nothing printed
        Form5->hide();
        Form14->show();
        click(Form14->ui->Button26);
        const auto& pages = boxes().pages;
        QCOMPARE(pages.size(), 3);
        QCOMPARE(pages[1].copies, 3);
        QCOMPARE(pages[2].copies, 3);
        QVERIFY(pages[0].outputFile != pages[1].outputFile);
        QCOMPARE(boxes().shown.count("print"), 4);
        QCOMPARE(boxes().shown.count(notice), 4);
    }

    void printingWithoutPrinterReportsIt() {
        boxes().hasPrinter = false;
        Form13->show();
        click(Form13->ui->Button54);
        QCOMPARE(boxes().shown,
                 QStringList({notice, "error: There is no default printer currently selected."}));
        QVERIFY(boxes().pages.isEmpty());
        QCOMPARE(visibleSheets(), QStringList{"December"});
    }
};

QTEST_MAIN(Moving)
#include "tst_moving.moc"
