#include "budget/BudgetFile.h"

#include "budget/FileReplace.h"
#include "budget/OpenFile.h"
#include "platform/Errors.h"
#include "platform/LineText.h"
#include "platform/TextLength.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int TextLineCount = BudgetRecord::SheetCount * BudgetRecord::SlotCount; // 390
// Every year the writer accepts fits: a character takes at most three bytes of UTF-8 (a
// character beyond 16 bits takes two of the text's length and four bytes).
static_assert(qint64(BudgetRecord::LineCount) * (3 * LongestText + 2) <= LargestBudgetFile);
constexpr char LineFeed = '\n';
constexpr char CarriageReturn = '\r';
constexpr char CtrlZ = 26;

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves unassigned stand for
// the control characters of the same number, so every byte reads and writes back as itself.
constexpr char16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The Windows-1252 bytes of the text, or nothing when a character has no byte there.
std::optional<QByteArray> toWindows1252(QStringView text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const char16_t code : std::u16string_view(text.utf16(), size_t(text.size()))) {
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            *out++ = char(code);
            continue;
        }
        const auto* found = std::find(std::begin(Windows1252High), std::end(Windows1252High), code);
        if (found == std::end(Windows1252High))
            return std::nullopt;
        *out++ = char(0x80 + (found - Windows1252High));
    }
    return bytes;
}

QString fromWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        *out++ = (code & 0xE0) == 0x80 ? Windows1252High[code - 0x80] : char16_t(code);
    }
    return text;
}

// UTF-8's byte-order mark. At the very start of a UTF-8 file it tells the encoding and is
// no text; anywhere else it is a character (a zero-width no-break space) of its line.
constexpr QByteArrayView ByteOrderMark = "\xEF\xBB\xBF";

bool beyondAscii(const QByteArray& bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char byte) { return byte & 0x80; });
}

// Line 0..1689 of the file: the texts sheet by sheet, then the note lines by line number.
template <class Record> auto& entryOnLine(Record& record, int index) {
    if (index < TextLineCount)
        return record.text(index / BudgetRecord::SlotCount + 1,
                           index % BudgetRecord::SlotCount + 1);
    const int noteIndex = index - TextLineCount;
    return record.note(noteIndex % BudgetRecord::SheetCount + 1,
                       noteIndex / BudgetRecord::SheetCount + 1);
}

// One line's text: its bytes without any CR, in the file's encoding.
QString decodeText(QByteArrayView text, bool utf8) {
    QByteArray withoutCarriageReturns;
    if (text.contains(CarriageReturn)) {
        withoutCarriageReturns = text.toByteArray();
        withoutCarriageReturns.removeIf([](char byte) { return byte == CarriageReturn; });
        text = withoutCarriageReturns;
    }
    if (!utf8)
        return fromWindows1252(text);
    // A byte-order mark is a character of the text: QString::fromUtf8 would drop it.
    return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom)
        .decode(text);
}

// Error numbers. Whatever can be told before a file is opened is asked of the system
// directly (stat), which gives its own number. Besides:
// - a name whose folder does not exist gives ENOTDIR ("Invalid filename"), while a
//   missing file in an existing folder stays ENOENT ("File not found");
// - a folder gives EISDIR; a device, pipe or socket gives EINVAL;
// - a file too big to open, or a text longer than any field takes, gives EFBIG;
// - a file another program holds locked for writing gives EAGAIN.

// Everything the open file holds, read from its start; a file over LargestBudgetFile, or
// anything but a plain file, is refused before a byte is read.
QByteArray wholeContent(int fd) {
    struct stat status;
    if (::fstat(fd, &status) != 0)
        throw InOutError(errno);
    if (!S_ISREG(status.st_mode))
        throw InOutError(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
    if (status.st_size > LargestBudgetFile)
        throw InOutError(EFBIG);
    // One byte more than the file holds, so that its end shows without growing the buffer.
    QByteArray bytes(qsizetype(status.st_size) + 1, Qt::Uninitialized);
    qsizetype size = 0;
    for (;;) {
        if (size == bytes.size()) // the file grew meanwhile: read on, up to the limit
            bytes.resize(std::min(bytes.size() + 65536, LargestBudgetFile + 1));
        const ssize_t count = ::read(fd, bytes.data() + size, size_t(bytes.size() - size));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw InOutError(errno);
        size += count;
        if (count == 0 || size > LargestBudgetFile)
            break;
    }
    if (size > LargestBudgetFile)
        throw InOutError(EFBIG);
    bytes.truncate(size);
    return bytes;
}

// ENOTDIR when the name's folder does not exist, else ENOENT.
int missingFileError(const QString& path) {
    struct stat folder;
    const QByteArray folderName = QFile::encodeName(QFileInfo(path).absolutePath());
    return ::stat(folderName.constData(), &folder) == 0 && S_ISDIR(folder.st_mode) ? ENOENT
                                                                                   : ENOTDIR;
}

// Throws the fitting InOutError unless the name leads to a plain file.
void requirePlainFile(const QString& path) {
    struct stat status;
    if (path.isEmpty())
        throw InOutError(ENOENT);
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        throw InOutError(errno == ENOENT ? missingFileError(path) : errno);
    if (S_ISDIR(status.st_mode))
        throw InOutError(EISDIR);
    if (!S_ISREG(status.st_mode))
        throw InOutError(EINVAL);
}

} // namespace

