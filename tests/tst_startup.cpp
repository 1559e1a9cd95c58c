#include "app/MainMenu.h"
#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "support/ProgramUnderTest.h"
#include "ui_MainMenu.h"
#include "ui_MonthSheet.h"
#include "year/Overview.h"
#include "year/PrintChoice.h"
#include "year/YearSheet.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using Answer = Dialogs::Answer;
Q_DECLARE_METATYPE(QList<Answer>)

namespace {

const QString closeQuestion = QStringLiteral("confirm: Are you sure you want to close?");
const QString saveQuestion = QStringLiteral("confirm: Save before closing?");

QList<TForm*> allWindows() {
    return {Form1, Form2,  Form3,  Form4,  Form5,  Form6,  Form7, Form8,
            Form9, Form10, Form11, Form12, Form13, Form14, Form15, Form16};
}

bool isCentred(const QWidget* window) {
    return window->pos() == TForm::centredPosition(window->frameGeometry().size());
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramUnderTest> program;
    QTemporaryDir folder;

private slots:
    void initTestCase() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("QObject::connect")));
        QVERIFY(folder.isValid());
        // The main menu is larger than the default offscreen screen; centring is only
        // visible on a screen that is larger still.
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QVERIFY2(screen.width() > 1200 && screen.height() > 700, "screen too small");
    }
    void init() { program = std::make_unique<ProgramUnderTest>(); }
    void cleanup() {
        if (program)
            QVERIFY2(program->dialogs.allAnswersUsed(), "scripted answers left over");
        program.reset();
    }

    void everyWindowExistsOnceWithItsCaption() {
        const QStringList captions = {
            "Main menu", "January", "February", "March",     "April",   "May",
            "June",      "July",    "August",   "September", "October", "November",
            "December",  "Year",    "Year overview", "Form16"};
        const QList<TForm*> windows = allWindows();
        for (int i = 0; i < windows.size(); ++i) {
            QVERIFY2(windows[i], qPrintable(captions[i]));
            QCOMPARE(windows[i]->windowTitle(), captions[i]);
            QCOMPARE(windows.count(windows[i]), 1);
        }
        QCOMPARE(TForm::mainForm(), Form1);
        for (int month = 1; month <= 12; ++month)
            QCOMPARE(calendar::sheetAt(month), windows[month]);
        QCOMPARE(calendar::sheetAt(13), Form14);
    }

    void onlyTheMainMenuIsShownAtStartAndCentred() {
        for (TForm* window : allWindows())
            QCOMPARE(window->isVisible(), window == Form1);
        QVERIFY(Form1->isWindow());
        QCOMPARE(Form1->size(), QSize(1105, 626));
        QVERIFY(Form1->pos() != QPoint(0, 0));
        QVERIFY(isCentred(Form1));
        QCOMPARE(Form1->Position, TForm::poDesigned);
    }

    void mainMenuWidgets_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("title") << "Label1" << "Penvoro" << QRect(1, 1, 1103, 41);
        QTest::newRow("ornament 1") << "Label2" << "~~~~~" << QRect(512, 248, 50, 21);
        QTest::newRow("ornament 2") << "Label3" << "~~~~~" << QRect(504, 344, 50, 21);
        QTest::newRow("ornament 3") << "Label4" << "~~~~~" << QRect(432, 248, 50, 21);
        QTest::newRow("ornament 4") << "Label5" << "~~~~~" << QRect(424, 344, 50, 21);
        QTest::newRow("open file") << "Button52" << "Open file" << QRect(552, 244, 94, 25);
        QTest::newRow("continue") << "Button53" << "Continue" << QRect(544, 342, 86, 25);
        QTest::newRow("save all") << "Button1" << "Save All" << QRect(434, 342, 83, 25);
        QTest::newRow("new") << "Button2" << "New" << QRect(448, 245, 75, 25);
        QTest::newRow("picture") << "Image2" << QString() << QRect(144, 56, 617, 569);
    }
    void mainMenuWidgets() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        QWidget* widget = Form1->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget(), Form1->ui->Panel2);
        QCOMPARE(widget->geometry(), geometry);
        QVERIFY(widget->isVisible());
        if (!text.isEmpty()) {
            QCOMPARE(widget->property("text").toString(), text);
            QCOMPARE(widget->font().family(), QStringLiteral("Lucida Calligraphy"));
            const QFont font = widget->font();
            const int size = name == "Label1" ? 32 : 16;
            QVERIFY2(font.pixelSize() == size || font.pointSize() == size * 3 / 4,
                     qPrintable(QString::number(font.pointSizeF())));
        }
    }

    void ornamentsLieUnderTheButtonsOnAYellowGround() {
        const auto& ui = *Form1->ui;
        const QList<QWidget*> children = ui.Panel2->findChildren<QWidget*>(
            QString(), Qt::FindDirectChildrenOnly);
        for (QWidget* label : {ui.Label2, ui.Label3, ui.Label4, ui.Label5}) {
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->palette().color(label->backgroundRole()), QColor(255, 255, 0));
            QVERIFY(children.indexOf(label) > children.indexOf(ui.Image2));
            for (QWidget* button : {ui.Button52, ui.Button53, ui.Button1, ui.Button2})
                QVERIFY(children.indexOf(label) < children.indexOf(button));
        }
        // Each row: one ornament left of its left button, one in the gap between the two.
        QVERIFY(ui.Label4->geometry().intersects(ui.Button2->geometry()));
        QVERIFY(ui.Label2->geometry().intersects(ui.Button52->geometry()));
        QVERIFY(ui.Label5->geometry().intersects(ui.Button1->geometry()));
        QVERIFY(ui.Label3->geometry().intersects(ui.Button53->geometry()));
    }

    void buttonsFollowTheirTabOrder() {
        const auto& ui = *Form1->ui;
        const QList<QWidget*> order = {ui.Button52, ui.Button53, ui.Button1, ui.Button2,
                                       ui.Button52};
        for (int i = 0; i + 1 < order.size(); ++i) {
            QWidget* next = order[i]->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus))
                next = next->nextInFocusChain();
            QCOMPARE(next, order[i + 1]);
        }
    }

    void continueHidesTheMenuAndShowsJanuary() {
        click(Form1->ui->Button53);
        for (TForm* window : allWindows())
            QCOMPARE(window->isVisible(), window == Form2);
        QVERIFY(isCentred(Form2));
        QVERIFY(program->dialogs.shown.isEmpty());
        // Back through the sheet's "Main menu", then "Continue" again.
        click(Form2->ui->Button45);
        QVERIFY(Form1->isVisible() && !Form2->isVisible());
        click(Form1->ui->Button53);
        QVERIFY(Form2->isVisible() && !Form1->isVisible());
    }

    void closeSequence_data() {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("saveAs"); // "-" cancels, empty: no dialog scripted
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("menuStays");
        QTest::addColumn<bool>("written");
        QTest::newRow("No keeps the program")
            << QList{Answer::No} << "" << QStringList{closeQuestion} << true << false;
        QTest::newRow("Yes, then No") << QList{Answer::Yes, Answer::No} << ""
                                      << QStringList{closeQuestion, saveQuestion} << false
                                      << false;
        QTest::newRow("closed counts as consent, closed saves nothing")
            << QList{Answer::Closed, Answer::Closed} << ""
            << QStringList{closeQuestion, saveQuestion} << false << false;
        QTest::newRow("save dialog cancelled")
            << QList{Answer::Yes, Answer::Yes} << "-"
            << QStringList{closeQuestion, saveQuestion, "save: "} << false << false;
        QTest::newRow("saved") << QList{Answer::Closed, Answer::Yes} << "year.txt"
                               << QStringList{closeQuestion, saveQuestion, "save: "} << false
                               << true;
        QTest::newRow("save fails: the menu stays")
            << QList{Answer::Yes, Answer::Yes} << "nowhere/year.txt"
            << QStringList{closeQuestion, saveQuestion, "save: ", "error: Invalid filename."}
            << true << false;
    }
    void closeSequence() {
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, saveAs);
        QFETCH(QStringList, expected);
        QFETCH(bool, menuStays);
        QFETCH(bool, written);
        ScriptedDialogs& dialogs = program->dialogs;
        dialogs.confirmAnswers.assign(answers.begin(), answers.end());
        const QString file = QDir(folder.path()).filePath(saveAs);
        if (saveAs == "-")
            dialogs.saveAnswers.push_back(std::nullopt);
        else if (!saveAs.isEmpty())
            dialogs.saveAnswers.push_back(file);
        const QStringList before = QDir(folder.path()).entryList(QDir::NoDotAndDotDot);

        QCOMPARE(Form1->close(), !menuStays);
        QCOMPARE(dialogs.shown, expected);
        QCOMPARE(Form1->isVisible(), menuStays);
        for (TForm* window : allWindows().mid(1))
            QVERIFY2(!window->isVisible(), qPrintable(window->windowTitle()));
        if (written) {
            QVERIFY(QFileInfo(file).size() > 0);
            QFile::remove(file);
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot), before);
    }

    void closingFromASheetAsksTheSameQuestions() {
        click(Form1->ui->Button53);
        program->dialogs.confirmAnswers = {Answer::Yes, Answer::No};
        QVERIFY(Form1->close());
        QCOMPARE(program->dialogs.shown, (QStringList{closeQuestion, saveQuestion}));
    }

    void closingTheMenuEndsTheEventLoop() {
        click(Form1->ui->Button53);
        program->dialogs.confirmAnswers = {Answer::Yes, Answer::No};
        QTimer::singleShot(0, Form1, [] { Form1->close(); });
        QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); }); // a safety net
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(program->dialogs.shown, (QStringList{closeQuestion, saveQuestion}));
        for (TForm* window : allWindows())
            QVERIFY2(!window->isVisible(), qPrintable(window->windowTitle()));
    }

    void movedWindowsAreCentredWhenShownAgain() {
        Form1->move(Form1->pos() + QPoint(37, -21));
        QVERIFY(!isCentred(Form1));
        QCOMPARE(Form1->Position, TForm::poDesigned);
        click(Form1->ui->Button53);
        QCOMPARE(Form1->Position, TForm::poScreenCenter);
        Form2->move(5, 7);
        QCOMPARE(Form2->pos(), QPoint(5, 7));
        click(Form2->ui->Button45);
        QVERIFY(isCentred(Form1));
        QCOMPARE(Form2->Position, TForm::poScreenCenter);
        click(Form1->ui->Button53);
        QVERIFY(isCentred(Form2));
        // A window shown and moved stays where it was put until it is hidden.
        Form2->move(11, 13);
        Form2->show();
        QCOMPARE(Form2->pos(), QPoint(11, 13));
        QVERIFY(Form2->close());
        QVERIFY(isCentred(Form1));
        Form2->show();
        QVERIFY(isCentred(Form2));
    }

    void centredPositionIsClampedAtTheScreenCorner_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("small") << QSize(201, 99);
        QTest::newRow("wider than the screen") << QSize(5000, 99);
        QTest::newRow("taller than the screen") << QSize(201, 5000);
    }
    void centredPositionIsClampedAtTheScreenCorner() {
        QFETCH(QSize, size);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QPoint expected(std::max(0, (screen.width() - size.width()) / 2),
                              std::max(0, (screen.height() - size.height()) / 2));
        QCOMPARE(TForm::centredPosition(size), screen.topLeft() + expected);
    }
};

// The default offscreen screen (800 x 600) is smaller than every window, which would
// put every centred window at the corner; a larger screen makes centring visible.
int main(int argc, char* argv[]) {
    QTemporaryDir configFolder;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && configFolder.isValid()) {
        QFile config(configFolder.filePath(QStringLiteral("screen.json")));
        if (config.open(QIODevice::WriteOnly)) {
            config.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1600,
                "height": 1000, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
            config.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toUtf8());
        }
    }
    QApplication application(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
