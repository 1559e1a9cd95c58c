#pragma once

#include "platform/ScreenCentring.h"

#include <QWidget>

// The base of every window of the program. A window lives from start-up to the end of
// the program and is only shown and hidden. Its placement rule starts screen-centred:
// showing the window then centres it on the primary screen and turns the rule to
// as-placed, so a window the user moves stays put while shown; FormHide turns the rule
// back, so the window is centred again each time it is shown.
//
// A window keeps the size its form gives it, and tells the window manager so: it cannot
// be resized or maximised. Enter presses the push button that has the focus, as Space
// does: the button acts when the key comes up. Elsewhere in the window Enter does
// nothing of the window's own.
class TForm : public QWidget {
    Q_OBJECT

public:
    enum TPosition { poDesigned, poScreenCenter };

    explicit TForm(QWidget* parent = nullptr);

    TPosition Position = poScreenCenter;

    // The application's main window: closing it ends the program.
    static TForm* mainForm();
    static void setMainForm(TForm* form);

    void setVisible(bool visible) override;

public slots:
    void FormHide();

protected:
    // Asked before a close; false keeps the window open.
    virtual bool FormCloseQuery() { return true; }
    // Runs when the window closes; may throw an AppError, which ends the close.
    virtual void FormClose();

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    ScreenCentring centring_{*this};
};
