#include "platform/TForm.h"

#include "platform/ErrorBox.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
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

void TForm::keyPressEvent(QKeyEvent* event) {
    // A field, a box or the notes leave Enter unhandled and it arrives here; so does a
    // push button, which takes it only inside a dialog.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (!enter || !button) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Held down, the key presses the button once.
    if (!event->isAutoRepeat())
        button->click();
    event->accept();
}
