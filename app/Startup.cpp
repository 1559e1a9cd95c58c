#include "app/Startup.h"

#include "app/MainMenu.h"
#include "month/MonthSheet.h"
#include "platform/Fonts.h"
#include "ui_MainMenu.h"
#include "year/Overview.h"
#include "year/PrintChoice.h"
#include "year/YearSheet.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <csignal>

namespace {

template <class Form> void create(Form*& instance) {
    const WidenedCalligraphicFonts widened;
    instance = new Form;
}

template <class Form> void destroy(Form*& instance) {
    delete instance;
    instance = nullptr;
}

} // namespace

void createAllWindows() {
    createMainMenu();
    createOtherWindows();
}

void createMainMenu() {
    Q_INIT_RESOURCE(forms);
    substituteFonts();
    create(Form1);
    TForm::setMainForm(Form1);
}

void createOtherWindows() {
    create(Form2);
    create(Form3);
    create(Form4);
    create(Form5);
    create(Form6);
    create(Form7);
    create(Form8);
    create(Form9);
    create(Form10);
    create(Form11);
    create(Form12);
    create(Form13);
    create(Form14);
    create(Form15);
    create(Form16);
}

void keepRunningPastFileSizeLimits() {
    std::signal(SIGXFSZ, SIG_IGN);
}

void startUp() {
    createMainMenu();
    Form1->show();
    // The main menu is drawn before the other windows are made, which halves the time
    // until it is on the screen. No input reaches any window meanwhile: input waits in
    // its queue, and a close asked for this early is refused.
    QEventLoop waiting;
    struct FirstDrawing : QObject {
        QEventLoop* loop;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Close && watched == Form1) {
                event->ignore();
                return true;
            }
            if (event->type() == QEvent::Paint && watched != Form1)
                QTimer::singleShot(0, loop, &QEventLoop::quit);
            return false;
        }
    } firstDrawing;
    firstDrawing.loop = &waiting;
    Form1->installEventFilter(&firstDrawing);
    Form1->ui->Panel2->installEventFilter(&firstDrawing);
    QTimer::singleShot(1000, &waiting, &QEventLoop::quit);
    waiting.exec(QEventLoop::ExcludeUserInputEvents);
    Form1->removeEventFilter(&firstDrawing);
    Form1->ui->Panel2->removeEventFilter(&firstDrawing);
    createOtherWindows();
}

void destroyAllWindows() {
    destroy(Form16);
    destroy(Form15);
    destroy(Form14);
    destroy(Form13);
    destroy(Form12);
    destroy(Form11);
    destroy(Form10);
    destroy(Form9);
    destroy(Form8);
    destroy(Form7);
    destroy(Form6);
    destroy(Form5);
    destroy(Form4);
    destroy(Form3);
    destroy(Form2);
    TForm::setMainForm(nullptr);
    destroy(Form1);
}
