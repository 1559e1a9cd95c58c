#include "app/MainMenu.h"
#include "month/MonthSheet.h"
#include "support/ProgramUnderTest.h"
#include "ui_PrintChoice.h"
#include "ui_YearSheet.h"
#include "year/Overview.h"
#include "year/PrintChoice.h"
#include "year/YearSheet.h"

#include <QCheckBox>
#include <QtTest>

namespace {

const QString Notice = QStringLiteral("notice: Set orientation of printer on Landscape!");
const QStringList Captions = {"January",  "February", "March",  "April",          "May",
                              "June",     "July",     "August", "September",      "October",
                              "November", "December", "Year",   "Chart: overview"};

// The window each box prints: the twelve month sheets, the year sheet, the overview.
QWidget* printedBy(int box) {
    const QList<QWidget*> windows = {Form2, Form3,  Form4,  Form5,  Form6,  Form7,  Form8,
                                     Form9, Form10, Form11, Form12, Form13, Form14, Form15};
    return windows.at(box - 1);
}
QSize imageOf(int box) {
    return box == 14 ? QSize(1105, 626) : QSize(1105, 631);
}

// Notes which printable window is shown and how many pages were printed by then.
class ShowLog : public QObject {
public:
    explicit ShowLog(const ScriptedDialogs& dialogs)
        : dialogs_(dialogs) {
        for (int box = 1; box <= 14; ++box)
            printedBy(box)->installEventFilter(this);
    }
    QList<QPair<QObject*, int>> shows;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            shows.append({watched, int(dialogs_.pages.size())});
        return false;
    }

private:
    const ScriptedDialogs& dialogs_;
};

// The year sheet's "Print months", which opens the choice with every box cleared.
void openChoice() {
    Form14->show();
    click(Form14->ui->Button27);
}

void check(const QList<int>& boxes) {
    for (int box : boxes)
        Form16->choices().at(box - 1)->click();
}

QList<int> checkedBoxes() {
    QList<int> boxes;
    for (int box = 1; box <= 14; ++box)
        if (Form16->choices().at(box - 1)->isChecked())
            boxes << box;
    return boxes;
}

bool noneOfTheFourteenShown() {
    for (int box = 1; box <= 14; ++box)
        if (printedBy(box)->isVisible())
            return false;
    return true;
}

} // namespace

class PrintChoice : public QObject {
    Q_OBJECT

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }

    void windowHoldsFourteenBoxesAndTwoButtons() {
        ProgramUnderTest program;
        QCOMPARE(Form16->windowTitle(), QStringLiteral("Form16"));
        const QList<QCheckBox*> boxes = Form16->choices();
        QCOMPARE(boxes.size(), 14);
        QCOMPARE(Form16->findChildren<QCheckBox*>().size(), 14);
        for (int box = 1; box <= 14; ++box) {
            QCOMPARE(boxes[box - 1]->objectName(), QStringLiteral("CheckBox%1").arg(box));
            QCOMPARE(boxes[box - 1]->text(), Captions[box - 1]);
            QVERIFY(!boxes[box - 1]->isChecked());
        }
        QCOMPARE(Form16->ui->Button1->text(), QStringLiteral("Print"));
        QCOMPARE(Form16->ui->Button2->text(), QStringLiteral("Back"));
    }

    void printMonthsOpensTheChoiceCleared() {
        ProgramUnderTest program;
        for (QCheckBox* box : Form16->choices().mid(3, 8))
            box->setChecked(true);
        openChoice();
        QVERIFY(!Form14->isVisible());
        QVERIFY(Form16->isVisible());
        QCOMPARE(checkedBoxes(), QList<int>());
    }

    void printShowsAndPrintsEachChosenWindow_data() {
        QTest::addColumn<QList<int>>("boxes");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QList<int>>("printed");
        QTest::newRow("March, Year, Chart")
            << QList<int>{14, 3, 13} << true << QList<int>{3, 13, 14};
        const QList<int> all = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
        QTest::newRow("all fourteen") << all << true << all;
        QTest::newRow("none") << QList<int>{} << true << QList<int>{};
        QTest::newRow("cancelled") << QList<int>{3, 13} << false << QList<int>{};
    }
    void printShowsAndPrintsEachChosenWindow() {
        QFETCH(QList<int>, boxes);
        QFETCH(bool, answer);
        QFETCH(QList<int>, printed);
        ProgramUnderTest program;
        program.dialogs.printAnswers = {answer};
        openChoice();
        check(boxes);
        Form5->show(); // hidden afterwards all the same, chosen or not
        ShowLog log(program.dialogs);
        click(Form16->ui->Button1);

        QCOMPARE(program.dialogs.shown, (QStringList{Notice, "print"}));
        // Each window is shown before its page and after the previous window's page.
        QList<QPair<QObject*, int>> expectedShows;
        for (int page = 0; page < printed.size(); ++page)
            if (printed[page] != 4) // April's sheet was shown already
                expectedShows.append({printedBy(printed[page]), page});
        QCOMPARE(log.shows, expectedShows);
        QCOMPARE(program.dialogs.pages.size(), printed.size());
        for (int page = 0; page < printed.size(); ++page)
            QCOMPARE(program.dialogs.pages[page].imageSize, imageOf(printed[page]));
        QVERIFY(noneOfTheFourteenShown());
        QVERIFY(Form16->isVisible());
        std::sort(boxes.begin(), boxes.end());
        QCOMPARE(checkedBoxes(), boxes); // printing keeps the boxes
    }

    void noPrinterShowsTheErrorAndHidesNothing() {
        ProgramUnderTest program;
        program.dialogs.hasPrinter = false;
        openChoice();
        check({1, 13});
        Form3->show();
        click(Form16->ui->Button1);
        QCOMPARE(program.dialogs.shown,
                 (QStringList{Notice, "error: There is no default printer currently selected."}));
        QVERIFY(program.dialogs.pages.isEmpty());
        QVERIFY(Form3->isVisible());
        QVERIFY(!Form2->isVisible());
        QVERIFY(Form16->isVisible());
    }

    void printTwicePrintsTwice() {
        ProgramUnderTest program;
        program.dialogs.printAnswers = {true, true};
        openChoice();
        check({2, 14});
        click(Form16->ui->Button1);
        click(Form16->ui->Button1);
        QCOMPARE(program.dialogs.shown, (QStringList{Notice, "print", Notice, "print"}));
        QCOMPARE(program.dialogs.pages.size(), 4);
        QCOMPARE(program.dialogs.pages[2].imageSize, QSize(1105, 631));
        QCOMPARE(program.dialogs.pages[3].imageSize, QSize(1105, 626));
    }

    void leavingShowsTheYearSheetAndKeepsTheBoxes_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Back") << false;
        QTest::newRow("close box") << true;
    }
    void leavingShowsTheYearSheetAndKeepsTheBoxes() {
        QFETCH(bool, closeBox);
        ProgramUnderTest program;
        openChoice();
        check({1, 7, 14});
        if (closeBox)
            QVERIFY(Form16->close());
        else
            click(Form16->ui->Button2);
        QVERIFY(!Form16->isVisible());
        QVERIFY(Form14->isVisible());
        QCOMPARE(checkedBoxes(), (QList<int>{1, 7, 14}));
        click(Form14->ui->Button27);
        QCOMPARE(checkedBoxes(), QList<int>());
    }
};

QTEST_MAIN(PrintChoice)
#include "tst_printchoice.moc"
