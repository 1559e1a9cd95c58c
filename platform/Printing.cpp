#include "platform/Printing.h"

#include "platform/Dialogs.h"

#include <QImage>
#include <QPageLayout>
#include <QPageRanges>
#include <QPixmap>
#include <QPrintEngine>
#include <QPrinter>
#include <QString>
#include <QVariant>
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

// The choices of a print dialog as a printer keeps them: the printer itself, its page,
// copies, sides, colour, page order and range, and the print system's options.
class PrinterChoice {
public:
    explicit PrinterChoice(QPrinter& printer)
        : format_(printer.outputFormat())
        , name_(printer.printerName())
        , page_(printer.pageLayout())
        , copies_(printer.copyCount())
        , collate_(printer.collateCopies())
        , duplex_(printer.duplex())
        , colour_(printer.colorMode())
        , order_(printer.pageOrder())
        , range_(printer.printRange())
        , pages_(printer.pageRanges())
        , cupsOptions_(printer.printEngine()->property(CupsOptions)) {}

    void restore(QPrinter& printer) const {
        // The printer first: changing it fits the page, sides and colour to the new one.
        printer.setOutputFormat(format_);
        if (format_ == QPrinter::NativeFormat)
            printer.setPrinterName(name_);
        printer.setPageLayout(page_);
        printer.setCopyCount(copies_);
        printer.setCollateCopies(collate_);
        printer.setDuplex(duplex_);
        printer.setColorMode(colour_);
        printer.setPageOrder(order_);
        printer.setPrintRange(range_);
        printer.setPageRanges(pages_);
        if (cupsOptions_.isValid())
            printer.printEngine()->setProperty(CupsOptions, cupsOptions_);
    }

private:
    QPrinter::OutputFormat format_;
    QString name_;
    QPageLayout page_;
    int copies_;
    bool collate_;
    QPrinter::DuplexMode duplex_;
    QPrinter::ColorMode colour_;
    QPrinter::PageOrder order_;
    QPrinter::PrintRange range_;
    QPageRanges pages_;
    QVariant cupsOptions_;
};

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
    // The dialog writes some choices into the printer as they are made (another printer
    // chosen from the list at once), so a cancelled dialog has its choices undone.
    const PrinterChoice confirmed(printer());
    if (!dialogs().printDialog(owner, printer())) {
        confirmed.restore(printer());
        return false;
    }
    printWholePage(printer()); // the dialog may have chosen another page or printer
    return true;
}

void printWindow(QWidget& window, QPrinter& printer) {
    // grab() paints the client area with the window's background and every visible
    // child, without title bar and frame; it works on hidden windows too.
    const QImage image = window.grab().toImage();
    dialogs().printPage(printer, image);
}
