#include "budget/BudgetFile.h"
#include "budget/FileReplace.h"
#include "platform/Errors.h"
#include "platform/TextLength.h"
#include "support/LockHolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <optional>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

namespace {

// The file line (1..1690) of every entry, as the format lays them out.
QString& entryOnLine(BudgetRecord& record, int line) {
    if (line <= 390)
        return record.text((line - 1) / 30 + 1, (line - 1) % 30 + 1);
    return record.note((line - 391) % 13 + 1, (line - 391) / 13 + 1);
}

QStringList freshSheetTexts(bool yearSheet) {
    QStringList texts;
    for (int i = 0; i < 6; ++i)
        texts << "earned";
    texts << "Earned" << (yearSheet ? " " : "Earned Particular") << "Enough?";
    for (int i = 0; i < 14; ++i)
        texts << "spend";
    texts << "Spend" << (yearSheet ? "" : "Spend Particular") << "To much?"
          << "Currency" << (yearSheet ? "Total this year" : "Total this month") << "Month"
          << "Double click here for entering year";
    return texts;
}

BudgetRecord recordWithEvery(const QString& text) {
    BudgetRecord record;
    for (int line = 1; line <= BudgetRecord::LineCount; ++line)
        entryOnLine(record, line) = text;
    return record;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The message of the InOutError the action throws, or "no error".
QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const InOutError& error) {
        return error.message();
    }
    return "no error";
}

// Runs the action in a child process (for limits that must not touch the test itself) and
// gives its exit code.
int inChild(const std::function<int()>& action) {
    const pid_t child = fork();
    if (child == 0)
        _exit(action());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Acts as that user from now on (root: unchanged), with a state folder of its own; false
// when that is refused.
bool actAs(uid_t user) {
    qputenv("XDG_STATE_HOME", qgetenv("XDG_STATE_HOME") + '/' + QByteArray::number(user));
    return user == 0 || (setgid(user) == 0 && setuid(user) == 0);
}

int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const InOutError& error) {
        return error.code();
    }
    return 0;
}

// The permission bits, as the file system keeps them.
mode_t modeOf(const QString& path) {
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// The old year's copy is kept in the folder, the one copy there, and the message names it.
// Removes it.
void verifyKeptCopy(const QString& message, int error, const QString& folder,
                    const QByteArray& old) {
    const QStringList kept =
        filesIn(folder).filter(QRegularExpression("^year\\.txt\\..*\\.backup$"));
    QCOMPARE(kept.size(), 1);
    QCOMPARE(message, InOutError::messageFor(error) +
                          ": the old contents could not be put back; they are kept in " + folder +
                          '/' + kept[0]);
    QCOMPARE(contentOf(folder + '/' + kept[0]), old);
    QVERIFY(QFile::remove(folder + '/' + kept[0]));
}

} // namespace

class BudgetFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir stateHome; // the users' state folders, each in a folder of its own

private slots:
    void initTestCase();

    // The written format.
    void freshYearIsWrittenByteForByte();
    void everyEntryLandsOnItsLine();
    void roundTripKeepsEveryText_data();
    void roundTripKeepsEveryText();
    void savingReplacesALongerFile();

    // Reading lines.
    void linesAreReadByTheLineRules_data();
    void linesAreReadByTheLineRules();
    void shortFileFillsTheFirstNoteGroups();
    void linesAfterTheLastAreIgnored();

    // Code pages.
    void bytesReadAsWindows1252();
    void windows1252FileIsWrittenBackByteForByte();
    void textsBeyondWindows1252AreWrittenAsUtf8_data();
    void textsBeyondWindows1252AreWrittenAsUtf8();
    void codePageIsJudgedByTheLinesRead_data();
    void codePageIsJudgedByTheLinesRead();

    // Failures.
    void failuresGiveTheirMessages_data();
    void failuresGiveTheirMessages();
    void readOnlyFileIsRefusedAndKept();
    void folderWithoutWriteBitsIsRefused();
    void otherUsersFilesAreRefused();
    void fileSizeLimitKeepsTheOldFile_data();
    void fileSizeLimitKeepsTheOldFile();
    void fullDiskKeepsTheOldFile();
    void tooManyOpenFiles();
    void symbolicLinkStaysALink_data();
    void symbolicLinkStaysALink();
    void fileOver64MiBIsRefused();
    void saveRefusesWhatOpenRefuses_data();
    void saveRefusesWhatOpenRefuses();
    void savingKeepsWhatTheFileIs_data();
    void savingKeepsWhatTheFileIs();
    void failedSaveInPlaceKeepsTheOldYear_data();
    void failedSaveInPlaceKeepsTheOldYear();
    void attributeNoLongerForcesASaveInPlace();
    void refusedRenameSavesInPlace_data();
    void refusedRenameSavesInPlace();
    void lockedYearIsNeitherReadNorWritten_data();
    void lockedYearIsNeitherReadNorWritten();
    void saveInPlaceBesideAnotherProgram_data();
    void saveInPlaceBesideAnotherProgram();
    void copyOnWriteDiskKeepsTheOldYear();

    // Found by fuzzing.
    void byteOrderMarksAreKeptAsCharacters();
};

void BudgetFileTest::initTestCase() {
    QVERIFY(stateHome.isValid());
    QCOMPARE(chmod(QFile::encodeName(stateHome.path()).constData(), 01777), 0);
    qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome.path()));
}

void BudgetFileTest::freshYearIsWrittenByteForByte() {
    BudgetRecord record;
    QByteArray expected;
    qsizetype textLength = 0;
    for (int sheet = 1; sheet <= 13; ++sheet) {
        const QStringList texts = freshSheetTexts(sheet == 13);
        QCOMPARE(texts.size(), 30);
        for (int slot = 1; slot <= 30; ++slot) {
            record.text(sheet, slot) = texts[slot - 1];
            expected += texts[slot - 1].toLatin1() + "\r\n";
            textLength += texts[slot - 1].size();
        }
    }
    for (int line = 0; line < 1300; ++line)
        expected += "\r\n";

    QTemporaryDir folder;
    const QString path = folder.filePath("fresh.txt");
    writeBudgetFile(path, record);
    const QByteArray written = contentOf(path);
    QCOMPARE(written, expected);
    QCOMPARE(written.size(), 3380 + textLength);
    QCOMPARE(written.count("\r\n"), 1690);
    QVERIFY(written.split('\n').at(367) == " \r" && written.split('\n').at(384) == "\r");
    QCOMPARE(filesIn(folder.path()), QStringList{"fresh.txt"});
}

