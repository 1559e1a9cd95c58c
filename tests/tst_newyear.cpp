#include "app/MainMenu.h"
#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "support/ProgramUnderTest.h"
#include "support/SheetWidgets.h"
#include "ui_MainMenu.h"
#include "ui_MonthSheet.h"
#include "ui_YearSheet.h"
#include "year/YearSheet.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using namespace sheetWidgets;
const QString yearPlaceholder = QStringLiteral("Double click here for entering year");

TLabel* balanceOf(int sheet) {
    return sheet == YearSheet ? Form14->ui->Label29 : monthSheet(sheet)->ui->Label29;
}

// What a month sheet shows in slots 1..27 when nothing is entered.
QString placeholderOf(int slot) {
    static const QStringList texts = [] {
        QStringList texts(6, QStringLiteral("earned"));
        texts << "Earned"
              << "Earned Particular"
              << "Enough?" << QStringList(14, "spend");
        return texts << "Spend"
                     << "Spend Particular"
                     << "To much?"
                     << "Currency";
    }();
    return texts[slot - 1];
}

// Fills every sheet with texts of its own, the go-to boxes with "*March" and the notes,
// and gives January a red balance and February a green one.
void fillEverySheet() {
    for (int sheet = 1; sheet <= 13; ++sheet) {
        for (int slot = 1; slot <= 30; ++slot)
            if (QWidget* widget = slotWidgets(sheet)[slot - 1])
                setTextOf(widget, QStringLiteral("t %1.%2").arg(sheet).arg(slot));
        setTextOf(slotWidgets(sheet)[28], QStringLiteral("*March"));
        notesOf(sheet)->setPlainText(QStringLiteral("notes\nof the year"));
    }
    Form2->show();
    typeInto(Form2->ui->Edit6, QStringLiteral("5"));
    click(Form2->ui->Button2);
    click(Form2->ui->Button24);
    Form2->hide();
    Form3->show();
    typeInto(Form3->ui->Edit1, QStringLiteral("3"));
    click(Form3->ui->Button1);
    click(Form3->ui->Button24);
    Form3->hide();
    QCOMPARE(balanceOf(1)->fontColor(), QColor(255, 0, 0));
    QCOMPARE(balanceOf(2)->fontColor(), QColor(0, 128, 0));
}

const QString newYearQuestion =
    QStringLiteral("confirm: Are you sure you want to start a new year?");
const QString yearPrompt = QStringLiteral("input: Penvoro|Enter year");
const QString goToPrompt = QStringLiteral("input: Penvoro|Go to month:");

} // namespace

class NewYear : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramUnderTest> program;

    // "New" on the main menu with the answers to its boxes.
    void startNew(Dialogs::Answer answer, const QStringList& inputs = {}) {
        program->dialogs.confirmAnswers.push_back(answer);
        for (const QString& input : inputs)
            program->dialogs.inputAnswers.push_back(input);
        click(Form1->ui->Button2);
    }

