#pragma once

#include <QString>

#include <array>

class TSheet;

// The thirteen sheets by their index: 1 to 12 are January to December in calendar
// order, 13 is the year sheet.
namespace calendar {

inline constexpr int MonthCount = 12;
inline constexpr int YearSheet = 13;
inline constexpr int SheetCount = 13;

// "January" ... "December".
const std::array<QString, MonthCount>& monthNames();

// The sheet of an index (1..13), or null before it is created.
TSheet* sheetAt(int index);
void registerSheet(int index, TSheet* sheet);

// The ring of "<<" and ">>": January, ..., December, the year sheet, January.
inline int previousSheet(int index) {
    return index == 1 ? SheetCount : index - 1;
}
inline int nextSheet(int index) {
    return index == SheetCount ? 1 : index + 1;
}

// The go-to box's texts, "*January" ... "*December", "*Year", compared exactly.
const std::array<QString, SheetCount>& goToTexts();

} // namespace calendar
