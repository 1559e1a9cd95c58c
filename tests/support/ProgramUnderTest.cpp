#include "support/ProgramUnderTest.h"

#include "app/MainMenu.h"
#include "app/Startup.h"
#include "platform/TEdit.h"

#include <QAbstractButton>
#include <QtTest>

ProgramUnderTest::ProgramUnderTest()
    : dialogs(installScriptedDialogs()) {
    createAllWindows();
    Form1->show();
}

ProgramUnderTest::~ProgramUnderTest() {
    destroyAllWindows();
}

void showActive(QWidget* window) {
    Form1->hide();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

void click(QAbstractButton* button) {
    QVERIFY2(button->isVisible(), qPrintable(button->objectName() + " is not visible"));
    QTest::mouseClick(button, Qt::LeftButton);
}

void typeInto(TEdit* field, const QString& text) {
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClicks(field, text);
}

void doubleClick(QWidget* widget) {
    const QPoint centre = widget->rect().center();
    QTest::mousePress(widget, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, centre);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, centre);
}