void BudgetFileTest::everyEntryLandsOnItsLine() {
    BudgetRecord record;
    for (int sheet = 1; sheet <= 13; ++sheet) {
        for (int slot = 1; slot <= 30; ++slot)
            record.text(sheet, slot) = QString("text %1/%2").arg(sheet).arg(slot);
        for (int line = 1; line <= 100; ++line)
            record.note(sheet, line) = QString("note %1/%2").arg(sheet).arg(line);
    }
    const QList<QByteArray> lines = encodeBudgetFile(record).split('\n');
    QCOMPARE(lines.size(), 1691);
    QCOMPARE(lines[0], "text 1/1\r");
    QCOMPARE(lines[59], "text 2/30\r");
    QCOMPARE(lines[367], "text 13/8\r");
    QCOMPARE(lines[390], "note 1/1\r");
    QCOMPARE(lines[402], "note 13/1\r");
    QCOMPARE(lines[420], "note 5/3\r"); // file line 421
    QCOMPARE(lines[1689], "note 13/100\r");
    for (int line = 1; line <= 1690; ++line)
        QCOMPARE(QString::fromLatin1(lines[line - 1].chopped(1)), entryOnLine(record, line));
}

void BudgetFileTest::roundTripKeepsEveryText_data() {
    QTest::addColumn<QString>("characters");
    QString windows1252;
    for (int byte = 0; byte < 256; ++byte)
        if (byte != '\r' && byte != '\n' && byte != 26)
            windows1252 += QStringDecoder("windows-1252")(QByteArray(1, char(byte)));
    QTest::newRow("windows-1252") << windows1252;
    QTest::newRow("beyond windows-1252") << windows1252 + QString::fromUtf8("łŁ₹€ёλ中😀");
}

void BudgetFileTest::roundTripKeepsEveryText() {
    QFETCH(QString, characters);
    QRandomGenerator random(1690);
    BudgetRecord record;
    for (int line = 1; line <= 1690; ++line) {
        QString& text = entryOnLine(record, line);
        const int length = random.bounded(0, 25);
        while (text.size() < length) {
            const QChar character = characters[random.bounded(characters.size())];
            if (character.isHighSurrogate())
                text += characters.mid(characters.indexOf(character), 2);
            else if (!character.isLowSurrogate())
                text += character;
        }
    }
    QTemporaryDir folder;
    const QString path = folder.filePath("year.txt");
    writeBudgetFile(path, record);
    BudgetRecord read = recordWithEvery("stale");
    readBudgetFile(path, read);
    QVERIFY(read == record);
}

void BudgetFileTest::savingReplacesALongerFile() {
    QTemporaryDir folder;
    const QString path = folder.filePath("year.txt");
    put(path, QByteArray(100000, 'x'));
    writeBudgetFile(path, BudgetRecord{});
    QCOMPARE(contentOf(path), QByteArray(1690 * 2, '\n').replace("\n\n", "\r\n"));
}

void BudgetFileTest::linesAreReadByTheLineRules_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("firstLines"); // every later line reads empty

    QByteArray nineLines;
    QStringList nineTexts;
    for (int line = 1; line <= 9; ++line) {
        nineLines += "line " + QByteArray::number(line) + "\r\n";
        nineTexts << QString("line %1").arg(line);
    }
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("CR LF") << QByteArray("a\r\n\r\nc d \r\n") << QStringList{"a", "", "c d "};
    QTest::newRow("LF only") << QByteArray("a\n\nc d \n") << QStringList{"a", "", "c d "};
    QTest::newRow("no last line end") << QByteArray("a\r\nb") << QStringList{"a", "b"};
    QTest::newRow("CR inside lines")
        << QByteArray("a\rb\r\nc\r\r\n\rd\r") << QStringList{"ab", "c", "d"};
    QTest::newRow("Ctrl+Z inside line 10") << nineLines + "ten\x1Alost\r\neleven\r\ntwelve"
                                           << nineTexts + QStringList{"ten", "eleven", "twelve"};
    QTest::newRow("second Ctrl+Z in the rest") << nineLines + "ten\x1Alost\x1Alost\r\nnext\r\n"
                                               << nineTexts + QStringList{"ten", "", "next"};
    QTest::newRow("CR before Ctrl+Z")
        << QByteArray("ab\r\x1A\rcd\r\nnext") << QStringList{"ab", "next"};
    QTest::newRow("Ctrl+Z first") << QByteArray("\x1A\x1A\x1A\nx") << QStringList{"", "", "", "x"};
    QTest::newRow("300 characters")
        << "a\r\n" + QByteArray(300, 'w') + "\r\nb" << QStringList{"a", QString(300, 'w'), "b"};
    QTest::newRow("1 MB line") << QByteArray(1 << 20, 'm') + "\nb"
                               << QStringList{QString(1 << 20, 'm'), "b"};
}

void BudgetFileTest::linesAreReadByTheLineRules() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, firstLines);
    BudgetRecord record = recordWithEvery("stale");
    decodeBudgetFile(file, record);
    for (int line = 1; line <= 1690; ++line)
        QCOMPARE(entryOnLine(record, line), line <= firstLines.size() ? firstLines[line - 1] : "");
}

void BudgetFileTest::shortFileFillsTheFirstNoteGroups() {
    QByteArray file;
    for (int line = 1; line <= 500; ++line)
        file += "L" + QByteArray::number(line) + "\r\n";
    QTemporaryDir folder;
    put(folder.filePath("short.txt"), file);
    BudgetRecord record = recordWithEvery("stale");
    readBudgetFile(folder.filePath("short.txt"), record);
    QCOMPARE(record.text(1, 7), "L7");
    QCOMPARE(record.note(13, 8), "L494");
    QCOMPARE(record.note(6, 9), "L500");
    QCOMPARE(record.note(7, 9), "");
    QCOMPARE(record.note(1, 10), "");
    QCOMPARE(record.note(13, 100), "");
}

void BudgetFileTest::linesAfterTheLastAreIgnored() {
    QByteArray file;
    for (int line = 1; line <= 1700; ++line)
        file += "L" + QByteArray::number(line) + "\r\n";
    BudgetRecord record;
    decodeBudgetFile(file, record);
    for (int line = 1; line <= 1690; ++line)
        QCOMPARE(entryOnLine(record, line), QString("L%1").arg(line));
    QCOMPARE(encodeBudgetFile(record), file.left(file.indexOf("L1691")));
}

