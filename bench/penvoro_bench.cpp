// Times what a user waits for once the program runs: switching between two sheets,
// "Add all months up" on the year sheet, saving and opening a full year, and opening the
// worst years the reader accepts (every text as long as a text may be) until January is
// painted, and files it refuses. The windows are created as at start-up; every box is
// answered silently.
// First it breaks Penvoro's start-up down into its steps, launching itself a number of
// times and creating the windows step by step in the order start-up creates them.
//
//   penvoro_bench [repetitions]      (200 by default; run it on a real display)
#include "app/MainMenu.h"
#include "app/Startup.h"
#include "budget/BudgetFile.h"
#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "month/Saving.h"
#include "month/Sheet.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/TextLength.h"
#include "year/YearSheet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

// Answers every box at once and shows nothing: Yes to questions, Cancel to dialogs but
// the open dialog, which answers `openName` when one is set.
class SilentDialogs : public Dialogs {
public:
    std::optional<QString> openName;
    QString lastError;
    bool errorsExpected = false;

    Answer confirm(const QString&) override { return Answer::Yes; }
    void notice(const QString&) override {}
    void error(const QString& text) override {
        lastError = text;
        if (!errorsExpected)
            std::fprintf(stderr, "unexpected error box: %s\n", qPrintable(text));
    }
    QString input(const QString&, const QString&, const QString& defaultText) override {
        return defaultText;
    }
    std::optional<QString> saveFileName(QWidget*, const QString&) override { return {}; }
    std::optional<QString> openFileName(QWidget*, const QString&) override { return openName; }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
};

// Notices the first paint inside a window after it was shown (the window's own area is
// covered by its panel, so the paint events go to the widgets in it).
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* window)
        : window_(window) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~PaintWatch() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() == QEvent::Paint && target->isWidgetType() &&
            static_cast<QWidget*>(target)->window() == window_)
            painted = true;
        return false;
    }

private:
    QWidget* window_;
};

struct Figures {
    double median;
    double p90;
    double min;
};

Figures figuresOf(std::vector<double> milliseconds) {
    std::sort(milliseconds.begin(), milliseconds.end());
    const auto at = [&](double fraction) {
        return milliseconds[std::min(milliseconds.size() - 1,
                                     std::size_t(fraction * double(milliseconds.size())))];
    };
    const std::size_t n = milliseconds.size();
    const double median =
        n % 2 ? milliseconds[n / 2] : (milliseconds[n / 2 - 1] + milliseconds[n / 2]) / 2;
    return {median, at(0.9), milliseconds.front()};
}

// Times `action` `repetitions` times after `warmUps` untimed ones, each after an untimed
// `prepare`.
std::vector<double> timed(
    int repetitions, const std::function<void()>& action,
    const std::function<void()>& prepare = [] {}, int warmUps = 5) {
    std::vector<double> samples;
    samples.reserve(std::size_t(repetitions));
    QElapsedTimer timer;
    for (int round = -warmUps; round < repetitions; ++round) {
        prepare();
        timer.start();
        action();
        const double elapsed = double(timer.nsecsElapsed()) / 1e6;
        if (round >= 0)
            samples.push_back(elapsed);
    }
    return samples;
}

void report(const char* name, const std::vector<double>& samples, double goal) {
    const Figures figures = figuresOf(samples);
    const char* verdict = goal <= 0 ? "" : figures.median < goal ? "met" : "MISSED";
    char goalText[32] = "";
    if (goal > 0)
        std::snprintf(goalText, sizeof goalText, "< %g ms", goal);
    std::printf("%-46s %9.3f %9.3f %9.3f   %-9s %s\n", name, figures.median, figures.p90,
                figures.min, goalText, verdict);
    std::fflush(stdout);
}

