#pragma once

#include <memory>

class QPrinter;
class QWidget;

// The program's one print dialog and the current printer it keeps for the whole run.
// It belongs to the January sheet; every print button uses it.
class TPrintDialog {
public:
    TPrintDialog();
    ~TPrintDialog();

    // Shows the print dialog on the current printer; true on OK.
    // Throws NoDefaultPrinter when there is no printer.
    bool Execute(QWidget* owner);
    QPrinter& printer();

private:
    std::unique_ptr<QPrinter> printer_;
};

// Prints the window's client image as one job of one page on the printer.
void printWindow(QWidget& window, QPrinter& printer);