QByteArray encodeBudgetFile(const BudgetRecord& record) {
    qsizetype length = 2 * BudgetRecord::LineCount;
    for (int index = 0; index < BudgetRecord::LineCount; ++index)
        length += entryOnLine(record, index).size();
    QString text;
    text.reserve(length);
    for (int index = 0; index < BudgetRecord::LineCount; ++index)
        text.append(entryOnLine(record, index)).append(u"\r\n");

    // Bytes beyond ASCII that happen to be valid UTF-8 would read back as UTF-8.
    const std::optional<QByteArray> bytes = toWindows1252(text);
    if (bytes && !(beyondAscii(*bytes) && bytes->isValidUtf8()))
        return *bytes;
    // A first text that starts with the mark's character gets a mark before it, which the
    // reader takes for the encoding's, so that the character stays.
    if (text.startsWith(QChar(0xFEFF)))
        return ByteOrderMark.toByteArray() + text.toUtf8();
    return text.toUtf8();
}

void decodeBudgetFile(const QByteArray& bytes, BudgetRecord& record) {
    // Where each line's text lies (an empty view for the lines that Ctrl+Z makes), and
    // where the bytes of lines 1..1690 end.
    std::vector<QByteArrayView> texts;
    texts.reserve(BudgetRecord::LineCount);
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype position = 0;
    while (qsizetype(texts.size()) < BudgetRecord::LineCount && position < size) {
        const auto* lineFeed =
            static_cast<const char*>(std::memchr(data + position, LineFeed, size - position));
        const qsizetype end = lineFeed ? lineFeed - data : size;
        const auto* ctrlZ =
            static_cast<const char*>(std::memchr(data + position, CtrlZ, end - position));
        qsizetype textEnd = ctrlZ ? ctrlZ - data : end;
        if (textEnd > position && data[textEnd - 1] == CarriageReturn)
            --textEnd; // the line end's own CR, or one that would be dropped anyway
        texts.emplace_back(data + position, textEnd - position);
        qsizetype next = end + 1;
        for (qsizetype rest = ctrlZ ? ctrlZ - data + 1 : end; rest < end; ++rest) {
            if (data[rest] != CtrlZ)
                continue;
            if (qsizetype(texts.size()) == BudgetRecord::LineCount) {
                next = rest; // where line 1691 starts
                break;
            }
            texts.emplace_back();
        }
        position = next;
    }

    // The code page is judged by the lines read alone; pure ASCII reads the same either way.
    const bool utf8 = QByteArrayView(data, std::min(position, size)).isValidUtf8();
    if (utf8 && !texts.empty() && texts.front().startsWith(ByteOrderMark))
        texts.front() = texts.front().sliced(ByteOrderMark.size());
    for (int line = 0; line < BudgetRecord::LineCount; ++line) {
        QString& entry = entryOnLine(record, line);
        if (line < qsizetype(texts.size()) && !texts[line].isEmpty())
            entry = decodeText(texts[line], utf8);
        else
            entry.clear();
    }
}

TextNotSaved::TextNotSaved(int sheet, const QString& field, const QString& reason)
    : InOutError(EFBIG,
                 QStringLiteral("%1: the text of %2 on the %3 sheet cannot be saved: %4")
                     .arg(messageFor(EFBIG), field, BudgetRecord::sheetName(sheet), reason)) {}

namespace {

// Why a text would not come back from its file line as it is; empty when it would.
QString faultOf(const QString& text, int longest) {
    if (text.size() > longest)
        return QStringLiteral("it is longer than %1 characters").arg(longest);
    if (!lineText::readsBack(text))
        return QStringLiteral("it holds a line break or a character the file cannot keep");
    return {};
}

// The first text of the record, in file order, that the reader would refuse or give back
// otherwise.
std::optional<TextNotSaved> firstTextNotReadBack(const BudgetRecord& record) {
    for (int sheet = 1; sheet <= BudgetRecord::SheetCount; ++sheet)
        for (int slot = 1; slot <= BudgetRecord::SlotCount; ++slot)
            if (const QString fault =
                    faultOf(record.text(sheet, slot), BudgetRecord::longestText(slot));
                !fault.isEmpty())
                return TextNotSaved(sheet, BudgetRecord::slotName(slot), fault);
    for (int line = 1; line <= BudgetRecord::NoteLineCount; ++line)
        for (int sheet = 1; sheet <= BudgetRecord::SheetCount; ++sheet)
            if (const QString fault = faultOf(record.note(sheet, line), LongestText);
                !fault.isEmpty())
                return TextNotSaved(sheet, BudgetRecord::noteLineName(line), fault);
    return std::nullopt;
}

} // namespace

void requireOpenable(const BudgetRecord& record) {
    if (std::optional<TextNotSaved> fault = firstTextNotReadBack(record))
        throw *fault;
}

void writeBudgetFile(const QString& path, const BudgetRecord& record) {
    requireOpenable(record);
    replaceFileContent(path, encodeBudgetFile(record));
}

void readBudgetFile(const QString& path, BudgetRecord& record) {
    requirePlainFile(path);
    // Never blocking: a pipe put in the file's place meanwhile would wait for a writer.
    OpenFile file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        throw InOutError(errno == ENOENT ? missingFileError(path) : errno);
    if (const int error = file.lock(OpenFile::Sharing::OthersMayRead))
        throw InOutError(error);
    const QByteArray bytes = wholeContent(file.get());
    BudgetRecord read;
    decodeBudgetFile(bytes, read);
    // A text longer than its widget holds would not come back whole on the next save.
    if (firstTextNotReadBack(read))
        throw InOutError(EFBIG);
    record = std::move(read);
}