// Every notes box holds 100 short lines, each different from every other line and from
// those of every earlier round.
void writeNotes() {
    static int round = 0;
    ++round;
    for (int sheet = 1; sheet <= calendar::SheetCount; ++sheet) {
        QString notes;
        for (int line = 1; line <= BudgetRecord::NoteLineCount; ++line)
            notes +=
                QStringLiteral("%1/%2/%3: bus pass and books\n").arg(round).arg(sheet).arg(line);
        calendar::sheetAt(sheet)->view().notes->setPlainText(notes);
    }
}

// Every notes box holds 50 paragraphs that each wrap into two lines, new in every round.
void writeLongNotes() {
    static int round = 0;
    ++round;
    for (int sheet = 1; sheet <= calendar::SheetCount; ++sheet) {
        QString notes;
        for (int paragraph = 1; paragraph <= BudgetRecord::NoteLineCount / 2; ++paragraph)
            notes += QStringLiteral("%1/%2/%3: the bus pass for the term, two books for the "
                                    "statistics course and a lamp\n")
                         .arg(round)
                         .arg(sheet)
                         .arg(paragraph);
        calendar::sheetAt(sheet)->view().notes->setPlainText(notes);
    }
}

// Every field of every sheet holds a number, every notes box 100 short lines.
void fillEverySheet() {
    for (int sheet = 1; sheet <= calendar::SheetCount; ++sheet) {
        const SheetView& view = calendar::sheetAt(sheet)->view();
        for (int item = 0; item < SheetView::ItemCount; ++item)
            view.items[item]->setText(QStringLiteral("%1.%2")
                                          .arg(100 + sheet * 7 + item)
                                          .arg((sheet * 13 + item) % 100, 2, 10, QLatin1Char('0')));
        view.currency->setText(QStringLiteral("EUR"));
        view.earnedTotal->setText(QStringLiteral("1234.56 EUR"));
        view.spendTotal->setText(QStringLiteral("987.65 EUR"));
        view.balance->setText(QStringLiteral("246.91 EUR"));
        view.yearCaption->setText(QStringLiteral("2024"));
    }
    writeNotes();
}

// `characters` repeated to `length` UTF-16 units, never ending inside a surrogate pair.
QString repeatedTo(const QString& characters, int length) {
    QString text = characters.repeated(length / characters.size() + 1).left(length);
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.back() = QLatin1Char('W');
    return text;
}

// The worst years the reader accepts: every slot and note line as long as a text may be,
// without a blank, all of one kind of character.
struct WorstYear {
    const char* name;
    QString characters;
};

const std::vector<WorstYear>& worstYears() {
    static const std::vector<WorstYear> years = {
        {"W, Windows-1252", QStringLiteral("W")},
        {"emoji, UTF-8 (4 bytes)", QStringLiteral("\U0001F600")},
        {"Arabic, joined", QStringLiteral("\u0634")},
        {"combining marks", QStringLiteral("e\u0301\u0308\u0323")},
        {"CJK, in no font here (3 bytes)", QStringLiteral("\u4E2D")},
        {"Hebrew and CJK by turns", QStringLiteral("\u05E9\u4E2D")},
        {"eight scripts no font here has",
         QStringLiteral("\u4E2D\uD55C\u0915\u0E01\u1780\u0F40\u1000\u0D15")},
        {"right to left and missing by turns",
         QStringLiteral("\u05E9\u4E2D\u0634\uD55C\u0E01\u1780\u0F40\u1000")},
    };
    return years;
}

