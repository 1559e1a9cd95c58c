#pragma once

// "New" on the main menu: after a confirmation and the year, puts every sheet back to
// its placeholder texts with the new year caption, then moves to the sheet the user
// names.
void startNewYear();
