#include "app/MainMenu.h"

#include "app/NewYear.h"
#include "month/MonthSheet.h"
#include "month/Saving.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Handlers.h"
#include "ui_MainMenu.h"

#include <QSessionManager>

TForm1* Form1 = nullptr;

namespace {
bool confirmed(const QString& question) {
    return dialogs().confirm(question) == Dialogs::Answer::Yes;
}
} // namespace

TForm1::TForm1()
    : ui(std::make_unique<Ui::MainMenu>())
    , OpenDialog1(std::make_unique<TOpenDialog>()) {
    ui->setupUi(this);
    bindClick(ui->Button53, this, [this] { Button53Click(); });
    bindClick(ui->Button52, this, [this] { Button52Click(); });
    bindClick(ui->Button1, this, [this] { Button1Click(); });
    bindClick(ui->Button2, this, [this] { Button2Click(); });
}

TForm1::~TForm1() = default;

void TForm1::Button53Click() {
    hide();
    Form2->show();
}

void TForm1::Button52Click() {
    if (!confirmed(QStringLiteral("Are you sure you want to open an other file before saving?")))
        return;
    readBudgetFileWithDialog(this, *OpenDialog1, record);
    if (!record.text(1, 7).isEmpty())
        putBack(record);
    hide();
    Form2->show();
}

void TForm1::Button1Click() {
    if (confirmed(QStringLiteral("Are you sure you want to save?")))
        saveAll(record);
}

void TForm1::Button2Click() {
    startNewYear();
}

bool TForm1::FormCloseQuery() {
    return dialogs().confirm(QStringLiteral("Are you sure you want to close?")) !=
           Dialogs::Answer::No;
}

void TForm1::FormClose() {
    if (confirmed(QStringLiteral("Save before closing?")))
        saveAll(record);
}

void TForm1::commitData(QSessionManager& manager) {
    if (manager.allowsInteraction() && !FormCloseQuery())
        manager.cancel();
}
