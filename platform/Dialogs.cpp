#include "platform/Dialogs.h"

#include "platform/PageFit.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>

namespace {

std::unique_ptr<Dialogs>& installed() {
    static std::unique_ptr<Dialogs> implementation;
    return implementation;
}

} // namespace

Dialogs& dialogs() {
    std::unique_ptr<Dialogs>& implementation = installed();
    if (!implementation)
        qFatal("A box was asked for before the program installed its dialogs");
    return *implementation;
}

void installDialogs(std::unique_ptr<Dialogs> implementation) {
    installed() = std::move(implementation);
}

void Dialogs::printPage(QPrinter& printer, const QImage& image) {
    // The painter's origin is the paper's top-left corner as the page lies; the picture
    // starts at the printable area's.
    printer.setFullPage(true);
    const QRect printable = printableArea(printer.pageLayout(), printer.resolution());
    const QRect target(printable.topLeft(), fitToPage(image.size(), printable.size()));

    printer.setDocName(QString()); // the job has no document name
    QPainter painter;
    if (!painter.begin(&printer))
        return; // the printing system refused the job; nothing of ours to report
    // Without this hint a PDF stores the picture as lossy JPEG.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(target, image);
    painter.end(); // should drawing throw, the painter's destructor ends the job
}
