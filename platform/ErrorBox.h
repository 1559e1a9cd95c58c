#pragma once

#include "platform/Errors.h"

// Shows an error in the error box: the message with its period, the application title,
// the stop icon and one OK button.
void showError(const AppError& error);

// Runs one event handler's body; an AppError ends it and is shown in the error box.
// Nothing is thrown through Qt's event loop.
template <class Body> void guarded(Body&& body) {
    try {
        body();
    } catch (const AppError& error) {
        showError(error);
    }
}
