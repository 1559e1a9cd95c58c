#include "month/Saving.h"

#include "budget/BudgetFile.h"
#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "month/NoteLines.h"
#include "month/SheetSlots.h"
#include "platform/FileDialogs.h"
#include "platform/LineText.h"
#include "platform/TextLength.h"

void fillBudgetRecord(BudgetRecord& record) {
    for (int sheet = 1; sheet <= BudgetRecord::SheetCount; ++sheet) {
        const SheetView& view = calendar::sheetAt(sheet)->view();
        for (int slot = 1; slot <= BudgetRecord::SlotCount; ++slot)
            record.text(sheet, slot) = itemSlots::text(view, slot);
        const QStringList lines =
            displayedLines(*view.notes, BudgetRecord::NoteLineCount, LongestText);
        for (int line = 1; line <= BudgetRecord::NoteLineCount; ++line)
            record.note(sheet, line) = line <= lines.size() ? lines[line - 1] : QString();
    }
}

void writeBudgetFileWithDialog(const BudgetRecord& record) {
    TSaveDialog& dialog = januarySaveDialog();
    if (dialog.Execute(Form2))
        writeBudgetFile(dialog.FileName, record);
}

void saveAll(BudgetRecord& record) {
    fillBudgetRecord(record);
    writeBudgetFileWithDialog(record);
}

// "Save All" on a sheet saves the whole year through the sheet's own record.
void TSheet::Button47Click() {
    saveAll(record);
}

void readBudgetFileWithDialog(QWidget* owner, TOpenDialog& dialog, BudgetRecord& record) {
    if (dialog.Execute(owner))
        readBudgetFile(dialog.FileName, record);
}

void putBack(const BudgetRecord& record) {
    for (int sheet = 1; sheet <= BudgetRecord::SheetCount; ++sheet) {
        const SheetView& view = calendar::sheetAt(sheet)->view();
        for (int slot = 1; slot <= BudgetRecord::SlotCount; ++slot)
            itemSlots::setText(view, slot, record.text(sheet, slot));
    }
    for (int sheet = 1; sheet <= BudgetRecord::SheetCount; ++sheet)
        calendar::sheetAt(sheet)->view().notes->clear();
    // Every box ends up with exactly 100 lines, each ended by a line break; a break inside
    // a line (another program's file may hold one) is one blank, so that every line of the
    // file stays one line of the box.
    for (int sheet = 1; sheet <= BudgetRecord::SheetCount; ++sheet) {
        QString text;
        for (int line = 1; line <= BudgetRecord::NoteLineCount; ++line)
            text += lineText::asNoteLine(record.note(sheet, line)) + QLatin1Char('\n');
        calendar::sheetAt(sheet)->view().notes->setPlainText(text);
    }
}
