#pragma once

#include "budget/BudgetRecord.h"
#include "platform/TForm.h"

#include <memory>

class TOpenDialog;
class QSessionManager;
namespace Ui {
class MainMenu;
}

// The main menu, the application's main window: "New", "Open file", "Save All" and
// "Continue" over the picture. Closing it asks two questions and ends the program.
class TForm1 final : public TForm {
    Q_OBJECT

public:
    TForm1();
    ~TForm1() override;

    std::unique_ptr<Ui::MainMenu> ui;
    std::unique_ptr<TOpenDialog> OpenDialog1;

    // Filled by "Save All" and the save on closing; "Open file" reads into it.
    BudgetRecord record;

    void Button53Click(); // "Continue"
    void Button52Click(); // "Open file"
    void Button1Click();  // "Save All"
    void Button2Click();  // "New"

    // At log-off or shut-down only the first question is asked, and nothing is saved.
    void commitData(QSessionManager& manager);

protected:
    bool FormCloseQuery() override;
    void FormClose() override;
};

extern TForm1* Form1;
