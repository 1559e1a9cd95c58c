#pragma once

// Creates the sixteen windows once, in their fixed order: the main menu (the
// application's main window), the twelve month sheets January to December, the year
// sheet, the overview and the printing window. All start hidden.
void createAllWindows();

// Destroys them again (the end of the program, and between tests).
void destroyAllWindows();
