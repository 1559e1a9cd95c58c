#include "platform/Printing.h"

#include "platform/Dialogs.h"

#include <QImage>
#include <QPageRanges>
#include <QPixmap>
#include <QPrintEngine>
#include <QPrinter>
#include <QWidget>

namespace {

// The CUPS options that the print dialog keeps in the print engine, as name and value
// pairs; among them a page range or page set chosen under "Options", which the print
// system applies to the job.
constexpr auto CupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// Readies the printer for printing a window: every page of the one-page job, whatever
// range or page set the dialog offered (pages 2 to 2 or the even pages of a one-page job
// would leave the print system nothing to print).
void printWholePage(QPrinter& printer) {
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges(QPageRanges());
    const QVariant stored = printer.printEngine()->property(CupsOptions);
    if (!stored.isValid())
        return;
    QStringList options = stored.toStringList();
    for (qsizetype name = 0; name + 1 < options.size();) {
        if (options[name] == u"page-ranges" || options[name] == u"page-set")
            options.remove(name, 2);
        else
            name += 2;
    }
    printer.printEngine()->setProperty(CupsOptions, options);
}

} // namespace

TPrintDialog::TPrintDialog() = default;
TPrintDialog::~TPrintDialog() = default;

QPrinter& TPrintDialog::printer() {
    // The system's default printer at the first print action of the run; afterwards
    // whatever the confirmed dialogs chose.
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printWholePage(*printer_);
    }
    return *printer_;
}

bool TPrintDialog::Execute(QWidget* owner) {
    if (!dialogs().printDialog(owner, printer()))
        return false;
    printWholePage(printer()); // the dialog may have chosen another page or printer
    return true;
}

void printWindow(QWidget& window, QPrinter& printer) {
    // grab() paints the client area with the window's background and every visible
    // child, without title bar and frame; it works on hidden windows too.
    const QImage image = window.grab().toImage();
    dialogs().printPage(printer, image);
}
