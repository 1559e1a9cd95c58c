#include "platform/FileDialogs.h"

#include "platform/Dialogs.h"

bool TSaveDialog::Execute(QWidget* owner) {
    const auto chosen = dialogs().saveFileName(owner, FileName);
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

bool TOpenDialog::Execute(QWidget* owner) {
    const auto chosen = dialogs().openFileName(owner, FileName);
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}