// Every entry of the year holds `text`, or as much of it as the entry holds (the currency).
BudgetRecord yearOf(const QString& text) {
    BudgetRecord year;
    for (int sheet = 1; sheet <= BudgetRecord::SheetCount; ++sheet) {
        for (int slot = 1; slot <= BudgetRecord::SlotCount; ++slot)
            year.text(sheet, slot) =
                repeatedTo(text, std::min<int>(text.size(), BudgetRecord::longestText(slot)));
        for (int line = 1; line <= BudgetRecord::NoteLineCount; ++line)
            year.note(sheet, line) = text;
    }
    return year;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// "Open file" on the main menu, as the user starts it, until January is painted: once per
// worst year the reader accepts, then for files it refuses.
void reportOpening(SilentDialogs& silent, const QString& folder, int repetitions) {
    const int length = LongestText;
    std::printf("\n\"Open file\" until January is painted, every slot and note line %d "
                "characters long\n",
                length);
    PaintWatch watch(Form2);
    const BudgetRecord fresh = yearOf(QStringLiteral("earned"));
    const auto prepare = [&] {
        putBack(fresh);
        Form2->hide();
        Form1->show();
        QCoreApplication::processEvents();
        watch.painted = false;
        silent.lastError.clear();
    };
    const auto open = [&] {
        guarded([] { Form1->Button52Click(); });
        QElapsedTimer limit;
        limit.start();
        while (!(Form2->isVisible() && Form2->windowHandle()->isExposed() && watch.painted) &&
               !Form1->isVisible() && limit.elapsed() < 60000)
            QCoreApplication::processEvents();
    };
    const QString path = folder + QStringLiteral("/worst.txt");
    for (const WorstYear& year : worstYears()) {
        const QByteArray file = encodeBudgetFile(yearOf(repeatedTo(year.characters, length)));
        if (!writeFile(path, file))
            return;
        silent.openName = path;
        char name[96];
        std::snprintf(name, sizeof name, "  %s, %.1f MiB", year.name,
                      double(file.size()) / (1 << 20));
        report(name, timed(repetitions, open, prepare, 1), 1000);
        if (!silent.lastError.isEmpty())
            std::printf("    refused: %s\n", qPrintable(silent.lastError));
    }

    // The last and worst of them again, every line end preceded by as many CRs (which the
    // reader drops) as fill the file up to the size it still opens.
    const QString worst = repeatedTo(worstYears().back().characters, length);
    const QByteArray worstFile = encodeBudgetFile(yearOf(worst));
    const qsizetype padding = (LargestBudgetFile - worstFile.size()) / BudgetRecord::LineCount;
    QByteArray padded = worstFile;
    padded.replace("\r\n", QByteArray(padding, '\r') + "\r\n");
    if (!writeFile(path, padded))
        return;
    char name[96];
    std::snprintf(name, sizeof name, "  the same, padded with CRs to %.1f MiB",
                  double(padded.size()) / (1 << 20));
    report(name, timed(repetitions, open, prepare, 1), 1000);
    BudgetRecord read;
    const auto readFile = [&] { readBudgetFile(path, read); };
    report("    read the file", timed(repetitions, readFile, prepare, 1), 0);
    const auto putBackRead = [&] { putBack(read); };
    report("    put back into the sheets", timed(repetitions, putBackRead, prepare, 1), 0);
    const auto putBackUnshown = [&] {
        prepare();
        putBack(read);
    };
    const auto showJanuary = [&] {
        Form1->hide();
        Form2->show();
        while (!(Form2->windowHandle()->isExposed() && watch.painted))
            QCoreApplication::processEvents();
    };
    report("    show January until painted", timed(repetitions, showJanuary, putBackUnshown, 1), 0);

    std::printf("Files it refuses, until the error box\n");
    silent.errorsExpected = true;
    BudgetRecord oneTooLong = yearOf(QStringLiteral("earned"));
    oneTooLong.note(13, 100) = QString(LongestText + 1, QLatin1Char('W'));
    const QByteArray lastLineTooLong = encodeBudgetFile(oneTooLong);
    const QByteArray oneHugeLine(LargestBudgetFile, 'W');
    for (const auto& [name, bytes] :
         {std::pair{"  the last line one character too long", &lastLineTooLong},
          std::pair{"  one line of 64 MiB (the largest file opened)", &oneHugeLine}}) {
        if (!writeFile(path, *bytes))
            return;
        report(name, timed(repetitions, open, prepare, 1), 1000);
        if (silent.lastError.isEmpty())
            std::printf("    not refused\n");
    }
    silent.errorsExpected = false;
    silent.openName.reset();
}

// Qt warns for every font and script when it shapes a text in a script that no installed
// font supports, and the worst years are made of such texts.
QtMessageHandler defaultMessageHandler = nullptr;
void withoutScriptWarnings(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (!message.contains(QLatin1String("OpenType support missing for")))
        defaultMessageHandler(type, context, message);
}

using Clock = std::chrono::steady_clock;
constexpr const char* LaunchedVariable = "PENVORO_BENCH_LAUNCHED_NS";
constexpr const char* StartupOnce = "--startup-once";

long long nanosecondsOf(Clock::time_point point) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(point.time_since_epoch()).count();
}

