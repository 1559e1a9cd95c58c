#pragma once

#include "support/ScriptedDialogs.h"

#include <QString>

class QAbstractButton;
class TEdit;

// The program as start-up builds it: the sixteen windows created in their order, the
// main menu shown, and every box answered by a scripted dialog. Destroyed at the end
// of each test, so every test starts from a fresh program.
class ProgramUnderTest {
public:
    ProgramUnderTest();
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    ScriptedDialogs& dialogs;
};

// A user's actions on the real widgets.
// Hides the main menu, shows the window and makes it the active one.
void showActive(QWidget* window);
void click(QAbstractButton* button);
// Clicks the field (which empties it) and types the text.
void typeInto(TEdit* field, const QString& text);
// Double-clicks a widget with the left button (press, release, double click, release).
void doubleClick(QWidget* widget);
