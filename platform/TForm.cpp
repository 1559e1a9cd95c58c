#include "platform/TForm.h"

#include "platform/EnterKey.h"
#include "platform/ErrorBox.h"
#include "platform/HeldKeys.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>

namespace {
TForm* theMainForm = nullptr;
}

TForm::TForm(QWidget* parent)
    : QWidget(parent) {
    // No maximise button: the window has one size.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // A held Enter or Space then reaches the window's buttons as a held key, not as taps.
    watchHeldKeys();
}

TForm* TForm::mainForm() {
    return theMainForm;
}

void TForm::setMainForm(TForm* form) {
    theMainForm = form;
}

void TForm::setVisible(bool visible) {
    // Fixed before the first showing, so the window manager learns it with the window.
    if (visible && (minimumSize() != size() || maximumSize() != size()))
        setFixedSize(size());
    QWidget::setVisible(visible);
}

void TForm::FormHide() {
    Position = poScreenCenter;
}

void TForm::FormClose() {}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous() || Position != poScreenCenter)
        return;
    centring_.centre();
    Position = poDesigned;
}

void TForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

void TForm::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    try {
        FormClose();
    } catch (const AppError& error) {
        // The error ends the close: the window stays as it is.
        showError(error);
        event->ignore();
        return;
    }
    event->accept();
    if (this == theMainForm)
        QCoreApplication::quit();
}

namespace {

// The push button that Enter presses: the focused one. A field, a box or the notes
// leave Enter unhandled and it arrives at the window; so does a push button, which takes
// it only inside a dialog.
QPushButton* buttonForEnter(const QKeyEvent* event, QWidget* focused) {
    return isEnter(*event) ? qobject_cast<QPushButton*>(focused) : nullptr;
}

} // namespace

void TForm::keyPressEvent(QKeyEvent* event) {
    QPushButton* button = buttonForEnter(event, focusWidget());
    if (!button) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        button->setDown(true);
    event->accept();
}

void TForm::keyReleaseEvent(QKeyEvent* event) {
    QPushButton* button = buttonForEnter(event, focusWidget());
    if (!button) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    // The button acts as the key comes up, as it does on Space: a box that it opens
    // meets none of the key's repeats, and held down the key presses it once.
    if (!event->isAutoRepeat() && button->isDown()) {
        button->setDown(false);
        button->click();
    }
    event->accept();
}