// One start-up, step by step as startUp() takes them; prints each
// step's microseconds as "step<TAB>microseconds" lines.
int startupOnce(int argc, char* argv[], Clock::time_point entered) {
    std::vector<std::pair<const char*, long long>> steps;
    Clock::time_point last = entered;
    const auto mark = [&](const char* step) {
        const Clock::time_point now = Clock::now();
        steps.emplace_back(
            step, std::chrono::duration_cast<std::chrono::microseconds>(now - last).count());
        last = now;
    };
    const long long launched = qgetenv(LaunchedVariable).toLongLong();
    if (launched > 0)
        steps.emplace_back("launch to main() (loading libraries)",
                           (nanosecondsOf(entered) - launched) / 1000);

    QApplication application(argc, argv);
    installDialogs(std::make_unique<SilentDialogs>());
    mark("QApplication (platform, X connection)");
    createMainMenu();
    mark("main menu (resources, font substitutes)");

    // As the program starts: the main menu is shown and drawn, then the rest is made.
    PaintWatch watch(Form1);
    Form1->show();
    QElapsedTimer limit;
    limit.start();
    while (!(Form1->windowHandle()->isExposed() && watch.painted) && limit.elapsed() < 5000)
        QCoreApplication::processEvents();
    mark("show the main menu until mapped and painted");

    createOtherWindows();
    mark("the other fifteen windows, menu shown");

    for (const auto& [step, microseconds] : steps)
        std::printf("%s\t%lld\n", step, microseconds);
    std::fflush(stdout);
    destroyAllWindows();
    return 0;
}

