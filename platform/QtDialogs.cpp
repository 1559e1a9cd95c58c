#include "platform/QtDialogs.h"

#include "platform/AppTitle.h"
#include "platform/EnterKey.h"
#include "platform/Errors.h"
#include "platform/HeldKeys.h"
#include "platform/ScreenCentring.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

namespace {

// The longest text the input box accepts.
constexpr int inputMaxLength = 255;

// What a window manager's title bar holds beside the title: the window's icon and three
// buttons (minimise, maximise, close), given 32 pixels each. That is about twice what a
// button with its spacing takes in openbox's default theme, which leaves room for larger
// buttons and for a frame font wider than the application's (it is often bold).
constexpr int titleBarRoom = 4 * 32;

// The least width at which a frame shows the whole title. The frame's font is the window
// manager's and not known here; the application's font stands in for it.
int widthForTitle(const QString& title) {
    return QFontMetrics(QApplication::font()).horizontalAdvance(title) + titleBarRoom;
}

// A dialog that is wide enough for its title and centres itself on the primary screen
// when it is shown, after it has taken its size (a dialog with an owner would otherwise
// centre on the owner).
template <class Box> class Centred : public Box {
public:
    using Box::Box;

protected:
    // A message box fixes its own size as it is shown and again on each layout request,
    // allowing for a narrower title than a frame draws.
    bool event(QEvent* event) override {
        const bool handled = Box::event(event);
        if (event->type() == QEvent::LayoutRequest)
            widenForTitle();
        return handled;
    }

    void showEvent(QShowEvent* event) override {
        Box::showEvent(event);
        widenForTitle();
        if (!event->spontaneous())
            centring_.centre();
    }

private:
    void widenForTitle() {
        const int least = widthForTitle(this->windowTitle());
        this->setMaximumWidth(std::max(this->maximumWidth(), least));
        this->setMinimumWidth(std::max(this->minimumWidth(), least));
    }

    ScreenCentring centring_{*this};
};

// The confirmation box remembers whether the user closed it (close box, system menu,
// Alt+F4) rather than answering. Escape answers No without a close event, and the
// close event a dialog sends itself when a button ends it never reaches closeEvent.
class ConfirmBox : public Centred<QMessageBox> {
public:
    bool closedByUser = false;

protected:
    void closeEvent(QCloseEvent* event) override {
        closedByUser = true;
        Centred<QMessageBox>::closeEvent(event);
    }
};

// Qt's print dialog offers a page range and an odd/even page set under "Options" whenever
// the print system could apply them. A window prints as its one page, so neither is
// offered (and the print layer drops whatever range reaches the printer all the same).
class PrintBox : public Centred<QPrintDialog> {
public:
    using Centred<QPrintDialog>::Centred;

protected:
    void showEvent(QShowEvent* event) override {
        Centred<QPrintDialog>::showEvent(event);
        for (const char* name : {"gbPrintRange", "pageSetLabel", "pageSetCombo"})
            if (auto* choice = findChild<QWidget*>(QLatin1String(name)))
                choice->hide();
    }
};

void showMessage(QMessageBox::Icon icon, const QString& text) {
    Centred<QMessageBox> box;
    box.setWindowTitle(applicationTitle());
    box.setIcon(icon);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

std::optional<QString> askFileName(QWidget* owner, const QString& lastName,
                                   QFileDialog::AcceptMode mode) {
    Centred<QFileDialog> box(owner);
    // Qt's own dialog everywhere, so that it looks and behaves the same on every desktop.
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setAcceptMode(mode);
    // Also the open dialog takes a typed name of a file that does not exist; reading it
    // then fails with the program's own message.
    box.setFileMode(QFileDialog::AnyFile);
    box.setOption(QFileDialog::DontConfirmOverwrite);
    if (!lastName.isEmpty())
        box.selectFile(lastName);
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = box.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.constFirst();
}

// Enter answers a box as the key goes down. A key held down repeats its press, and each
// repeat would answer the box that the answer opens (the file dialog after the question
// of "Open file", the print dialog after the landscape notice): a box takes no repeated
// Enter, whichever of its controls has the focus. Repeats that come as a release and a
// fresh press are made repeats before they get here (watchHeldKeys).
class NoRepeatedEnterInBoxes : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        return key.isAutoRepeat() && isEnter(key) &&
               qobject_cast<QDialog*>(static_cast<QWidget*>(watched)->window());
    }
};

class QtDialogs : public Dialogs {
public:
    QtDialogs() {
        watchHeldKeys();
        QApplication::instance()->installEventFilter(&noRepeatedEnter_);
    }

    Answer confirm(const QString& question) override {
        ConfirmBox box;
        box.setWindowTitle(QStringLiteral("Confirm"));
        box.setIcon(QMessageBox::Question);
        box.setTextFormat(Qt::PlainText);
        box.setText(question);
        QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        if (box.closedByUser)
            return Answer::Closed;
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }

    void notice(const QString& text) override { showMessage(QMessageBox::NoIcon, text); }

    void error(const QString& text) override { showMessage(QMessageBox::Critical, text); }

    QString input(const QString& caption, const QString& prompt,
                  const QString& defaultText) override {
        Centred<QInputDialog> box;
        box.setWindowTitle(caption);
        box.setLabelText(prompt);
        box.setInputMode(QInputDialog::TextInput);
        if (auto* edit = box.findChild<QLineEdit*>())
            edit->setMaxLength(inputMaxLength);
        box.setTextValue(defaultText);
        if (box.exec() != QDialog::Accepted)
            return defaultText;
        return box.textValue();
    }

    std::optional<QString> saveFileName(QWidget* owner, const QString& lastName) override {
        return askFileName(owner, lastName, QFileDialog::AcceptSave);
    }

    std::optional<QString> openFileName(QWidget* owner, const QString& lastName) override {
        return askFileName(owner, lastName, QFileDialog::AcceptOpen);
    }

    bool printDialog(QWidget* owner, QPrinter& printer) override {
        // Without a printer the dialog would offer nothing to print on.
        if (QPrinterInfo::availablePrinters().isEmpty() && QPrinterInfo::defaultPrinter().isNull())
            throw NoDefaultPrinter();
        PrintBox box(&printer, owner);
        // All pages always: no page numbers, no selection, no current page, no file.
        box.setOptions(QAbstractPrintDialog::PrintCollateCopies |
                       QAbstractPrintDialog::PrintShowPageSize);
        box.setPrintRange(QAbstractPrintDialog::AllPages);
        return box.exec() == QDialog::Accepted;
    }

private:
    NoRepeatedEnterInBoxes noRepeatedEnter_;
};

} // namespace

std::unique_ptr<Dialogs> makeQtDialogs() {
    return std::make_unique<QtDialogs>();
}
