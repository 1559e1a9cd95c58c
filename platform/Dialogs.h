#pragma once

#include <QString>

#include <memory>
#include <optional>

class QImage;
class QPrinter;
class QWidget;

// Every modal box, file dialog and print dialog of the program goes through this one
// seam. The program installs the Qt implementation at start-up; tests install a
// scripted one that answers in order and records what was asked.
class Dialogs {
public:
    enum class Answer { Yes, No, Closed };

    virtual ~Dialogs() = default;

    // The confirmation box: title "Confirm", question icon, "&Yes" (default) and
    // "&No" (Escape); closing the box gives Closed.
    virtual Answer confirm(const QString& question) = 0;

    // A notice with one OK button and no icon, titled with the application title.
    virtual void notice(const QString& text) = 0;

    // The error box: stop icon, one OK button, the application title as its title.
    // The text arrives complete, period included.
    virtual void error(const QString& text) = 0;

    // The one-line input box: the typed text on OK, the default otherwise.
    virtual QString input(const QString& caption, const QString& prompt,
                          const QString& defaultText) = 0;

    // The save and open dialogs; each starts from the name of its own last use.
    // No filter, no default extension, no overwrite question. Empty on cancel.
    virtual std::optional<QString> saveFileName(QWidget* owner, const QString& lastName) = 0;
    virtual std::optional<QString> openFileName(QWidget* owner, const QString& lastName) = 0;

    // The print dialog on the current printer: true on OK, which keeps the choice in
    // the printer. Throws NoDefaultPrinter when there is no printer at all.
    virtual bool printDialog(QWidget* owner, QPrinter& printer) = 0;

    // One print job of one page on the printer: the image drawn from the top-left
    // corner of the printable area at the size that fits the page.
    virtual void printPage(QPrinter& printer, const QImage& image);
};

Dialogs& dialogs();
void installDialogs(std::unique_ptr<Dialogs> implementation);
