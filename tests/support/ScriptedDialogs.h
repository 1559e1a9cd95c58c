#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

class QTemporaryDir;

// Answers the program's modal boxes and dialogs in the order the test scripted them,
// and records every box that was shown. A box that was not scripted fails the test.
class ScriptedDialogs : public Dialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

public:
    // What was shown, in order: "confirm: <question>", "notice: <text>",
    // "error: <text>", "input: <caption>|<prompt>", "save: <last>", "open: <last>",
    // "print".
    QStringList shown;

    std::deque<Answer> confirmAnswers;
    std::deque<QString> inputAnswers;
    // nullopt answers "Cancel".
    std::deque<std::optional<QString>> saveAnswers;
    std::deque<std::optional<QString>> openAnswers;
    std::deque<bool> printAnswers;
    bool hasPrinter = true;

    // Every page printed: the printer's output file, the image's size and the target
    // rectangle on the page. Pages go to PDF files in printFolder when it is set.
    struct Page {
        QString outputFile;
        QSize imageSize;
        QRect target;
        int copies;
    };
    QList<Page> pages;
    QString printFolder;

    // Runs when a box is shown, before it answers (for example to look at the screen).
    std::function<void(const QString&)> onShown;

    Answer confirm(const QString& question) override;
    void notice(const QString& text) override;
    void error(const QString& text) override;
    QString input(const QString& caption, const QString& prompt,
                  const QString& defaultText) override;
    std::optional<QString> saveFileName(QWidget* owner, const QString& lastName) override;
    std::optional<QString> openFileName(QWidget* owner, const QString& lastName) override;
    bool printDialog(QWidget* owner, QPrinter& printer) override;
    void printPage(QPrinter& printer, const QImage& image) override;

    // True when every scripted answer was used.
    bool allAnswersUsed() const;

private:
    void record(const QString& entry);
    std::unique_ptr<QTemporaryDir> ownFolder_;
};

// Installs a fresh ScriptedDialogs for the program and returns it.
ScriptedDialogs& installScriptedDialogs();