void BudgetFileTest::bytesReadAsWindows1252() {
    QByteArray line;
    for (int byte = 0x7F; byte < 256; ++byte)
        line += char(byte);
    BudgetRecord record;
    decodeBudgetFile(line + "\r\n", record);
    QCOMPARE(record.text(1, 1), QStringDecoder("windows-1252")(line));
    QCOMPARE(encodeBudgetFile(record).left(line.size() + 2), line + "\r\n");
}

void BudgetFileTest::windows1252FileIsWrittenBackByteForByte() {
    QByteArray file = "Price \x80 5\r\n\x81\x8D\x8F\x90\x9D\r\nK\xF6ln \xA3\r\n";
    for (int line = 4; line <= 1690; ++line)
        file += "\r\n";
    QTemporaryDir folder;
    const QString path = folder.filePath("cp1252.txt");
    put(path, file);
    BudgetRecord record;
    readBudgetFile(path, record);
    QCOMPARE(record.text(1, 1), QString::fromUtf8("Price € 5"));
    QCOMPARE(record.text(1, 2), QStringView(u"\u0081\u008D\u008F\u0090\u009D"));
    QCOMPARE(record.text(1, 3), QString::fromUtf8("Köln £"));
    writeBudgetFile(path, record);
    QCOMPARE(contentOf(path), file);
}

void BudgetFileTest::textsBeyondWindows1252AreWrittenAsUtf8_data() {
    QTest::addColumn<QString>("firstText");
    QTest::addColumn<QString>("text");
    const QString euro = QString::fromUtf8("5 €");
    QTest::newRow("l with stroke") << euro << QString::fromUtf8("Łódź zł");
    QTest::newRow("rupee sign") << euro << QString::fromUtf8("₹ 250");
    QTest::newRow("emoji") << euro << QString::fromUtf8("party 🎉");
    // Fits Windows-1252, but its bytes alone would read back as UTF-8 ("é").
    QTest::newRow("windows-1252 that looks like UTF-8") << "5 EUR" << QString::fromUtf8("Ã©");
}

void BudgetFileTest::textsBeyondWindows1252AreWrittenAsUtf8() {
    QFETCH(QString, firstText);
    QFETCH(QString, text);
    BudgetRecord record;
    record.text(1, 1) = firstText;
    record.note(13, 100) = text;
    QTemporaryDir folder;
    const QString path = folder.filePath("utf8.txt");
    writeBudgetFile(path, record);
    const QByteArray written = contentOf(path);
    QVERIFY(written.startsWith(firstText.toUtf8() + "\r\n")); // the whole file, not only that text
    QVERIFY(written.endsWith("\r\n" + text.toUtf8() + "\r\n"));
    QVERIFY(!written.contains('?'));
    BudgetRecord read;
    readBudgetFile(path, read);
    QVERIFY(read == record);
}

void BudgetFileTest::codePageIsJudgedByTheLinesRead_data() {
    QTest::addColumn<QByteArray>("after"); // what follows the 1689 lines of a UTF-8 year
    QTest::addColumn<bool>("utf8");
    QTest::newRow("stray byte after line 1690") << QByteArray("last\r\n\xFF") << true;
    QTest::newRow("Windows-1252 after line 1690") << QByteArray("last\r\nK\xF6ln\r\n") << true;
    QTest::newRow("a further Ctrl+Z starts line 1691") << QByteArray("a\x1A\x1A\xFF\r\n") << true;
    QTest::newRow("Windows-1252 after Ctrl+Z in line 1690") << QByteArray("a\x1A\xFF\r\n") << false;
    QTest::newRow("Windows-1252 in line 1690") << QByteArray("K\xF6ln\r\n\xFF") << false;
}

void BudgetFileTest::codePageIsJudgedByTheLinesRead() {
    QFETCH(QByteArray, after);
    QFETCH(bool, utf8);
    BudgetRecord record;
    record.text(1, 1) = QString::fromUtf8("5 zł");
    const QByteArray file = encodeBudgetFile(record).chopped(2) + after;
    BudgetRecord read;
    decodeBudgetFile(file, read);
    QCOMPARE(read.text(1, 1), utf8 ? QString::fromUtf8("5 zł")
                                   : QStringDecoder("windows-1252")(QByteArray("5 z\xC5\x82")));
}

void BudgetFileTest::failuresGiveTheirMessages_data() {
    QTest::addColumn<bool>("writing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("read missing file") << false << "missing.txt"
                                       << "File not found";
    QTest::newRow("read in missing folder") << false << "nowhere/year.txt"
                                            << "Invalid filename";
    QTest::newRow("write in missing folder") << true << "nowhere/year.txt"
                                             << "Invalid filename";
    QTest::newRow("read file as folder") << false << "plain.txt/year.txt"
                                         << "Invalid filename";
    QTest::newRow("read a folder") << false << "sub"
                                   << "I/O error 21";
    QTest::newRow("write a folder") << true << "sub"
                                    << "I/O error 21";
    QTest::newRow("read a pipe") << false << "pipe"
                                 << "I/O error 22";
}

void BudgetFileTest::failuresGiveTheirMessages() {
    QFETCH(bool, writing);
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir("sub"));
    put(folder.filePath("plain.txt"), "x\r\n");
    QCOMPARE(mkfifo(QFile::encodeName(folder.filePath("pipe")).constData(), 0644), 0);
    const QString path = folder.filePath(name);
    BudgetRecord record = recordWithEvery("kept");
    const BudgetRecord before = record;
    if (writing)
        QCOMPARE(errorOf([&] { writeBudgetFile(path, record); }), message);
    else
        QCOMPARE(errorOf([&] { readBudgetFile(path, record); }), message);
    QVERIFY(record == before);
    QCOMPARE(filesIn(folder.path()), (QStringList{"pipe", "plain.txt", "sub"}));
}

void BudgetFileTest::readOnlyFileIsRefusedAndKept() {
    // Root ignores permission bits, so this holds only if the writer checks them itself.
    QTemporaryDir folder;
    const QString path = folder.filePath("year.txt");
    put(path, "old\r\n");
    QCOMPARE(chmod(QFile::encodeName(path).constData(), 0440), 0);
    QCOMPARE(errorOf([&] { writeBudgetFile(path, recordWithEvery("new")); }), "File access denied");
    QCOMPARE(contentOf(path), "old\r\n");
    QCOMPARE(modeOf(path), mode_t(0440));
    QCOMPARE(filesIn(folder.path()), QStringList{"year.txt"});
}

