#include "platform/FileDialogs.h"

#include "platform/Dialogs.h"

bool TFileDialog::Execute(QWidget* owner) {
    const auto chosen = kind_ == Kind::Save ? dialogs().saveFileName(owner, FileName)
                                            : dialogs().openFileName(owner, FileName);
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}
