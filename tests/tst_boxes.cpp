#include "platform/AppTitle.h"
#include "platform/ErrorBox.h"
#include "platform/QtDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Acts on the modal box the code under test shows, from inside its modal loop. A box
// that stays open after the action, or any further box, is closed and reported so that
// a broken box fails the test instead of hanging it.
class WhenShown {
public:
    explicit WhenShown(std::function<void(QWidget*)> act)
        : act_(std::move(act)) {
        QObject::connect(&waiting_, &QTimer::timeout, [this] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box)
                return;
            waiting_.stop();
            box_ = box;
            watching_.start(0);
            act_(box);
            if (box->isVisible()) {
                stayedOpen = true;
                reject(box);
            }
        });
        QObject::connect(&watching_, &QTimer::timeout, [this] {
            QWidget* other = QApplication::activeModalWidget();
            if (other && other != box_) {
                unexpected << other->windowTitle();
                reject(other);
            }
        });
        waiting_.start(0);
    }

    bool shown() const { return box_ != nullptr; }
    bool stayedOpen = false;
    QStringList unexpected;

private:
    static void reject(QWidget* box) {
        if (auto* dialog = qobject_cast<QDialog*>(box))
            dialog->reject();
        else
            box->close();
    }

    std::function<void(QWidget*)> act_;
    QTimer waiting_;
    QTimer watching_;
    QWidget* box_ = nullptr;
};

// Keys go where the user's keys go: to the box's focused control.
void press(QWidget* box, Qt::Key key) {
    QWidget* target = box->focusWidget() ? box->focusWidget() : box;
    QTest::keyClick(target, key);
}

// Enter with the time it happened, to the box's focused control (or any widget).
quint64 keyTime = 1000;
void sendEnter(QWidget* box, QEvent::Type type, quint64 time, bool markedRepeat = false) {
    QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, QString(), markedRepeat);
    key.setTimestamp(time);
    QApplication::sendEvent(box->focusWidget() ? box->focusWidget() : box, &key);
}

// Enter held down: the box's focused control gets the key's repeats. X11 sends each as a
// release and a press with one timestamp, which the toolkit marks as a repeat only when
// it sees the press in time: on a busy machine the two come unmarked, straight after each
// other or with other events handled between them.
void repeatEnter(QWidget* box) {
    keyTime += 33;
    sendEnter(box, QEvent::KeyPress, keyTime, true);
    for (const bool eventsBetween : {false, true}) {
        keyTime += 33;
        sendEnter(box, QEvent::KeyRelease, keyTime);
        if (eventsBetween)
            QCoreApplication::processEvents();
        sendEnter(box, QEvent::KeyPress, keyTime);
    }
    QCoreApplication::processEvents();
}

QStringList buttonTexts(const QMessageBox& box) {
    QStringList texts;
    for (const QAbstractButton* button : box.buttons())
        texts << button->text();
    return texts;
}

bool centredOnScreen(const QWidget& box) {
    const QPoint offset =
        box.frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center();
    return offset.manhattanLength() <= 2;
}

struct BoxLook {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    bool centred = false;
    // Room for the whole title in a frame: the title in the application's font, and beside
    // it the frame's icon and three buttons, 32 pixels each.
    bool wideEnoughForTitle = false;
};

BoxLook lookOf(QWidget* widget) {
    BoxLook look;
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (!box)
        return look;
    look.title = box->windowTitle();
    look.text = box->text();
    look.icon = box->icon();
    look.buttons = buttonTexts(*box);
    look.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
    look.centred = centredOnScreen(*box);
    look.wideEnoughForTitle =
        box->width() >= QFontMetrics(QApplication::font()).horizontalAdvance(look.title) + 4 * 32;
    return look;
}

QLineEdit* fileNameEdit(QWidget* box) {
    return box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

} // namespace

class TestBoxes : public QObject {
    Q_OBJECT

private slots:
    void init() { installDialogs(makeQtDialogs()); }

    // The confirmation box.
    void confirmationLooks() {
        BoxLook look;
        WhenShown driver([&](QWidget* box) {
            look = lookOf(box);
            press(box, Qt::Key_Escape);
        });
        dialogs().confirm(QStringLiteral("Are you sure you want to save?"));
        QVERIFY(driver.shown());
        QCOMPARE(look.title, QStringLiteral("Confirm"));
        QCOMPARE(look.text, QStringLiteral("Are you sure you want to save?"));
        QCOMPARE(look.icon, QMessageBox::Question);
        QCOMPARE(look.buttons, QStringList({"&Yes", "&No"}));
        QCOMPARE(look.defaultButton, QStringLiteral("&Yes"));
        QVERIFY(look.centred);
        QVERIFY(look.wideEnoughForTitle);
    }

