// Arbitrary bytes as a budget file. Reading never fails, and whatever it reads is written
// and read back unchanged: a text that came out of the reader holds no CR, LF or Ctrl+Z,
// so it always fits one line of the written file, and the writer's choice between
// Windows-1252 and UTF-8 must read back as the same characters.

#include "budget/BudgetFile.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr char CtrlZ = 26;

// Line 1..1690 of the file: the texts sheet by sheet, then the note lines by line number.
const QString& entryOnLine(const BudgetRecord& record, int line) {
    if (line <= BudgetRecord::SheetCount * BudgetRecord::SlotCount)
        return record.text((line - 1) / BudgetRecord::SlotCount + 1,
                           (line - 1) % BudgetRecord::SlotCount + 1);
    const int note = line - BudgetRecord::SheetCount * BudgetRecord::SlotCount - 1;
    return record.note(note % BudgetRecord::SheetCount + 1, note / BudgetRecord::SheetCount + 1);
}

// The text with every character beyond printable ASCII as \uXXXX, for the failure message.
std::string escaped(const QString& text) {
    std::string out = "\"";
    for (QChar character : text) {
        const char16_t code = character.unicode();
        if (code >= 0x20 && code < 0x7F && code != u'\\' && code != u'"') {
            out += char(code);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\u%04X", unsigned(code));
            out += hex;
        }
    }
    return out + '"';
}

[[noreturn]] void broken(const char* property) {
    std::fprintf(stderr, "\n*** broken property: %s\n", property);
    std::fflush(stderr);
    std::abort();
}

// Aborts naming the first entry in which the records differ.
void requireSame(const BudgetRecord& expected, const BudgetRecord& actual, const char* property) {
    if (actual == expected)
        return;
    for (int line = 1; line <= BudgetRecord::LineCount; ++line) {
        if (entryOnLine(expected, line) != entryOnLine(actual, line)) {
            std::fprintf(stderr, "\n*** line %d: expected %s, got %s\n", line,
                         escaped(entryOnLine(expected, line)).c_str(),
                         escaped(entryOnLine(actual, line)).c_str());
            break;
        }
    }
    broken(property);
}

// Every entry of the record holds this text, so that an entry the reader forgets to
// replace shows.
BudgetRecord recordOfStale() {
    BudgetRecord record;
    for (auto& sheet : record.texts)
        sheet.fill(QStringLiteral("stale"));
    for (auto& sheet : record.notes)
        sheet.fill(QStringLiteral("stale"));
    return record;
}

// Exactly 1690 lines, each ended by CR LF, with no other CR and no Ctrl+Z: a file the
// writer could have written.
bool isCanonical(const QByteArray& bytes) {
    return bytes.endsWith("\r\n") && bytes.count('\n') == BudgetRecord::LineCount &&
           bytes.count('\r') == BudgetRecord::LineCount &&
           bytes.count("\r\n") == BudgetRecord::LineCount && !bytes.contains(CtrlZ);
}

bool beyondAscii(const QByteArray& bytes) {
    for (char byte : bytes)
        if (byte & 0x80)
            return true;
    return false;
}

// The bytes without a UTF-8 byte-order mark at their start.
QByteArrayView withoutMark(const QByteArray& bytes) {
    return bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));

    BudgetRecord record;
    decodeBudgetFile(bytes, record);

    // Reading fills all 1690 entries, whatever the record held before.
    static const BudgetRecord stale = recordOfStale();
    BudgetRecord overwritten = stale;
    decodeBudgetFile(bytes, overwritten);
    requireSame(record, overwritten, "reading keeps an entry of the earlier record");

    // A line ends at LF, CR is dropped and Ctrl+Z ends a line's text: none of them is left.
    for (int line = 1; line <= BudgetRecord::LineCount; ++line) {
        const QString& text = entryOnLine(record, line);
        if (text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(CtrlZ))) {
            std::fprintf(stderr, "\n*** line %d: %s\n", line, escaped(text).c_str());
            broken("a text read from the file holds CR, LF or Ctrl+Z");
        }
    }

    // Written: 1690 lines ended by CR LF, which read back as the same record.
    const QByteArray encoded = encodeBudgetFile(record);
    if (!isCanonical(encoded))
        broken("the written file is not 1690 lines ended by CR LF");
    BudgetRecord again = stale;
    decodeBudgetFile(encoded, again);
    requireSame(record, again, "writing and reading back changes a text");
    if (encodeBudgetFile(again) != encoded)
        broken("writing the record read back gives other bytes");

    // A file the writer could have written comes back byte for byte when it is ASCII or
    // Windows-1252. A UTF-8 one comes back as itself (less a byte-order mark at its start
    // that the writer had no need of), or, when Windows-1252 holds all of its characters, as
    // Windows-1252 bytes that are no valid UTF-8.
    if (isCanonical(bytes)) {
        if (!bytes.isValidUtf8() || !beyondAscii(bytes)) {
            if (encoded != bytes)
                broken("an ASCII or Windows-1252 file is not written back byte for byte");
        } else if (withoutMark(encoded) != withoutMark(bytes) && encoded.isValidUtf8()) {
            broken("a UTF-8 file is written back as other UTF-8");
        }
    }
    return 0;
}