void BudgetFileTest::folderWithoutWriteBitsIsRefused() {
    QTemporaryDir folder;
    const QString locked = folder.filePath("locked");
    QVERIFY(QDir(folder.path()).mkdir("locked"));
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser |
                                              QFile::ExeUser));
    QCOMPARE(errorOf([&] { writeBudgetFile(locked + "/year.txt", BudgetRecord{}); }),
             "File access denied");
    QVERIFY(filesIn(locked).isEmpty());
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

void BudgetFileTest::otherUsersFilesAreRefused() {
    if (geteuid() != 0)
        QSKIP("acting as another user needs root");
    QTemporaryDir folder;
    QCOMPARE(chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    const QString path = folder.filePath("year.txt");
    put(path, "old\r\n");
    QCOMPARE(chmod(QFile::encodeName(path).constData(), 0600), 0);
    const int exitCode = inChild([&] {
        if (!actAs(65534))
            return 200;
        BudgetRecord record;
        const int reading = errorNumberOf([&] { readBudgetFile(path, record); });
        const int writing = errorNumberOf([&] { writeBudgetFile(path, record); });
        const int creating =
            errorNumberOf([&] { writeBudgetFile(folder.filePath("new.txt"), record); });
        return reading == writing && writing == creating ? reading : 201;
    });
    QCOMPARE(InOutError::messageFor(exitCode), "File access denied");
    QCOMPARE(contentOf(path), "old\r\n");
    QCOMPARE(filesIn(folder.path()), QStringList{"year.txt"});
}

void BudgetFileTest::fileSizeLimitKeepsTheOldFile_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("everyText");
    QTest::addColumn<bool>("inPlace"); // the file has a second name, or the folder is root's
    QTest::addColumn<uid_t>("saver");  // owns the file; it may write but not read it
    QTest::addColumn<QString>("message");
    // A small file may sit in a buffer until the end; a long one fails in its write.
    QTest::newRow("small file") << 1000 << "" << false << 0u << "I/O error 27";
    QTest::newRow("long file") << 100000 << QString("new text ").repeated(10) << false << 0u
                               << "I/O error 27";
    QTest::newRow("in place") << 3000 << "new text" << true << 0u << "I/O error 27";
    QTest::newRow("in place, failing at once") << 0 << "" << true << 0u << "I/O error 27";
    if (geteuid() == 0)
        QTest::newRow("in place, write-only file: no copy, refused")
            << 3000 << "new" << true << 65534u << "File access denied";
}

void BudgetFileTest::fileSizeLimitKeepsTheOldFile() {
    QFETCH(int, limit);
    QFETCH(QString, everyText);
    QFETCH(bool, inPlace);
    QFETCH(uid_t, saver);
    QFETCH(QString, message);
    QTemporaryDir folder;
    const QString path = folder.filePath("year.txt");
    const QByteArray old = QByteArray("old year\r\n").repeated(200);
    put(path, old);
    QStringList names{"year.txt"};
    if (saver != 0) {
        QCOMPARE(chown(QFile::encodeName(path).constData(), saver, saver), 0);
        QCOMPARE(chmod(QFile::encodeName(path).constData(), 0200), 0);
        QCOMPARE(chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    } else if (inPlace) {
        QCOMPARE(link(QFile::encodeName(path).constData(),
                      QFile::encodeName(folder.filePath("second.txt")).constData()),
                 0);
        names.prepend("second.txt");
    }
    const BudgetRecord record = recordWithEvery(everyText);
    const int exitCode = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit fileSize{rlim_t(limit), RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &fileSize);
        if (!actAs(saver))
            return 200;
        try {
            writeBudgetFile(path, record);
        } catch (const InOutError& error) {
            return error.message().startsWith(message) ? error.code() : 201;
        }
        return 0;
    });
    QCOMPARE(InOutError::messageFor(exitCode), message);
    QCOMPARE(contentOf(path), old);
    if (inPlace && saver == 0)
        QCOMPARE(contentOf(folder.filePath("second.txt")), old);
    QCOMPARE(filesIn(folder.path()), names);
}

