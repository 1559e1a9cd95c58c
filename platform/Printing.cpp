#include "platform/Printing.h"

#include "platform/Dialogs.h"

#include <QImage>
#include <QPixmap>
#include <QPrinter>
#include <QWidget>

#include <cstdint>
#include <cstdlib>

namespace {

// (a x b) / c in 64-bit integers, rounded to the nearest integer, halves away from zero.
std::int64_t scaled(std::int64_t a, std::int64_t b, std::int64_t c) {
    const std::int64_t product = a * b;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t numerator = std::llabs(product);
    const std::int64_t divisor = std::llabs(c);
    std::int64_t quotient = numerator / divisor;
    if (2 * (numerator % divisor) >= divisor)
        ++quotient;
    return negative ? -quotient : quotient;
}

} // namespace

QSize fitToPage(QSize image, QSize printable) {
    if (image.width() <= 0 || image.height() <= 0)
        return QSize(0, 0);
    const std::int64_t width = scaled(image.width(), printable.height(), image.height());
    if (width < printable.width())
        return QSize(static_cast<int>(width), printable.height());
    return QSize(printable.width(),
                 static_cast<int>(scaled(image.height(), printable.width(), image.width())));
}

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
