#include "support/ScriptedDialogs.h"

#include "platform/Errors.h"
#include "platform/Printing.h"

#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QtTest>

void ScriptedDialogs::record(const QString& entry) {
    shown << entry;
    if (onShown)
        onShown(entry);
}

Dialogs::Answer ScriptedDialogs::confirm(const QString& question) {
    record(QStringLiteral("confirm: ") + question);
    if (confirmAnswers.empty()) {
        QTest::qFail(qPrintable("unscripted question: " + question), __FILE__, __LINE__);
        return Answer::No;
    }
    const Answer answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::notice(const QString& text) { record(QStringLiteral("notice: ") + text); }

void ScriptedDialogs::error(const QString& text) { record(QStringLiteral("error: ") + text); }

QString ScriptedDialogs::input(const QString& caption, const QString& prompt,
                               const QString& defaultText) {
    record(QStringLiteral("input: ") + caption + QLatin1Char('|') + prompt);
    if (inputAnswers.empty()) {
        QTest::qFail(qPrintable("unscripted input box: " + prompt), __FILE__, __LINE__);
        return defaultText;
    }
    const QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::saveFileName(QWidget*, const QString& lastName) {
    record(QStringLiteral("save: ") + lastName);
    if (saveAnswers.empty()) {
        QTest::qFail("unscripted save dialog", __FILE__, __LINE__);
        return std::nullopt;
    }
    const auto answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedDialogs::openFileName(QWidget*, const QString& lastName) {
    record(QStringLiteral("open: ") + lastName);
    if (openAnswers.empty()) {
        QTest::qFail("unscripted open dialog", __FILE__, __LINE__);
        return std::nullopt;
    }
    const auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

bool ScriptedDialogs::printDialog(QWidget*, QPrinter& printer) {
    if (!hasPrinter)
        throw NoDefaultPrinter();
    record(QStringLiteral("print"));
    if (printAnswers.empty()) {
        QTest::qFail("unscripted print dialog", __FILE__, __LINE__);
        return false;
    }
    const bool answer = printAnswers.front();
    printAnswers.pop_front();
    if (answer && printer.outputFormat() != QPrinter::PdfFormat)
        printer.setOutputFormat(QPrinter::PdfFormat);
    return answer;
}

void ScriptedDialogs::printPage(QPrinter& printer, const QImage& image) {
    const QString folder = printFolder.isEmpty() ? QDir::tempPath() : printFolder;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(
        QDir(folder).filePath(QStringLiteral("page-%1.pdf").arg(pages.size() + 1)));
    const QRect printable = printer.pageRect(QPrinter::DevicePixel).toRect();
    pages.append({printer.outputFileName(), image.size(),
                  QRect(QPoint(0, 0), fitToPage(image.size(), printable.size())),
                  printer.copyCount()});
    Dialogs::printPage(printer, image);
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