void BudgetFileTest::fullDiskKeepsTheOldFile() {
    // A small file system of its own, mounted only in a child process's private namespace.
    QTemporaryDir folder;
    const QByteArray disk = QFile::encodeName(folder.path());
    const QByteArray old = QByteArray("old year\r\n").repeated(20);
    const int exitCode = inChild([&] {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", disk.constData(), "tmpfs", 0, "size=64k") != 0)
            return 200;
        const QString path = folder.filePath("year.txt");
        QFile oldFile(path), filler(folder.filePath("filler"));
        if (!oldFile.open(QIODevice::WriteOnly) || oldFile.write(old) != old.size() ||
            !oldFile.flush() || !filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return 201;
        while (filler.write(QByteArray(4096, 'f')) == 4096) {
        }
        const int error = errorNumberOf([&] { writeBudgetFile(path, recordWithEvery("new")); });
        if (contentOf(path) != old || filesIn(folder.path()) != QStringList{"filler", "year.txt"})
            return 202;
        return error;
    });
    if (exitCode == 200)
        QSKIP("no private mount possible here");
    QCOMPARE(exitCode, 28);
    QCOMPARE(InOutError::messageFor(exitCode), "I/O error 28");
}

void BudgetFileTest::tooManyOpenFiles() {
    QTemporaryDir folder;
    const QString path = folder.filePath("year.txt");
    put(path, "old\r\n");
    const int exitCode = inChild([&] {
        const rlimit files{3, 3};
        setrlimit(RLIMIT_NOFILE, &files);
        BudgetRecord record;
        const int reading = errorNumberOf([&] { readBudgetFile(path, record); });
        const int writing = errorNumberOf([&] { writeBudgetFile(path, record); });
        return reading == writing ? reading : 0;
    });
    QCOMPARE(InOutError::messageFor(exitCode), "Too many open files");
    QCOMPARE(contentOf(path), "old\r\n");
}

void BudgetFileTest::symbolicLinkStaysALink_data() {
    QTest::addColumn<QStringList>("links"); // "name>target", made in this order
    QTest::addColumn<QString>("path");      // saved and opened
    QTest::addColumn<QString>("real");      // the file the system opens at that path
    QTest::newRow("link into another folder")
        << QStringList{"links/year.txt>../data/shared/year.txt"} << "links/year.txt"
        << "data/shared/year.txt";
    // Docs/.. is data, not the folder Docs stands in (which has a shared/ of its own).
    QTest::newRow("relative link with .. behind a linked folder")
        << QStringList{"Docs>data/docs", "data/docs/year.txt>../shared/year.txt"} << "Docs/year.txt"
        << "data/shared/year.txt";
    QTest::newRow("link to a file not there yet")
        << QStringList{"Docs>data/docs", "data/docs/new.txt>../shared/new.txt"} << "Docs/new.txt"
        << "data/shared/new.txt";
}

void BudgetFileTest::symbolicLinkStaysALink() {
    QFETCH(QStringList, links);
    QFETCH(QString, path);
    QFETCH(QString, real);
    QTemporaryDir folder;
    for (const QString name : {"data/docs", "data/shared", "links", "shared"})
        QVERIFY(QDir(folder.path()).mkpath(name));
    put(folder.filePath("data/shared/year.txt"), "old\r\n");
    put(folder.filePath("shared/year.txt"), "other\r\n");
    QCOMPARE(chmod(QFile::encodeName(folder.filePath("data/shared/year.txt")).constData(), 0640),
             0);
    for (const QString& link : links)
        QVERIFY(QFile::link(link.section('>', 1), folder.filePath(link.section('>', 0, 0))));

    BudgetRecord record, read;
    record.text(1, 1) = "through the link";
    QCOMPARE(errorOf([&] { writeBudgetFile(folder.filePath(path), record); }), "no error");
    QCOMPARE(errorOf([&] { readBudgetFile(folder.filePath(path), read); }), "no error");
    QVERIFY(read == record);
    QVERIFY(QFileInfo(folder.filePath(path)).isSymLink());
    QCOMPARE(contentOf(folder.filePath(real)), encodeBudgetFile(record));
    const bool existed = real.endsWith("year.txt");
    if (existed)
        QCOMPARE(modeOf(folder.filePath(real)), mode_t(0640));
    QCOMPARE(contentOf(folder.filePath("shared/year.txt")), "other\r\n");
    QCOMPARE(filesIn(folder.filePath("data/shared")).size(), existed ? 1 : 2);
}

void BudgetFileTest::fileOver64MiBIsRefused() {
    QTemporaryDir folder;
    const QString path = folder.filePath("huge.txt");
    QFile huge(path);
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.write("earned\r\n") == 8 && huge.resize(64 * 1024 * 1024 + 1));
    huge.close();
    BudgetRecord record = recordWithEvery("kept");
    QCOMPARE(errorOf([&] { readBudgetFile(path, record); }), "I/O error 27");
    QVERIFY(record == recordWithEvery("kept"));
}

void BudgetFileTest::saveRefusesWhatOpenRefuses_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("refusal"); // the writer's, naming sheet and field; empty: saved
    const QString refusal = "I/O error 27: the text of %1 on the %2 sheet cannot be saved: %3";
    const QString tooLong = "it is longer than %1 characters";
    const QString breaks = "it holds a line break or a character the file cannot keep";
    QTest::newRow("longest amount") << 1 << QString(LongestText, '9') << "";
    QTest::newRow("longest caption, two bytes a character")
        << 30 << QString::fromUtf8("ł").repeated(LongestText) << "";
    QTest::newRow("caption one longer")
        << 30 << QString(LongestText + 1, 'W')
        << refusal.arg("the year caption", "January", tooLong.arg(LongestText));
    QTest::newRow("last note line one longer")
        << 1690 << QString(LongestText + 1, 'n')
        << refusal.arg("note line 100", "Year", tooLong.arg(LongestText));
    QTest::newRow("currency one longer than its captions take")
        << 30 * 11 + 27 << QString(LongestText - 22, 'C')
        << refusal.arg("the currency", "December", tooLong.arg(LongestText - 23));
    QTest::newRow("line feed in an amount")
        << 31 << "12.5\nabc" << refusal.arg("\"~Job\"", "February", breaks);
    QTest::newRow("CR in a box") << 39 << "Enough\r"
                                 << refusal.arg("the \"Enough?\" box", "February", breaks);
    QTest::newRow("Ctrl+Z in a note line")
        << 391 + 13 * 6 << "a\x1a" << refusal.arg("note line 7", "January", breaks);
    QTest::newRow("half a surrogate pair")
        << 388 << QString(QChar(0xD83D)) << refusal.arg("the balance", "Year", breaks);
}

// Whatever is saved opens again as it was, and what would not is not saved: the writer
// names the sheet and the field. A line after line 1690 has no say.
void BudgetFileTest::saveRefusesWhatOpenRefuses() {
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(QString, refusal);
    BudgetRecord record = recordWithEvery("year");
    entryOnLine(record, line) = text;
    QTemporaryDir folder;
    const QString saved = folder.filePath("saved.txt"), opened = folder.filePath("opened.txt");
    const QString old = folder.filePath("old.txt");
    put(opened, encodeBudgetFile(record) + QByteArray(10 * LongestText, 'x') + "\r\n");
    put(old, "old");
    BudgetRecord read = recordWithEvery("kept");
    for (const QString& path : {saved, old})
        QCOMPARE(errorOf([&] { writeBudgetFile(path, record); }),
                 refusal.isEmpty() ? "no error" : refusal);
    QCOMPARE(contentOf(old), refusal.isEmpty() ? encodeBudgetFile(record) : "old");
    const QString readError = errorOf([&] { readBudgetFile(opened, read); });
    QCOMPARE(readError == "no error" && read == record, refusal.isEmpty());
    QVERIFY(readError == "no error" ||
            (readError == "I/O error 27" && read == recordWithEvery("kept")));
    QCOMPARE(filesIn(folder.path()).size(), refusal.isEmpty() ? 3 : 2);
}

void BudgetFileTest::savingKeepsWhatTheFileIs_data() {
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<uid_t>("owner"); // of the file; the folder is root's
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<bool>("secondName"); // a hard link in the same folder
    QTest::addColumn<uid_t>("saver");
    QTest::newRow("root, folder without write bits") << 0555 << 0u << 0644 << false << 0u;
    QTest::newRow("root, another user's file") << 0755 << 65534u << 0640 << false << 0u;
    QTest::newRow("root, file with two names") << 0755 << 65534u << 0604 << true << 0u;
    QTest::newRow("user, own file in a folder of root's")
        << 0755 << 65534u << 0600 << false << 65534u;
    QTest::newRow("user, another's file in a sticky folder")
        << 01777 << 65534u << 0666 << false << 65533u;
    QTest::newRow("user, own file that may not be read, in a sticky folder")
        << 01777 << 65534u << 0200 << false << 65534u;
}

