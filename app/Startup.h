#pragma once

// Creates the sixteen windows once, in their fixed order: the main menu (the
// application's main window), the twelve month sheets January to December, the year
// sheet, the overview and the printing window. All start hidden.
void createAllWindows();

// The two halves of that: the main menu alone, then the fifteen other windows.
void createMainMenu();
void createOtherWindows();

// Lets a write past a file-size limit (ulimit -f) fail with EFBIG, which a save reports,
// instead of ending the program with SIGXFSZ. Called first of all.
void keepRunningPastFileSizeLimits();

// The program's start: the main menu is created and shown first, and the other windows
// are created once it has been drawn, before any input is taken.
void startUp();

// Destroys them again (the end of the program, and between tests).
void destroyAllWindows();