private slots:
    void initTestCase() { QTest::failOnWarning(QRegularExpression("QObject::connect")); }
    void init() { program = std::make_unique<ProgramUnderTest>(); }
    void cleanup() {
        if (!QTest::currentTestFailed())
            QVERIFY2(program->dialogs.allAnswersUsed(),
                     qPrintable(program->dialogs.shown.join(" / ")));
        program.reset();
    }

    void declinedChangesNothing_data() {
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("No") << Dialogs::Answer::No << QStringList{} << QStringList{newYearQuestion};
        QTest::newRow("box closed")
            << Dialogs::Answer::Closed << QStringList{} << QStringList{newYearQuestion};
        QTest::newRow("no year (Cancel or empty)")
            << Dialogs::Answer::Yes << QStringList{""} << QStringList{newYearQuestion, yearPrompt};
    }
    void declinedChangesNothing() {
        QFETCH(Dialogs::Answer, answer);
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, shown);
        fillEverySheet();
        const Sheets before = Sheets::now();
        startNew(answer, inputs);
        QCOMPARE(program->dialogs.shown, shown);
        const Sheets after = Sheets::now();
        QCOMPARE(after.texts, before.texts);
        QCOMPARE(after.numbers, before.numbers);
        QVERIFY(Form1->isVisible());
    }

    void yearCaption_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("caption");
        QTest::newRow("2007") << "2007"
                              << "2007";
        QTest::newRow("leading blank kept") << " 2007"
                                            << " 2007";
        QTest::newRow("negative") << "-3"
                                  << "-3";
        QTest::newRow("zero") << "0" << yearPlaceholder;
        QTest::newRow("zero with decimals") << "0.00" << yearPlaceholder;
        QTest::newRow("no number") << "abc" << yearPlaceholder;
        QTest::newRow("number and word") << "2007 AD" << yearPlaceholder;
    }
    void yearCaption() {
        QFETCH(QString, answer);
        QFETCH(QString, caption);
        startNew(Dialogs::Answer::Yes, {answer, ""});
        QCOMPARE(program->dialogs.shown, QStringList({newYearQuestion, yearPrompt, goToPrompt}));
        for (int sheet = 1; sheet <= 13; ++sheet)
            QCOMPARE(textOf(slotWidgets(sheet)[29]), caption);
    }

    void everySheetIsReset() {
        const QColor windowText = QGuiApplication::palette().color(QPalette::WindowText);
        fillEverySheet();
        Form1->record.text(1, 1) = Form2->record.text(1, 1) = Form14->record.note(13, 1) = "kept";
        const std::array records = {Form1->record, Form2->record, Form14->record};
        startNew(Dialogs::Answer::Yes, {"2007", "5"});
        for (int sheet = 1; sheet <= 13; ++sheet) {
            const auto widgets = slotWidgets(sheet);
            for (int slot = 1; slot <= 27; ++slot)
                if (widgets[slot - 1])
                    QCOMPARE(textOf(widgets[slot - 1]), placeholderOf(slot));
            QCOMPARE(textOf(widgets[27]), QStringLiteral("Total this month"));
            QCOMPARE(balanceOf(sheet)->fontColor(), windowText);
            QCOMPARE(textOf(widgets[28]), QStringLiteral("*March"));
            QCOMPARE(textOf(widgets[29]), QStringLiteral("2007"));
            QCOMPARE(notesOf(sheet)->toPlainText(), QString());
        }
        QVERIFY(records == (std::array{Form1->record, Form2->record, Form14->record}));
    }

    void numbersCountAsEmptyAfterNew() {
        click(Form1->ui->Button53);
        typeInto(Form2->ui->Edit1, QStringLiteral("10"));
        click(Form2->ui->Button4); // Add
        click(Form2->ui->Button1); // Add up
        typeInto(Form2->ui->Edit6, QStringLiteral("4"));
        click(Form2->ui->Button5);
        click(Form2->ui->Button2);
        click(Form2->ui->Button24); // Total
        QCOMPARE(Form2->ui->Label29->text(), QStringLiteral("6"));
        click(Form2->ui->Button45); // back to the main menu
        startNew(Dialogs::Answer::Yes, {"2007", "1"});
        QVERIFY(Form2->isVisible());
        QCOMPARE(QList<double>({Form2->EarnedParticular, Form2->EarnedTotal, Form2->SpendParticular,
                                Form2->SpendTotal, Form2->Balance}),
                 QList<double>({10, 10, 4, 4, 6}));
        typeInto(Form2->ui->Edit1, QStringLiteral("3"));
        click(Form2->ui->Button4);
        QCOMPARE(Form2->ui->Label32->text(), QStringLiteral("3"));
        typeInto(Form2->ui->Edit6, QStringLiteral("2"));
        click(Form2->ui->Button5);
        QCOMPARE(Form2->ui->Label33->text(), QStringLiteral("2"));
        click(Form2->ui->Button24);
        QCOMPARE(Form2->ui->Label29->text(), QStringLiteral("0"));
        QCOMPARE(Form2->ui->Label10->text(), QStringLiteral("0"));
        QCOMPARE(Form2->ui->Label9->text(), QStringLiteral("0"));
    }

    void goToMonth_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("shown"); // the sheet shown, 0 when the main menu stays
        const std::pair<const char*, int> rows[] = {
            {"march", 3},     {"3", 3},   {"March", 3}, {"MARCH", 3},  {"January", 1}, {"1", 1},
            {"december", 12}, {"12", 12}, {"13", 13},   {"YEAR", 13},  {"Year", 13},   {"year", 13},
            {"", 1},          {"Jan", 0}, {"03", 0},    {"March ", 0}, {" march", 0},  {"mARCH", 0},
            {"Yearly", 0},    {"14", 0},  {"0", 0},     {"+3", 0},     {"*March", 0}};
        for (const auto& [answer, sheet] : rows)
            QTest::addRow("'%s'", answer) << QString::fromLatin1(answer) << sheet;
    }
    void goToMonth() {
        QFETCH(QString, answer);
        QFETCH(int, shown);
        startNew(Dialogs::Answer::Yes, {"2007", answer});
        QCOMPARE(Form1->isVisible(), shown == 0);
        for (int sheet = 1; sheet <= 13; ++sheet)
            QCOMPARE(calendar::sheetAt(sheet)->isVisible(), sheet == shown);
        QCOMPARE(Form14->ui->Label1->text(), QStringLiteral("2007"));
        QCOMPARE(program->dialogs.shown.size(), 3); // no question is asked again
    }

    void saveAfterNewHoldsTheNewYear() {
        for (int sheet = 1; sheet <= 13; ++sheet)
            setTextOf(slotWidgets(sheet)[28], QStringLiteral("go %1").arg(sheet));
        startNew(Dialogs::Answer::Yes, {"2007", ""});
        QTemporaryDir dir;
        program->dialogs.saveAnswers.push_back(dir.filePath("new.txt"));
        click(Form2->ui->Button47);
        QFile file(dir.filePath("new.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 1691);
        for (int sheet = 1; sheet <= 13; ++sheet) {
            QCOMPARE(lines[30 * (sheet - 1) + 28], QStringLiteral("go %1\r").arg(sheet).toLatin1());
            QCOMPARE(lines[30 * (sheet - 1) + 29], QByteArray("2007\r"));
            QCOMPARE(lines[30 * (sheet - 1) + 27], QByteArray("Total this month\r"));
        }
    }
};

QTEST_MAIN(NewYear)
#include "tst_newyear.moc"