void BudgetFileTest::savingKeepsWhatTheFileIs() {
    if (geteuid() != 0)
        QSKIP("files of other users need root");
    QFETCH(int, folderMode);
    QFETCH(uid_t, owner);
    QFETCH(int, fileMode);
    QFETCH(bool, secondName);
    QFETCH(uid_t, saver);
    QTemporaryDir folder;
    const QString path = folder.filePath("year.txt"), other = folder.filePath("other.txt");
    put(path, QByteArray("old year\r\n").repeated(1000));
    QCOMPARE(chown(QFile::encodeName(path).constData(), owner, owner), 0);
    QCOMPARE(chmod(QFile::encodeName(path).constData(), mode_t(fileMode)), 0);
    if (secondName)
        QCOMPARE(link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()),
                 0);
    QCOMPARE(chmod(QFile::encodeName(folder.path()).constData(), mode_t(folderMode)), 0);
    struct stat before, after;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
    const BudgetRecord record = recordWithEvery("new");
    const int exitCode = inChild([&] {
        if (!actAs(saver))
            return 200;
        return errorNumberOf([&] { writeBudgetFile(path, record); });
    });
    QCOMPARE(exitCode, 0);
    QCOMPARE(contentOf(path), encodeBudgetFile(record));
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &after), 0);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_nlink, before.st_nlink);
    if (secondName)
        QCOMPARE(contentOf(other), encodeBudgetFile(record));
    QCOMPARE(filesIn(folder.path()).size(), secondName ? 2 : 1);
    QCOMPARE(chmod(QFile::encodeName(folder.path()).constData(), 0700), 0);
}

namespace {

// One step of a save made to fail (0 write, 1 flush, 2 cut): on the file with the inode
// `target`, or with `onCopy` on any other (its copy); a write lets `allowed` bytes through
// first. Unless `lasting`, the step fails once. What another program does `meanwhile` is
// done as that step is first met.
struct {
    int step;
    ino_t target;
    bool onCopy;
    qsizetype allowed;
    bool lasting;
    std::function<void()> meanwhile;
} fault;

bool hit(int fd, int step) {
    struct stat status;
    const bool met = fault.step == step && fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                     (status.st_ino == fault.target) != fault.onCopy;
    if (met && fault.meanwhile)
        std::exchange(fault.meanwhile, {})();
    return met;
}

int failed(int error) {
    fault.step = fault.lasting ? fault.step : -1;
    errno = error;
    return -1;
}

const FileSteps faultySteps{
    [](int fd, const void* data, size_t size, off_t offset) -> ssize_t {
        if (hit(fd, 0) && fault.allowed == 0)
            return failed(ENOSPC);
        if (hit(fd, 0))
            fault.allowed -= size = std::min(size, size_t(fault.allowed));
        return ::pwrite(fd, data, size, offset);
    },
    [](int fd) { return hit(fd, 1) ? failed(EIO) : ::fsync(fd); },
    [](int fd, off_t length) { return hit(fd, 2) ? failed(EIO) : ::ftruncate(fd, length); },
};

} // namespace

void BudgetFileTest::failedSaveInPlaceKeepsTheOldYear_data() {
    QTest::addColumn<int>("step"); // -1: none
    QTest::addColumn<bool>("onCopy");
    QTest::addColumn<int>("allowed");
    QTest::addColumn<bool>("lasting");
    QTest::addColumn<QString>("copyIn"); // "beside"; else the folder has no write bits: "state"
                                         // folder, or "nowhere", where none can be made
    QTest::addColumn<int>("error");      // 0: saved
    QTest::newRow("saved, copy removed") << -1 << false << 0 << false << "beside" << 0;
    QTest::newRow("saved, copy in the state folder removed")
        << -1 << false << 0 << false << "state" << 0;
    QTest::newRow("copy not written beside it: in the state folder")
        << 0 << true << 9 << false << "beside" << 0;
    QTest::newRow("copy not written: refused") << 0 << true << 9 << true << "beside" << ENOSPC;
    QTest::newRow("copy not flushed: refused") << 1 << true << 0 << true << "state" << EIO;
    QTest::newRow("no state folder: refused") << -1 << false << 0 << false << "nowhere" << ENOTDIR;
    QTest::newRow("write fails at once") << 0 << false << 0 << false << "beside" << ENOSPC;
    QTest::newRow("write fails after 1000 bytes")
        << 0 << false << 1000 << false << "state" << ENOSPC;
    QTest::newRow("flush fails") << 1 << false << 0 << false << "beside" << EIO;
    QTest::newRow("cut fails") << 2 << false << 0 << false << "beside" << EIO;
    QTest::newRow("write and put-back fail") << 0 << false << 1000 << true << "beside" << ENOSPC;
    QTest::newRow("cut and put-back fail, state folder")
        << 2 << false << 0 << true << "state" << EIO;
}

// The file has a second name, so it is written in place.
void BudgetFileTest::failedSaveInPlaceKeepsTheOldYear() {
    QFETCH(int, step);
    QFETCH(bool, onCopy);
    QFETCH(int, allowed);
    QFETCH(bool, lasting);
    QFETCH(QString, copyIn);
    QFETCH(int, error);
    QTemporaryDir folder;
    const QString path = folder.filePath("year.txt");
    const QByteArray old = QByteArray("old year\r\n").repeated(3000),
                     folderName = QFile::encodeName(folder.path()),
                     stateHome = qgetenv("XDG_STATE_HOME");
    put(path, old);
    QCOMPARE(link(QFile::encodeName(path).constData(), folderName + "/second.txt"), 0);
    QCOMPARE(chmod(folderName, copyIn == "beside" ? 0700 : 0555), 0);
    if (copyIn == "nowhere") // the state folder would have to be made below a plain file
        qputenv("XDG_STATE_HOME", QFile::encodeName(path));
    struct stat status;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    fault = {step, status.st_ino, onCopy, allowed, lasting, {}};
    const FileSteps real = std::exchange(fileSteps, faultySteps);
    const BudgetRecord record = recordWithEvery("new year");
    const QString state = QFile::decodeName(stateFolder());
    const QString message = errorOf([&] { writeBudgetFile(path, record); });
    fileSteps = real;
    qputenv("XDG_STATE_HOME", stateHome);
    QCOMPARE(chmod(folderName, 0700), 0);

    if (lasting && !onCopy) {
        verifyKeptCopy(message, error, copyIn == "beside" ? folder.path() : state, old);
    } else if (error && (onCopy || copyIn == "nowhere")) { // the message says where it tried
        QCOMPARE(message, InOutError::messageFor(error) +
                              ": no copy of the old year could be made in " +
                              (copyIn == "beside" ? folder.path() + " nor in " : "") + state +
                              ", so the file was not written");
        QCOMPARE(contentOf(path), old);
    } else {
        QCOMPARE(message, error ? InOutError::messageFor(error) : "no error");
        QCOMPARE(contentOf(path), error ? old : encodeBudgetFile(record));
    }
    QCOMPARE(filesIn(folder.path()), (QStringList{"second.txt", "year.txt"}));
    QVERIFY(filesIn(QFile::decodeName(stateFolder())).isEmpty());
}

