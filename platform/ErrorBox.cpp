#include "platform/ErrorBox.h"

#include "platform/Dialogs.h"

void showError(const AppError& error) {
    dialogs().error(withPeriod(error.message()));
}
