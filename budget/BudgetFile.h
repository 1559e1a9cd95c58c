#pragma once

#include "budget/BudgetRecord.h"

#include <QByteArray>
#include <QString>

// The budget text file: 1690 lines, each ended by CR LF. Lines 1..390 hold the texts,
// sheet by sheet and slot by slot; lines 391..1690 hold the note lines grouped by line
// number, so note line i of sheet m is line 390 + 13 x (i - 1) + m.
//
// Texts are stored in Windows-1252. A record holding any character that Windows-1252
// cannot hold, or whose Windows-1252 bytes would read back as UTF-8, is stored as UTF-8
// (no byte-order mark) instead, so nothing is lost.

// The largest file the reader opens.
inline constexpr qint64 LargestBudgetFile = qint64(64) * 1024 * 1024;

// The whole file for the record.
QByteArray encodeBudgetFile(const BudgetRecord& record);

// Reads the file's bytes into all 1690 entries of the record. When the bytes of lines
// 1..1690 are valid UTF-8 they are read as UTF-8, else as Windows-1252; what follows
// line 1690 has no say. A line ends at LF or CR LF; any other CR
// is dropped; a Ctrl+Z (byte 26) ends its line's text, and each further Ctrl+Z in the
// rest of that line counts as one more, empty, line. Lines missing at the end of the
// file read as empty texts; lines after line 1690 are ignored. Never fails.
void decodeBudgetFile(const QByteArray& bytes, BudgetRecord& record);

// What the reader accepts, for the reader and the writer alike: a year none of whose texts
// is longer than LongestText. Throws InOutError (EFBIG, "I/O error 27") for any other.
void requireOpenable(const BudgetRecord& record);

// Writes the record to the file (see replaceFileContent: owner, group, permissions and
// links are kept, and a failure keeps the old contents). A year the reader would refuse
// is refused before anything is written. Throws InOutError.
void writeBudgetFile(const QString& path, const BudgetRecord& record);

// Reads the whole file into the record. A file over LargestBudgetFile, a folder or
// anything but a plain file is refused before reading, a file with a text longer than
// LongestText after it. Throws InOutError; the record is then unchanged.
void readBudgetFile(const QString& path, BudgetRecord& record);