// A browser's attribute on a download is copied onto the new file, which then takes the
// year's place whole (a new inode) instead of the year being overwritten.
void BudgetFileTest::attributeNoLongerForcesASaveInPlace() {
    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.filePath("year.txt")),
                     url = "https://example.org/y";
    put(folder.filePath("year.txt"), "old\r\n");
    if (setxattr(path, "user.xdg.origin.url", url.constData(), url.size(), 0) != 0)
        QSKIP("this file system takes no user attributes");
    struct stat before, after;
    QCOMPARE(::stat(path, &before), 0);
    QCOMPARE(errorOf([&] { writeBudgetFile(folder.filePath("year.txt"), BudgetRecord{}); }),
             "no error");
    QCOMPARE(::stat(path, &after), 0);
    QVERIFY(after.st_ino != before.st_ino);
    QByteArray kept(100, 0);
    kept.resize(qMax(0, int(getxattr(path, "user.xdg.origin.url", kept.data(), kept.size()))));
    QCOMPARE(kept, url);
    QCOMPARE(contentOf(folder.filePath("year.txt")), encodeBudgetFile(BudgetRecord{}));
}

void BudgetFileTest::refusedRenameSavesInPlace_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("mounted"); // another file is mounted onto it
    QTest::newRow("bind-mounted file (EBUSY)") << "year.txt" << true << true;
    QTest::newRow("longest name, existing file") << QString(255, 'y') << true << false;
    QTest::newRow("longest name, new file (ENAMETOOLONG)") << QString(255, 'y') << false << false;
}

void BudgetFileTest::refusedRenameSavesInPlace() {
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFETCH(bool, mounted);
    QTemporaryDir folder;
    const QString path = folder.filePath(name), other = folder.filePath("other.txt");
    if (exists)
        put(path, "old\r\n");
    if (mounted)
        put(other, "mounted\r\n");
    const QByteArray saved = encodeBudgetFile(recordWithEvery("new"));
    const int exitCode = inChild([&] {
        if (mounted && (unshare(CLONE_NEWNS) != 0 ||
                        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                        mount(QFile::encodeName(other), QFile::encodeName(path), nullptr, MS_BIND,
                              nullptr) != 0))
            return 200;
        const int error = errorNumberOf([&] { writeBudgetFile(path, recordWithEvery("new")); });
        return error ? error : contentOf(path) == saved ? 0 : 201;
    });
    if (exitCode == 200)
        QSKIP("no private mount possible here");
    QCOMPARE(exitCode, 0);
    QCOMPARE(contentOf(mounted ? other : path), saved);
    QCOMPARE(filesIn(folder.path()).size(), mounted ? 2 : 1);
    QVERIFY(filesIn(QFile::decodeName(stateFolder())).isEmpty());
}

void BudgetFileTest::lockedYearIsNeitherReadNorWritten_data() {
    QTest::addColumn<std::optional<LockHolder::Kind>>("lock"); // another program's
    QTest::addColumn<bool>("saving");                          // else opening
    QTest::addColumn<bool>("secondName");                      // saved in place
    QTest::addColumn<int>("error");
    const auto read = std::optional(LockHolder::Kind::Read),
               write = std::optional(LockHolder::Kind::Write);
    QTest::newRow("save, unlocked") << std::optional<LockHolder::Kind>() << true << false << 0;
    QTest::newRow("save, read-locked") << read << true << false << EAGAIN;
    QTest::newRow("save, write-locked") << write << true << false << EAGAIN;
    QTest::newRow("save in place, read-locked") << read << true << true << EAGAIN;
    QTest::newRow("open, read-locked") << read << false << false << 0;
    QTest::newRow("open, write-locked") << write << false << false << EAGAIN;
}

// Another program's lock refuses what it does not share, and nothing is copied, written or
// read then.
void BudgetFileTest::lockedYearIsNeitherReadNorWritten() {
    QFETCH(std::optional<LockHolder::Kind>, lock);
    QFETCH(bool, saving);
    QFETCH(bool, secondName);
    QFETCH(int, error);
    QTemporaryDir folder;
    const QString path = folder.filePath("year.txt");
    const BudgetRecord old = recordWithEvery("old"), fresh = recordWithEvery("new");
    put(path, encodeBudgetFile(old));
    if (secondName)
        QCOMPARE(link(QFile::encodeName(path).constData(),
                      QFile::encodeName(folder.filePath("second.txt")).constData()),
                 0);
    std::optional<LockHolder> holder;
    if (lock)
        QVERIFY(holder.emplace(path, *lock).holds());
    BudgetRecord record = recordWithEvery("kept");
    const QString message =
        errorOf([&] { saving ? writeBudgetFile(path, fresh) : readBudgetFile(path, record); });
    QCOMPARE(message, error ? InOutError::messageFor(error) : "no error");
    QCOMPARE(contentOf(path), encodeBudgetFile(saving && !error ? fresh : old));
    QVERIFY(record == (saving || error ? recordWithEvery("kept") : old));
    QCOMPARE(filesIn(folder.path()).size(), secondName ? 2 : 1);
    QVERIFY(filesIn(QFile::decodeName(stateFolder())).isEmpty());
}

void BudgetFileTest::saveInPlaceBesideAnotherProgram_data() {
    QTest::addColumn<bool>("replaced");   // else the other program saves the same year too
    QTest::addColumn<bool>("secondName"); // else the folder has no write bits
    QTest::newRow("another save meanwhile is refused") << false << true;
    QTest::newRow("replaced before the write fails, the year has a second name") << true << true;
    QTest::newRow("replaced before the write fails, the year has no other name") << true << false;
}

