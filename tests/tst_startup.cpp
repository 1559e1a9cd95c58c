#include "app/MainMenu.h"
#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "platform/ScreenCentring.h"
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

const QString closeQuestion = "confirm: Are you sure you want to close?";
const QString saveQuestion = "confirm: Save before closing?";

QList<TForm*> allWindows() {
    return {Form1, Form2,  Form3,  Form4,  Form5,  Form6,  Form7,  Form8,
            Form9, Form10, Form11, Form12, Form13, Form14, Form15, Form16};
}

QStringList windowCaptions() {
    return QString("Main menu,January,February,March,April,May,June,July,August,September,"
                   "October,November,December,Year,Year overview,Form16")
        .split(',');
}

bool isCentred(const QWidget* window) {
    return window->pos() == ScreenCentring::centredPosition(window->frameGeometry().size());
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramUnderTest> program;
    QTemporaryDir folder;

private slots:
    void initTestCase() { QTest::failOnWarning(QRegularExpression("QObject::connect")); }
    void init() { program = std::make_unique<ProgramUnderTest>(); }
    void cleanup() {
        QVERIFY2(program->dialogs.allAnswersUsed(), "scripted answers left over");
        program.reset();
    }

    void everyWindowExistsOnceAndOnlyTheMenuIsShownCentred() {
        const QStringList captions = windowCaptions();
        const QList<TForm*> windows = allWindows();
        for (int i = 0; i < windows.size(); ++i) {
            QVERIFY2(windows[i], qPrintable(captions[i]));
            QCOMPARE(windows[i]->windowTitle(), captions[i]);
            QCOMPARE(windows.count(windows[i]), 1);
            QCOMPARE(windows[i]->isVisible(), i == 0);
            if (i > 0 && i <= 13)
                QCOMPARE(calendar::sheetAt(i), windows[i]);
        }
        QCOMPARE(TForm::mainForm(), Form1);
        QCOMPARE(Form1->size(), QSize(1105, 626));
        QVERIFY(isCentred(Form1));
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QVERIFY(Form1->pos() != QPoint(0, 0) || screen.width() < Form1->frameGeometry().width());
        QCOMPARE(Form1->Position, TForm::poDesigned);
    }

    // Each window keeps the size its form gives it and tells the window manager so: it
    // has one size and no maximise button, and a request for another size changes nothing.
    void everyWindowKeepsItsDesignedSize_data() {
        QTest::addColumn<int>("window");
        QTest::addColumn<QSize>("designed");
        const QStringList captions = windowCaptions();
        for (int i = 0; i < captions.size(); ++i) {
            const QSize designed = i == 15             ? QSize(273, 241)
                                   : i == 0 || i == 14 ? QSize(1105, 626)
                                                       : QSize(1105, 631);
            QTest::newRow(qPrintable(captions[i])) << i << designed;
        }
    }
    void everyWindowKeepsItsDesignedSize() {
        QFETCH(int, window);
        QFETCH(QSize, designed);
        TForm* form = allWindows()[window];
        for (int showing = 0; showing < 2; ++showing) {
            form->show();
            QCOMPARE(form->minimumSize(), designed);
            QCOMPARE(form->maximumSize(), designed);
            QVERIFY(!form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
            form->resize(designed + QSize(120, 80));
            QCOMPARE(form->size(), designed);
            form->showMaximized();
            QCOMPARE(form->size(), designed);
            form->hide();
        }
    }

    void mainMenuWidgets_data() {
        QTest::addColumn<QStringList>("row"); // name, left, top, width, height, text
        for (const char* row : {"Label1,1,1,1103,41,Penvoro", "Label2,512,248,50,21,~~~~~",
                                "Label3,504,344,50,21,~~~~~", "Label4,432,248,50,21,~~~~~",
                                "Label5,424,344,50,21,~~~~~", "Button52,552,244,94,25,Open file",
                                "Button53,544,342,86,25,Continue", "Button1,434,342,83,25,Save All",
                                "Button2,448,245,75,25,New", "Image2,144,56,617,569,"})
            QTest::newRow(row) << QString(row).split(',');
    }
    void mainMenuWidgets() {
        QFETCH(QStringList, row);
        QWidget* widget = Form1->findChild<QWidget*>(row[0]);
        QCOMPARE(widget->parentWidget(), Form1->ui->Panel2);
        QCOMPARE(widget->geometry(),
                 QRect(row[1].toInt(), row[2].toInt(), row[3].toInt(), row[4].toInt()));
        QVERIFY(widget->isVisible());
        if (row[5] == "~~~~~") // each ornament paints its yellow ground over the picture
            QCOMPARE(widget->palette().color(widget->backgroundRole()), QColor(Qt::yellow));
        if (!row[5].isEmpty()) {
            QCOMPARE(widget->property("text").toString(), row[5]);
            QCOMPARE(widget->font().family(), "Lucida Calligraphy");
            const int pixels = row[0] == "Label1" ? 32 : 16;
            QVERIFY(widget->font().pixelSize() == pixels ||
                    widget->font().pointSize() == pixels * 3 / 4);
        }
    }

    void buttonsFollowTheirTabOrder() {
        const auto& ui = *Form1->ui;
        const QWidgetList order = {ui.Button52, ui.Button53, ui.Button1, ui.Button2, ui.Button52};
        for (int i = 0; i + 1 < order.size(); ++i) {
            QWidget* next = order[i]->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus))
                next = next->nextInFocusChain();
            QCOMPARE(next, order[i + 1]);
        }
    }

    void continueHidesTheMenuAndShowsJanuary() {
        for (int round = 0; round < 2; ++round) {
            click(Form1->ui->Button53);
            for (TForm* window : allWindows())
                QCOMPARE(window->isVisible(), window == Form2);
            QVERIFY(isCentred(Form2));
            click(Form2->ui->Button45); // "Main menu"
            QVERIFY(Form1->isVisible() && !Form2->isVisible());
        }
        QVERIFY(program->dialogs.shown.isEmpty());
    }

    void closeSequence_data() {
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("saveAs"); // "-": cancelled; empty: no save dialog
        QTest::addColumn<bool>("menuStays");
        QTest::addColumn<QString>("error");
        const Answer yes = Answer::Yes, no = Answer::No, closed = Answer::Closed;
        QTest::newRow("No keeps the menu") << QList{no} << "" << true << "";
        QTest::newRow("Yes, no save") << QList{yes, no} << "" << false << "";
        QTest::newRow("closed, closed") << QList{closed, closed} << "" << false << "";
        QTest::newRow("save dialog cancelled") << QList{yes, yes} << "-" << false << "";
        QTest::newRow("saved") << QList{closed, yes} << "year.txt" << false << "";
        QTest::newRow("save fails")
            << QList{yes, yes} << "nowhere/year.txt" << true << "error: Invalid filename.";
    }
    void closeSequence() {
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, saveAs);
        QFETCH(bool, menuStays);
        QFETCH(QString, error);
        ScriptedDialogs& dialogs = program->dialogs;
        dialogs.confirmAnswers.assign(answers.begin(), answers.end());
        const QString file = folder.filePath(saveAs);
        if (!saveAs.isEmpty())
            dialogs.saveAnswers.push_back(saveAs == "-" ? std::nullopt : std::optional(file));

        QCOMPARE(Form1->close(), !menuStays);
        QStringList expected = {closeQuestion, saveQuestion, "save: ", error};
        QCOMPARE(dialogs.shown,
                 expected.mid(0, answers.size() + !saveAs.isEmpty() + !error.isEmpty()));
        QCOMPARE(Form1->isVisible(), menuStays);
        for (TForm* window : allWindows().mid(1))
            QVERIFY2(!window->isVisible(), qPrintable(window->windowTitle()));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files),
                 saveAs == "year.txt" ? QStringList{saveAs} : QStringList{});
        QFile::remove(file);
    }

    // Closing the main window stops the event loop; no other window comes up, also when
    // a month sheet was shown.
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
        click(Form1->ui->Button53);
        QCOMPARE(Form1->Position, TForm::poScreenCenter);
        Form2->move(5, 7);
        click(Form2->ui->Button45);
        QVERIFY(isCentred(Form1));
        QCOMPARE(Form2->Position, TForm::poScreenCenter);
        click(Form1->ui->Button53);
        QVERIFY(isCentred(Form2));
        // While shown, a moved window stays where it was put, also when shown again.
        Form2->move(11, 13);
        Form2->show();
        QCOMPARE(Form2->pos(), QPoint(11, 13));
        QVERIFY(Form2->close());
        QVERIFY(isCentred(Form1));
        Form2->show();
        QVERIFY(isCentred(Form2));
    }

    // Once a window or box stands centred on the screen, it is the user's: moved or
    // resized, it stays where it is put until it is shown again.
    void aShownWindowIsLeftToTheUser() {
        QWidget box;
        ScreenCentring centring(box);
        box.resize(200, 100);
        box.show();
        centring.centre();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(isCentred(&box));
        box.move(9, 8);
        box.resize(320, 180);
        QCoreApplication::processEvents();
        QCOMPARE(box.pos(), QPoint(9, 8));
        box.hide();
        box.show();
        centring.centre();
        QVERIFY(isCentred(&box));
    }
};

// The default offscreen screen (800 x 600) is smaller than every window, which would put
// every centred window at the corner; a larger screen makes centring visible.
int main(int argc, char* argv[]) {
    QTemporaryDir configFolder;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && configFolder.isValid()) {
        QFile config(configFolder.filePath("screen.json"));
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
