#pragma once

#include <QString>

#include <array>

// One whole year as the budget file holds it: the 30 texts of each of the thirteen sheets
// (January .. December, then the year sheet) and the first 100 displayed lines of each
// sheet's notes box. Every entry is a plain text, kept exactly as the widget showed it;
// a fresh record holds only empty texts.
struct BudgetRecord {
    static constexpr int SheetCount = 13;
    static constexpr int SlotCount = 30;
    static constexpr int NoteLineCount = 100;
    static constexpr int LineCount = SheetCount * (SlotCount + NoteLineCount); // 1690

    std::array<std::array<QString, SlotCount>, SheetCount> texts;
    std::array<std::array<QString, NoteLineCount>, SheetCount> notes;

    // Sheet 1..13, slot 1..30.
    QString& text(int sheet, int slot) {
        Q_ASSERT(sheet >= 1 && sheet <= SheetCount && slot >= 1 && slot <= SlotCount);
        return texts[sheet - 1][slot - 1];
    }
    const QString& text(int sheet, int slot) const {
        Q_ASSERT(sheet >= 1 && sheet <= SheetCount && slot >= 1 && slot <= SlotCount);
        return texts[sheet - 1][slot - 1];
    }

    // Sheet 1..13, note line 1..100.
    QString& note(int sheet, int line) {
        Q_ASSERT(sheet >= 1 && sheet <= SheetCount && line >= 1 && line <= NoteLineCount);
        return notes[sheet - 1][line - 1];
    }
    const QString& note(int sheet, int line) const {
        Q_ASSERT(sheet >= 1 && sheet <= SheetCount && line >= 1 && line <= NoteLineCount);
        return notes[sheet - 1][line - 1];
    }

    bool operator==(const BudgetRecord&) const = default;

    // The names the user knows: sheet 1..13 is "January" .. "December", "Year"; a slot is
    // its item's caption in quotes ("\"~Job\"") or its widget's part ("the currency"); a
    // note line is "note line 7".
    static const QString& sheetName(int sheet);
    static QString slotName(int slot);
    static QString noteLineName(int line);

    // The longest text a slot holds: LongestText, less for the currency, which every total,
    // running-sum and balance caption takes after its number.
    static int longestText(int slot);
};