// Launches this program `launches` times for one start-up each and prints each step's
// median.
void startupBreakdown(const QString& self, int launches) {
    std::vector<QString> order;
    std::map<QString, std::vector<double>> samples;
    for (int launch = 0; launch < launches; ++launch) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const Clock::time_point launched = Clock::now();
        environment.insert(QString::fromLatin1(LaunchedVariable),
                           QString::fromStdString(std::to_string(nanosecondsOf(launched))));
        child.setProcessEnvironment(environment);
        child.start(self, {QString::fromLatin1(StartupOnce)});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            std::fprintf(stderr, "a start-up launch failed: %s\n",
                         child.readAllStandardError().constData());
            return;
        }
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() != 2)
                continue;
            const QString step = QString::fromUtf8(fields[0]);
            if (!samples.count(step))
                order.push_back(step);
            samples[step].push_back(double(fields[1].toLongLong()) / 1000);
        }
    }
    std::printf("Start-up, step by step (median of %d launches, ms)\n", launches);
    double total = 0;
    for (const QString& step : order) {
        const double median = figuresOf(samples[step]).median;
        total += median;
        std::printf("  %-44s %9.1f\n", qPrintable(step), median);
    }
    std::printf("  %-44s %9.1f\n\n", "sum of the medians", total);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    const Clock::time_point entered = Clock::now();
    defaultMessageHandler = qInstallMessageHandler(withoutScriptWarnings);
    if (qEnvironmentVariableIsEmpty("QT_FONT_DPI"))
        qputenv("QT_FONT_DPI", "96");
    if (argc > 1 && qstrcmp(argv[1], StartupOnce) == 0)
        return startupOnce(argc, argv, entered);
    startupBreakdown(QStringLiteral("/proc/self/exe"), 15);

    QApplication application(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    auto silentDialogs = std::make_unique<SilentDialogs>();
    SilentDialogs& silent = *silentDialogs;
    installDialogs(std::move(silentDialogs));
    createAllWindows();
    Form1->show();
    QCoreApplication::processEvents();

    std::printf("Penvoro benchmark on the \"%s\" platform, %d repetitions, times in ms\n",
                qPrintable(QGuiApplication::platformName()), repetitions);
    std::printf("%-46s %9s %9s %9s   %s\n", "", "median", "p90", "min", "goal");

    // Sheet switches, as ">>" and "<<" do them: January to February and back.
    Form1->hide();
    Form2->show();
    QCoreApplication::processEvents();
    bool onJanuary = true;
    const auto switchSheets = [&] {
        QWidget* from = onJanuary ? static_cast<QWidget*>(Form2) : Form3;
        QWidget* to = onJanuary ? static_cast<QWidget*>(Form3) : Form2;
        from->hide();
        to->show();
        QCoreApplication::processEvents();
        onJanuary = !onJanuary;
    };
    report("sheet switch (hide, show, process events)", timed(repetitions, switchSheets), 16);

    PaintWatch watchFebruary(Form3);
    PaintWatch watchJanuary(Form2);
    const auto switchUntilPainted = [&] {
        PaintWatch& watch = onJanuary ? watchFebruary : watchJanuary;
        watch.painted = false;
        switchSheets();
        QElapsedTimer limit;
        limit.start();
        while (!watch.painted && limit.elapsed() < 1000)
            QCoreApplication::processEvents();
    };
    report("sheet switch, until the new sheet is painted", timed(repetitions, switchUntilPainted),
           16);

    BudgetRecord record;
    report("fill the record, fresh year (notes empty)",
           timed(repetitions, [&] { fillBudgetRecord(record); }), 0);

    fillEverySheet();
    QCoreApplication::processEvents();
    report("\"Add all months up\" (twenty items)",
           timed(repetitions, [] { Form14->Button3Click(); }), 0);

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("year.txt"));
    const auto fill = [&] { fillBudgetRecord(record); };
    report("fill the record, full year, every note new", timed(repetitions, fill, writeNotes), 0);
    report("fill the record, full year, notes as before", timed(repetitions, fill), 0);
    report("encode the file", timed(repetitions, [&] { (void)encodeBudgetFile(record); }), 0);
    report("write the file (new file, flush, replace)",
           timed(repetitions, [&] { writeBudgetFile(path, record); }), 0);
    const QString plainPath = folder.filePath(QStringLiteral("plain.txt"));
    report("  for comparison: the same bytes, no flush",
           timed(repetitions,
                 [&] {
                     QFile file(plainPath);
                     if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                         file.write(encodeBudgetFile(record));
                 }),
           0);
    const auto saveAll = [&] {
        fillBudgetRecord(record);
        writeBudgetFile(path, record);
    };
    report("Save All: fill and write, every note new", timed(repetitions, saveAll, writeNotes), 5);
    report("Save All: fill and write, notes as before", timed(repetitions, saveAll), 5);
    report("fill the record, every note a new wrapped one",
           timed(repetitions, fill, writeLongNotes), 0);
    report("Save All, every note a new wrapped one", timed(repetitions, saveAll, writeLongNotes),
           5);
    report("Save All, wrapped notes as before", timed(repetitions, saveAll), 5);
    writeNotes();

    BudgetRecord read;
    report("read the file", timed(repetitions, [&] { readBudgetFile(path, read); }), 0);
    report("put back into the sheets", timed(repetitions, [&] { putBack(read); }), 0);
    report("Open file: read and put back",
           timed(repetitions,
                 [&] {
                     readBudgetFile(path, read);
                     putBack(read);
                 }),
           5);
    if (!(read == record))
        std::fprintf(stderr, "the file read back differs from the record written\n");

    reportOpening(silent, folder.path(), std::max(1, std::min(repetitions, 5)));

    destroyAllWindows();
    return 0;
}