// While a year is written in place, another program saves onto it, or puts a file of its
// own in its place, and then the write fails. One save wins whole; the other file is never
// written over; the year is whole, or its copy is kept and named.
void BudgetFileTest::saveInPlaceBesideAnotherProgram() {
    QFETCH(bool, replaced);
    QFETCH(bool, secondName);
    QTemporaryDir folder;
    const QString path = folder.filePath("year.txt"), second = folder.filePath("second.txt"),
                  theirs = folder.filePath("theirs.txt");
    const QByteArray old = encodeBudgetFile(recordWithEvery("old")),
                     ours = encodeBudgetFile(recordWithEvery("ours")),
                     folderName = QFile::encodeName(folder.path());
    put(path, old);
    put(theirs, "their file\r\n");
    if (secondName)
        QCOMPARE(link(QFile::encodeName(path).constData(), QFile::encodeName(second).constData()),
                 0);
    QCOMPARE(chmod(folderName, secondName ? 0700 : 0555), 0);
    struct stat status;
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    QString theirMessage;
    fault = {0, status.st_ino, false, replaced ? 0 : 1 << 30, false, [&] {
                 if (replaced)
                     QCOMPARE(rename(QFile::encodeName(theirs), QFile::encodeName(path)), 0);
                 else
                     theirMessage =
                         errorOf([&] { writeBudgetFile(path, recordWithEvery("theirs")); });
             }};
    const FileSteps real = std::exchange(fileSteps, faultySteps);
    const QString message = errorOf([&] { writeBudgetFile(path, recordWithEvery("ours")); });
    fileSteps = real;
    QCOMPARE(chmod(folderName, 0700), 0);

    if (!replaced) {
        QCOMPARE(theirMessage, InOutError::messageFor(EAGAIN));
        QCOMPARE(message, "no error");
        QCOMPARE(contentOf(path), ours);
        QCOMPARE(contentOf(second), ours);
        return;
    }
    QCOMPARE(contentOf(path), "their file\r\n");
    if (secondName) {
        QCOMPARE(message, InOutError::messageFor(ENOSPC));
        QCOMPARE(contentOf(second), old);
        QVERIFY(filesIn(QFile::decodeName(stateFolder())).isEmpty());
    } else {
        verifyKeptCopy(message, ENOSPC, QFile::decodeName(stateFolder()), old);
    }
}

// Run by tests/copy-on-write/run.sh on a small btrfs file system mounted at
// $PENVORO_COPY_ON_WRITE_FOLDER, filled up to a few KiB: there overwriting needs space of its
// own, so a save in place may fail, and so may putting the old year back. The old year must
// stay whole: in the file, or in the copy the message names.
void BudgetFileTest::copyOnWriteDiskKeepsTheOldYear() {
    const QString disk = qEnvironmentVariable("PENVORO_COPY_ON_WRITE_FOLDER"),
                  path = disk + "/year.txt";
    if (disk.isEmpty())
        QSKIP("run by tests/copy-on-write/run.sh on a btrfs file system");
    const QByteArray old = encodeBudgetFile(recordWithEvery("old year, longer text")),
                     newYear = encodeBudgetFile(recordWithEvery(QString(60, 'n')));
    const QString kept = "I/O error 28: the old contents could not be put back; they are kept in ";
    int saved = 0; // the space runs from too little for any save to enough
    for (int spare = 0; spare <= 320; spare += 16) {
        for (const QString& name : filesIn(disk))
            QVERIFY(QFile::remove(disk + '/' + name));
        put(path, old);
        QCOMPARE(link(QFile::encodeName(path), QFile::encodeName(disk + "/second.txt")), 0);
        put(disk + "/spare", QByteArray(spare * 1024, 's'));
        QFile filler(disk + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (const int chunk : {1 << 20, 4096})
            while (filler.write(QByteArray(chunk, 'f')) == chunk && fsync(filler.handle()) == 0) {
            }
        QVERIFY(QFile::remove(disk + "/spare"));
        sync();
        const QString message =
            errorOf([&] { writeBudgetFile(path, recordWithEvery(QString(60, 'n'))); });
        const QString copy = message.startsWith(kept) ? message.mid(kept.size()) : QString();
        QVERIFY2(contentOf(copy.isEmpty() ? path : copy) == (message == "no error" ? newYear : old),
                 qPrintable(QString("%1 KiB spare: %2").arg(spare).arg(message)));
        QVERIFY(copy.isEmpty() || QFile::remove(copy));
        QCOMPARE(contentOf(disk + "/second.txt"), contentOf(path));
        QCOMPARE(filesIn(disk), (QStringList{"filler", "second.txt", "year.txt"}));
        QVERIFY(filesIn(QFile::decodeName(stateFolder())).isEmpty());
        saved += message == "no error";
    }
    QVERIFY2(saved > 0 && saved < 21, qPrintable(QString("%1 of 21 saves made").arg(saved)));
}

// U+FEFF at the start of a text (pasted from elsewhere) is one of its characters: reading a
// UTF-8 file must not skip it as a byte-order mark at the start of each line.
// A mark at the very start of a UTF-8 file tells the encoding and is no text (an editor
// may put one there); any other is a character of its text, also one that starts the year's
// first text, and the year comes back from its file byte for byte.
void BudgetFileTest::byteOrderMarksAreKeptAsCharacters() {
    const QString mark(QChar(0xFEFF));
    const QByteArray bom = "\xEF\xBB\xBF";
    BudgetRecord record;
    record.text(1, 1) = mark + QString::fromUtf8("5 zł");
    record.text(2, 3) = mark;
    record.note(1, 1) = "a" + mark;
    record.note(13, 100) = mark + mark + "x";
    const QByteArray file = encodeBudgetFile(record);
    QVERIFY(file.startsWith(bom + bom + "5 z\xC5\x82\r\n"));
    BudgetRecord read = recordWithEvery("stale");
    decodeBudgetFile(file, read);
    QVERIFY(read == record);
    QCOMPARE(encodeBudgetFile(read), file);

    decodeBudgetFile(bom + "12.5\r\n" + bom + "\r\n\xC5\x82\r\n", read);
    QCOMPARE(read.text(1, 1), "12.5");
    QCOMPARE(read.text(1, 2), mark);
    QCOMPARE(read.text(1, 3), QString::fromUtf8("ł"));
    // In a Windows-1252 file the same bytes are three characters of the text.
    decodeBudgetFile(bom + "12.5\r\n\xE9\r\n", read);
    QCOMPARE(read.text(1, 1), QString::fromUtf8("ï»¿12.5"));
}

QTEST_GUILESS_MAIN(BudgetFileTest)

#include "tst_budgetfile.moc"
