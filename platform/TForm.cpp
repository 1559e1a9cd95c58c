#include "platform/TForm.h"

#include "platform/ErrorBox.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace {
TForm* theMainForm = nullptr;
}

TForm::TForm(QWidget* parent)
    : QWidget(parent) {}

TForm* TForm::mainForm() {
    return theMainForm;
}

void TForm::setMainForm(TForm* form) {
    theMainForm = form;
}

QPoint TForm::centredPosition(QSize outerSize) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect();
    return {area.x() + std::max(0, (area.width() - outerSize.width()) / 2),
            area.y() + std::max(0, (area.height() - outerSize.height()) / 2)};
}

void TForm::FormHide() {
    Position = poScreenCenter;
}

void TForm::FormClose() {}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous() || Position != poScreenCenter)
        return;
    move(centredPosition(frameGeometry().size()));
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
