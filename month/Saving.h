#pragma once

#include "budget/BudgetRecord.h"

class QWidget;
class TOpenDialog;

// Saving and opening a whole year: the record filled from the thirteen sheets, written
// through the save dialog, read through the open dialog and put back into the sheets.

// Overwrites all 1690 entries of the record from the thirteen sheets as they stand.
void fillBudgetRecord(BudgetRecord& record);

// Asks for a file name in the program's one save dialog and writes the record there;
// a cancelled dialog writes nothing. Throws InOutError.
void writeBudgetFileWithDialog(const BudgetRecord& record);

// "Save All": fills the record and writes it.
void saveAll(BudgetRecord& record);

// Asks for a file in the open dialog and reads it into the record; a cancelled dialog
// leaves the record as it was. Throws InOutError.
void readBudgetFileWithDialog(QWidget* owner, TOpenDialog& dialog, BudgetRecord& record);

// Puts the record's texts and note lines back into the thirteen sheets; numbers and
// colours stay as they are.
void putBack(const BudgetRecord& record);
