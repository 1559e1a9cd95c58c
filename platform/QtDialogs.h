#pragma once

#include "platform/Dialogs.h"

#include <memory>

// The Qt implementation of the boxes and dialogs, which the program runs with.
std::unique_ptr<Dialogs> makeQtDialogs();