    void confirmationAnswers_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::newRow("Enter") << "Enter" << Dialogs::Answer::Yes;
        QTest::newRow("held Enter") << "held Enter" << Dialogs::Answer::Yes;
        QTest::newRow("Escape") << "Escape" << Dialogs::Answer::No;
        QTest::newRow("close box") << "close" << Dialogs::Answer::Closed;
    }
    void confirmationAnswers() {
        QFETCH(QString, action);
        QFETCH(Dialogs::Answer, answer);
        // Held on a window's button, Enter may come up there and open the box before the
        // press of that repeat arrives, which then goes to the box.
        QWidget window;
        const quint64 releasedOnTheWindow = keyTime += 33;
        if (action == QLatin1String("held Enter")) {
            sendEnter(&window, QEvent::KeyRelease, releasedOnTheWindow);
            QCoreApplication::processEvents();
        }
        WhenShown driver([&](QWidget* box) {
            if (action == QLatin1String("held Enter")) {
                sendEnter(box, QEvent::KeyPress, releasedOnTheWindow);
                repeatEnter(box); // a repeat answers nothing; the key's own press does
                QVERIFY(box->isVisible());
            }
            if (action.endsWith(QLatin1String("Enter")))
                press(box, Qt::Key_Return);
            else if (action == QLatin1String("Escape"))
                press(box, Qt::Key_Escape);
            else
                box->close();
        });
        QCOMPARE(dialogs().confirm(QStringLiteral("Are you sure you want to close?")), answer);
        QVERIFY(!driver.stayedOpen);
    }

    // The notice and the error box.
    void noticeLooks() {
        BoxLook look;
        WhenShown driver([&](QWidget* box) {
            look = lookOf(box);
            press(box, Qt::Key_Escape);
        });
        dialogs().notice(QStringLiteral("Set orientation of printer on Landscape!"));
        QVERIFY(driver.shown());
        QVERIFY2(!driver.stayedOpen, "Escape did not close the notice");
        QCOMPARE(look.title, applicationTitle());
        QCOMPARE(look.text, QStringLiteral("Set orientation of printer on Landscape!"));
        QCOMPARE(look.icon, QMessageBox::NoIcon);
        QCOMPARE(look.buttons, QStringList({"OK"}));
        QCOMPARE(look.defaultButton, QStringLiteral("OK"));
        QVERIFY(look.centred);
        QVERIFY(look.wideEnoughForTitle);
    }

    void errorBoxLooks() {
        BoxLook look;
        WhenShown driver([&](QWidget* box) {
            look = lookOf(box);
            press(box, Qt::Key_Return);
        });
        showError(InOutError(2));
        QVERIFY(driver.shown());
        QVERIFY2(!driver.stayedOpen, "Enter did not close the error box");
        QCOMPARE(look.title, applicationTitle());
        QCOMPARE(look.text, QStringLiteral("File not found."));
        QCOMPARE(look.icon, QMessageBox::Critical);
        QCOMPARE(look.buttons, QStringList({"OK"}));
        QVERIFY(look.centred);
        QVERIFY(look.wideEnoughForTitle);
    }

    void messagePeriod_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "File not found"
                                << "File not found.";
        QTest::newRow("digit") << "I/O error 28"
                               << "I/O error 28.";
        QTest::newRow("period") << "x."
                                << "x.";
        QTest::newRow("exclamation mark") << "Hi!"
                                          << "Hi!";
        QTest::newRow("parenthesis") << "a)"
                                     << "a)";
        QTest::newRow("empty") << ""
                               << "";
    }
    void messagePeriod() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(withPeriod(message), shown);
    }

    void applicationTitleComesFromTheProgramName_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("title");
        QTest::newRow("Windows path") << "C:\\APPS\\BUDGET.EXE"
                                      << "Budget";
        QTest::newRow("several periods") << "/usr/bin/my.budget.exe"
                                         << "my";
        QTest::newRow("no extension") << "/opt/Penvoro"
                                      << "Penvoro";
    }
    void applicationTitleComesFromTheProgramName() {
        QFETCH(QString, program);
        QFETCH(QString, title);
        QCOMPARE(applicationTitleFrom(program), title);
    }

    // The input box.
    void inputBoxTakesAtMost255Characters() {
        QString title, prompt;
        WhenShown driver([&](QWidget* box) {
            title = box->windowTitle();
            if (auto* label = box->findChild<QLabel*>())
                prompt = label->text();
            QTest::keyClicks(box->focusWidget(), QString(300, QLatin1Char('x')));
            press(box, Qt::Key_Return);
        });
        const QString answer = dialogs().input(QStringLiteral("Penvoro"),
                                               QStringLiteral("Name of the item:"), QString());
        QVERIFY(!driver.stayedOpen);
        QCOMPARE(title, QStringLiteral("Penvoro"));
        QCOMPARE(prompt, QStringLiteral("Name of the item:"));
        QCOMPARE(answer, QString(255, QLatin1Char('x')));
    }

    void inputBoxGivesTheDefaultUnlessOk_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("close box") << "close";
    }
    void inputBoxGivesTheDefaultUnlessOk() {
        QFETCH(QString, action);
        QString preset;
        WhenShown driver([&](QWidget* box) {
            auto* edit = qobject_cast<QLineEdit*>(box->focusWidget());
            preset = edit ? edit->text() : QString();
            QTest::keyClicks(box->focusWidget(), QStringLiteral("Rent"));
            if (action == QLatin1String("Escape"))
                press(box, Qt::Key_Escape);
            else
                box->close();
        });
        QCOMPARE(dialogs().input(QStringLiteral("Penvoro"), QStringLiteral("Item:"),
                                 QStringLiteral("Books")),
                 QStringLiteral("Books"));
        QVERIFY(!driver.stayedOpen);
        QCOMPARE(preset, QStringLiteral("Books"));
    }

    // The save and open dialogs.
    void saveDialogStartsFromTheLastNameAndNeverAsksToOverwrite() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString existing = folder.filePath(QStringLiteral("budget.txt"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QWidget owner;
        owner.setGeometry(0, 0, 200, 100);
        owner.show();

        QString shownName;
        bool centred = false;
        WhenShown driver([&](QWidget* box) {
            auto* dialog = qobject_cast<QFileDialog*>(box);
            QVERIFY(dialog);
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QVERIFY(dialog->defaultSuffix().isEmpty());
            centred = centredOnScreen(*box);
            shownName = fileNameEdit(box)->text();
            press(box, Qt::Key_Return);
        });
        const std::optional<QString> chosen = dialogs().saveFileName(&owner, existing);
        QVERIFY(driver.unexpected.isEmpty());
        QVERIFY(!driver.stayedOpen);
        QCOMPARE(shownName, QStringLiteral("budget.txt"));
        QVERIFY(centred);
        QVERIFY(chosen);
        QCOMPARE(QFileInfo(*chosen), QFileInfo(existing));
    }

    void openDialogTakesATypedNameOfAMissingFile() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        WhenShown driver([&](QWidget* box) {
            auto* dialog = qobject_cast<QFileDialog*>(box);
            QVERIFY(dialog);
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
            QLineEdit* edit = fileNameEdit(box);
            edit->selectAll(); // typing replaces the preset name
            QTest::keyClicks(edit, QStringLiteral("missing.txt"));
            repeatEnter(box);
            QVERIFY(box->isVisible());
            QTest::keyClick(edit, Qt::Key_Return);
        });
        const std::optional<QString> chosen =
            dialogs().openFileName(nullptr, folder.filePath(QStringLiteral("budget.txt")));
        QVERIFY(!driver.stayedOpen);
        QVERIFY(chosen);
        QCOMPARE(QFileInfo(*chosen), QFileInfo(folder.filePath(QStringLiteral("missing.txt"))));
    }

    void fileDialogsGiveNothingOnCancel_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("save") << true;
        QTest::newRow("open") << false;
    }
    void fileDialogsGiveNothingOnCancel() {
        QFETCH(bool, save);
        WhenShown driver([](QWidget* box) { press(box, Qt::Key_Escape); });
        const std::optional<QString> chosen =
            save ? dialogs().saveFileName(nullptr, QStringLiteral("budget.txt"))
                 : dialogs().openFileName(nullptr, QStringLiteral("budget.txt"));
        QVERIFY(driver.shown());
        QVERIFY(!driver.stayedOpen);
        QVERIFY(!chosen);
    }

    // The print dialog.
    void printDialogNeedsAPrinter() {
        QPrinter printer;
        if (!QPrinterInfo::availablePrinters().isEmpty() ||
            !QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a printer");
        WhenShown driver([](QWidget* box) { press(box, Qt::Key_Escape); });
        QVERIFY_THROWS_EXCEPTION(NoDefaultPrinter, dialogs().printDialog(nullptr, printer));
        QVERIFY(!driver.shown());
    }

    void printDialogPrintsAllPages() {
        QPrinter printer;
        if (QPrinterInfo::availablePrinters().isEmpty() && QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has no printer");
        QAbstractPrintDialog::PrintDialogOptions options;
        WhenShown driver([&](QWidget* box) {
            if (auto* dialog = qobject_cast<QPrintDialog*>(box))
                options = dialog->options();
            press(box, Qt::Key_Escape);
        });
        QVERIFY(!dialogs().printDialog(nullptr, printer));
        QVERIFY(driver.shown());
        QVERIFY(!options.testFlag(QAbstractPrintDialog::PrintToFile));
        QVERIFY(!options.testFlag(QAbstractPrintDialog::PrintPageRange));
        QVERIFY(!options.testFlag(QAbstractPrintDialog::PrintSelection));
        QVERIFY(!options.testFlag(QAbstractPrintDialog::PrintCurrentPage));
        QCOMPARE(printer.printRange(), QPrinter::AllPages);
    }
};

QTEST_MAIN(TestBoxes)
#include "tst_boxes.moc"
