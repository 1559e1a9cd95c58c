#include "support/ScriptedDialogs.h"

#include "platform/Errors.h"
#include "platform/PageFit.h"

#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The next scripted answer, or `fallback` and a failed test when none is left.
template <class Answer>
Answer next(std::deque<Answer>& answers, const QString& what, Answer fallback) {
    if (answers.empty()) {
        QTest::qFail(qPrintable("unscripted " + what), __FILE__, __LINE__);
        return fallback;
    }
    std::swap(fallback, answers.front());
    answers.pop_front();
    return fallback;
}

} // namespace

ScriptedDialogs::ScriptedDialogs() = default;
ScriptedDialogs::~ScriptedDialogs() = default;

void ScriptedDialogs::record(const QString& entry) {
    shown << entry;
    if (onShown)
        onShown(entry);
}

Dialogs::Answer ScriptedDialogs::confirm(const QString& question) {
    record(QStringLiteral("confirm: ") + question);
    return next(confirmAnswers, "question: " + question, Answer::No);
}

void ScriptedDialogs::notice(const QString& text) {
    record(QStringLiteral("notice: ") + text);
}

void ScriptedDialogs::error(const QString& text) {
    record(QStringLiteral("error: ") + text);
}

QString ScriptedDialogs::input(const QString& caption, const QString& prompt,
                               const QString& defaultText) {
    record(QStringLiteral("input: ") + caption + QLatin1Char('|') + prompt);
    return next(inputAnswers, "input box: " + prompt, defaultText);
}

std::optional<QString> ScriptedDialogs::saveFileName(QWidget*, const QString& lastName) {
    record(QStringLiteral("save: ") + lastName);
    return next(saveAnswers, QStringLiteral("save dialog"), std::optional<QString>());
}

std::optional<QString> ScriptedDialogs::openFileName(QWidget*, const QString& lastName) {
    record(QStringLiteral("open: ") + lastName);
    return next(openAnswers, QStringLiteral("open dialog"), std::optional<QString>());
}

bool ScriptedDialogs::printDialog(QWidget*, QPrinter& printer) {
    if (!hasPrinter)
        throw NoDefaultPrinter();
    record(QStringLiteral("print"));
    const bool answer = next(printAnswers, QStringLiteral("print dialog"), false);
    if (answer && printer.outputFormat() != QPrinter::PdfFormat)
        printer.setOutputFormat(QPrinter::PdfFormat);
    return answer;
}

void ScriptedDialogs::printPage(QPrinter& printer, const QImage& image) {
    // Without a folder of the test's own, pages go to a folder of this process, so tests
    // running side by side never write the same file.
    if (printFolder.isEmpty() && !ownFolder_)
        ownFolder_ = std::make_unique<QTemporaryDir>();
    const QString folder = printFolder.isEmpty() ? ownFolder_->path() : printFolder;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(
        QDir(folder).filePath(QStringLiteral("page-%1.pdf").arg(pages.size() + 1)));
    Dialogs::printPage(printer, image);
    const QRect printable = printableArea(printer.pageLayout(), printer.resolution());
    pages.append({printer.outputFileName(), image.size(),
                  QRect(printable.topLeft(), fitToPage(image.size(), printable.size())),
                  printer.copyCount()});
}

bool ScriptedDialogs::allAnswersUsed() const {
    return confirmAnswers.empty() && inputAnswers.empty() && saveAnswers.empty() &&
           openAnswers.empty() && printAnswers.empty();
}

ScriptedDialogs& installScriptedDialogs() {
    auto scripted = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs& reference = *scripted;
    installDialogs(std::move(scripted));
    return reference;
}
