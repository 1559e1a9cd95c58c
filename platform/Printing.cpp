#include "platform/Printing.h"

#include "platform/Dialogs.h"

#include <QImage>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>

TPrintDialog::TPrintDialog() = default;
TPrintDialog::~TPrintDialog() = default;

QPrinter& TPrintDialog::printer() {
    // The system's default printer at the first print action of the run; afterwards
    // whatever the confirmed dialogs chose.
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool TPrintDialog::Execute(QWidget* owner) {
    return dialogs().printDialog(owner, printer());
}

void printWindow(QWidget& window, QPrinter& printer) {
    // grab() paints the client area with the window's background and every visible
    // child, without title bar and frame; it works on hidden windows too.
    const QImage image = window.grab().toImage();
    dialogs().printPage(printer, image);
}
