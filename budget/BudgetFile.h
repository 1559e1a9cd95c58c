#pragma once

#include "budget/BudgetRecord.h"
#include "platform/Errors.h"

#include <QByteArray>
#include <QString>

// The budget text file: 1690 lines, each ended by CR LF. Lines 1..390 hold the texts,
// sheet by sheet and slot by slot; lines 391..1690 hold the note lines grouped by line
// number, so note line i of sheet m is line 390 + 13 x (i - 1) + m.
//
// Texts are stored in Windows-1252. A record holding any character that Windows-1252
// cannot hold, or whose Windows-1252 bytes would read back as UTF-8, is stored as UTF-8
// instead, so nothing is lost: without a byte-order mark, unless the first text starts
// with that character (U+FEFF), which then keeps a mark of the file's own before it.

// The largest file the reader opens.
inline constexpr qint64 LargestBudgetFile = qint64(64) * 1024 * 1024;

// The whole file for the record.
QByteArray encodeBudgetFile(const BudgetRecord& record);

// Reads the file's bytes into all 1690 entries of the record. When the bytes of lines
// 1..1690 are valid UTF-8 they are read as UTF-8, else as Windows-1252; what follows
// line 1690 has no say; a UTF-8 file's byte-order mark at its very start is no text. A
// line ends at LF or CR LF; any other CR is dropped; a Ctrl+Z (byte 26) ends its line's
// text, and each further Ctrl+Z in the rest of that line counts as one more, empty, line.
// Lines missing at the end of the file read as empty texts; lines after line 1690 are
// ignored. Never fails.
void decodeBudgetFile(const QByteArray& bytes, BudgetRecord& record);

// A text that the reader would not give back as it is, named by its sheet and field:
// "I/O error 27: the text of "~Job" on the January sheet cannot be saved: <reason>".
class TextNotSaved : public InOutError {
public:
    TextNotSaved(int sheet, const QString& field, const QString& reason);
};

// The writer's last guard: a year every text of which a file line gives back exactly, so
// that every year saved opens again as it was. No text may be longer than its slot holds
// (BudgetRecord::longestText) nor hold a line feed, a carriage return, a Ctrl+Z or half a
// surrogate pair (lineText::readsBack). Throws TextNotSaved for the first that does.
void requireOpenable(const BudgetRecord& record);

// Writes the record to the file (see replaceFileContent: owner, group, permissions and
// links are kept, and a failure keeps the old contents). A year the reader would not give
// back as it is (requireOpenable) is refused before anything is written. Throws InOutError.
void writeBudgetFile(const QString& path, const BudgetRecord& record);

// Reads the whole file into the record, holding a read lock on it meanwhile (OpenFile:
// others may read it too, but not write it); a file another program holds locked for
// writing is refused with EAGAIN. A file over LargestBudgetFile, a folder or anything but
// a plain file is refused before reading, a file with a text longer than its slot holds
// after it ("I/O error 27"). Throws InOutError; the record is then unchanged.
void readBudgetFile(const QString& path, BudgetRecord& record);
