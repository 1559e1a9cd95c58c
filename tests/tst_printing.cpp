#include "month/MonthSheet.h"
#include "platform/ErrorBox.h"
#include "platform/PageFit.h"
#include "platform/Printing.h"
#include "platform/QtDialogs.h"
#include "support/ProgramUnderTest.h"
#include "support/ScriptedDialogs.h"
#include "ui_MonthSheet.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

QSize size(int width, int height) {
    return QSize(width, height);
}

// A window laid out like a sheet: a yellow client area with one child control.
std::unique_ptr<QWidget> yellowWindow(QSize clientSize) {
    auto window = std::make_unique<QWidget>();
    window->resize(clientSize);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::yellow);
    window->setPalette(palette);
    auto* child = new QWidget(window.get());
    child->setGeometry(100, 50, 20, 10);
    child->setAutoFillBackground(true);
    QPalette childPalette = child->palette();
    childPalette.setColor(QPalette::Window, Qt::blue);
    child->setPalette(childPalette);
    return window;
}

int pdfPageCount(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString content = QString::fromLatin1(file.readAll());
    return int(content.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

QByteArray fileContent(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A paint engine that records what one print job drew.
class RecordingEngine : public QPaintEngine {
public:
    int jobsStarted = 0;
    int jobsEnded = 0;
    QList<QRectF> targets;
    QList<QImage> images;
    bool lossless = false;

    RecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override {
        ++jobsStarted;
        return true;
    }
    bool end() override {
        ++jobsEnded;
        return true;
    }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF&) override {
        targets << target;
        images << pixmap.toImage();
    }
    void drawImage(const QRectF& target, const QImage& image, const QRectF&,
                   Qt::ImageConversionFlags) override {
        targets << painter()->transform().mapRect(target);
        images << image;
        lossless = painter()->testRenderHint(QPainter::LosslessImageRendering);
    }
    Type type() const override { return QPaintEngine::User; }
};

// A printer whose drawing goes to a RecordingEngine; page size and resolution stay
// those of a real high-resolution printer.
class RecordingPrinter : public QPrinter {
public:
    RecordingPrinter()
        : QPrinter(QPrinter::HighResolution) {}
    QPaintEngine* paintEngine() const override { return engine.get(); }
    std::unique_ptr<RecordingEngine> engine = std::make_unique<RecordingEngine>();
};

// The print dialog of a test: it answers like ScriptedDialogs, and first sets the copy
// count and orientation a user would have chosen, also when the user then cancels.
class CopyChoosingDialogs : public ScriptedDialogs {
public:
    std::optional<int> copiesChosen;
    std::optional<QPageLayout::Orientation> orientationChosen;
    QList<QPrinter*> printersShown;

    bool printDialog(QWidget* owner, QPrinter& printer) override {
        printersShown << &printer;
        if (copiesChosen)
            printer.setCopyCount(*copiesChosen);
        if (orientationChosen)
            printer.setPageOrientation(*orientationChosen);
        return ScriptedDialogs::printDialog(owner, printer);
    }
};

// The output folder of the PDF queue of the private print system that
// tests/print-system/run.sh starts for this test; empty without one.
QString printSystemOutput() {
    return qEnvironmentVariable("PENVORO_PRINT_OUTPUT");
}

// What a print tool writes to standard output, empty when it fails.
QByteArray toolOutput(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}

// Answers the real boxes of a print action as a user would: OK on the notice; in the
// print dialog the printer (empty: the default), landscape under "Properties" when asked
// for, the page choice under "Options", whether offered or not, then "Print". With a
// cancelled printer, the first print dialog chooses that one and is cancelled.
// Notes whether the dialog offered a page range or page set.
void answerRealBoxes(const QString& pages, const QString& printer, bool landscape,
                     QString cancelled, bool& rangeOffered) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [=, &rangeOffered]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->defaultButton()->click();
        } else if (auto* dialog = qobject_cast<QPrintDialog*>(modal)) {
            auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
            if (!cancelled.isEmpty()) {
                printers->setCurrentIndex(printers->findText(std::exchange(cancelled, "")));
                dialog->reject();
                return;
            }
            if (!printer.isEmpty())
                printers->setCurrentIndex(printers->findText(printer));
            if (std::exchange(landscape, false)) { // the properties box opens modal
                QMetaObject::invokeMethod(dialog->findChild<QPushButton*>("properties"),
                                          &QPushButton::click, Qt::QueuedConnection);
                return;
            }
            rangeOffered = false;
            for (const char* name : {"gbPrintRange", "pageSetCombo"})
                rangeOffered |= !dialog->findChild<QWidget*>(QLatin1String(name))->isHidden();
            if (pages == u"2-2") {
                dialog->findChild<QRadioButton*>(QStringLiteral("printRange"))->setChecked(true);
                dialog->findChild<QSpinBox*>(QStringLiteral("from"))->setValue(2);
                dialog->findChild<QSpinBox*>(QStringLiteral("to"))->setValue(2);
            } else if (pages == u"even") {
                auto* pageSet = dialog->findChild<QComboBox*>(QStringLiteral("pageSetCombo"));
                pageSet->setCurrentIndex(pageSet->findText(QStringLiteral("Even Pages")));
            }
            dialog->accept();
            timer->deleteLater();
        } else if (auto* turn = modal ? modal->findChild<QRadioButton*>("landscape") : nullptr) {
            turn->click();
            qobject_cast<QDialog*>(modal)->accept();
        }
    });
    timer->start(20);
}

// The smallest rectangle that holds every pixel that is not white.
QRect inkedArea(const QImage& page) {
    QRect inked;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != qRgb(255, 255, 255))
                inked |= QRect(x, y, 1, 1);
    return inked;
}

} // namespace

class TestPrinting : public QObject {
    Q_OBJECT

private slots:
    void init() { installDialogs(makeQtDialogs()); }

    // The printed size of a window's image.
    void fitsToPage_data() {
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("printable");
        QTest::addColumn<QSize>("printed");
        QTest::newRow("sheet, landscape")
            << size(1105, 631) << size(3300, 2550) << size(3300, 1884);
        QTest::newRow("sheet, portrait") << size(1105, 631) << size(2550, 3300) << size(2550, 1456);
        QTest::newRow("sheet, wide page")
            << size(1105, 631) << size(4000, 2000) << size(3502, 2000);
        QTest::newRow("overview, landscape")
            << size(1105, 626) << size(3300, 2550) << size(3300, 1870);
        QTest::newRow("overview, portrait")
            << size(1105, 626) << size(2550, 3300) << size(2550, 1445);
        QTest::newRow("overview, wide page")
            << size(1105, 626) << size(4000, 2000) << size(3530, 2000);
        // 3 x 1 / 2 = 1.5 and 1 x 6 / 4 = 1.5: halves go up.
        QTest::newRow("half width rounds up") << size(3, 2) << size(100, 1) << size(2, 1);
        QTest::newRow("half height rounds up") << size(4, 1) << size(6, 100) << size(6, 2);
        QTest::newRow("below half rounds down") << size(3, 4) << size(100, 7) << size(5, 7);
        // A width that rounds to exactly the page width takes the page width and works
        // out the height, even when that overshoots the page height.
        QTest::newRow("width equal to page") << size(1, 3) << size(1, 2) << size(1, 3);
        QTest::newRow("products beyond 32 bits")
            << size(60000, 50000) << size(70000, 90000) << size(70000, 58333);
        QTest::newRow("empty image") << size(0, 0) << size(3300, 2550) << size(0, 0);
    }
    void fitsToPage() {
        QFETCH(QSize, image);
        QFETCH(QSize, printable);
        QFETCH(QSize, printed);
        QCOMPARE(fitToPage(image, printable), printed);
    }

    // One job of one page, the window's image stretched from the printable area's
    // top-left corner, the colours kept.
    void printsTheWindowAsOneJob_data() {
        QTest::addColumn<QPageLayout::Orientation>("orientation");
        QTest::newRow("portrait") << QPageLayout::Portrait;
        QTest::newRow("landscape") << QPageLayout::Landscape;
    }
    void printsTheWindowAsOneJob() {
        QFETCH(QPageLayout::Orientation, orientation);
        RecordingPrinter printer;
        printer.setPageOrientation(orientation);
        const auto window = yellowWindow(size(1105, 631));

        printWindow(*window, printer);

        const RecordingEngine& engine = *printer.engine;
        QCOMPARE(engine.jobsStarted, 1);
        QCOMPARE(engine.jobsEnded, 1);
        QCOMPARE(engine.images.size(), 1);
        const QImage& image = engine.images.first();
        QCOMPARE(image.size(), size(1105, 631));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::yellow));
        QCOMPARE(image.pixelColor(1104, 630), QColor(Qt::yellow));
        QCOMPARE(image.pixelColor(105, 55), QColor(Qt::blue));
        const QSize printable = printer.pageRect(QPrinter::DevicePixel).toRect().size();
        QCOMPARE(engine.targets.first(),
                 QRectF(QPointF(0, 0), fitToPage(size(1105, 631), printable)));
        QVERIFY(engine.lossless);
        QVERIFY(printer.docName().isEmpty());
    }

    void printsToAOnePagePdf() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const auto window = yellowWindow(size(1105, 631));

        printer.setOutputFileName(folder.filePath(QStringLiteral("first.pdf")));
        printWindow(*window, printer);
        printer.setOutputFileName(folder.filePath(QStringLiteral("second.pdf")));
        printWindow(*window, printer);

        for (const char* name : {"first.pdf", "second.pdf"}) {
            const QString fileName = folder.filePath(QLatin1String(name));
            QCOMPARE(pdfPageCount(fileName), 1);
            const QByteArray pdf = fileContent(fileName);
            QVERIFY(pdf.contains("/Width 1105"));
            QVERIFY(pdf.contains("/Height 631"));
            QVERIFY2(!pdf.contains("/DCTDecode"), "the picture is stored as lossy JPEG");
        }
    }

    // Every print action goes through the print dialog, then one page per window.
    void printsThroughTheDialogSeam() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        ScriptedDialogs& scripted = installScriptedDialogs();
        scripted.printFolder = folder.path();
        scripted.printAnswers = {true, false, true};
        TPrintDialog printDialog;
        const auto window = yellowWindow(size(1105, 631));

        for (int action = 0; action < 3; ++action) {
            if (printDialog.Execute(nullptr))
                printWindow(*window, printDialog.printer());
        }

        QCOMPARE(scripted.shown, QStringList({"print", "print", "print"}));
        QCOMPARE(scripted.pages.size(), 2);
        // No margin beyond the printer's own unprintable border (a PDF has none).
        QCOMPARE(printDialog.printer().pageRect(QPrinter::Point),
                 printDialog.printer().paperRect(QPrinter::Point));
        const QSize printable =
            printDialog.printer().pageRect(QPrinter::DevicePixel).toRect().size();
        for (const ScriptedDialogs::Page& page : scripted.pages) {
            QCOMPARE(page.imageSize, size(1105, 631));
            QCOMPARE(page.target, QRect(QPoint(0, 0), fitToPage(size(1105, 631), printable)));
            QCOMPARE(pdfPageCount(page.outputFile), 1);
        }
        QVERIFY(scripted.pages[0].outputFile != scripted.pages[1].outputFile);
    }

    // The one printer of the run keeps what the last confirmed dialog chose.
    void keepsThePrinterChoiceForTheRun() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        auto owned = std::make_unique<CopyChoosingDialogs>();
        CopyChoosingDialogs& scripted = *owned;
        installDialogs(std::move(owned));
        scripted.printFolder = folder.path();
        TPrintDialog printDialog;
        const auto window = yellowWindow(size(1105, 631));

        scripted.printAnswers = {true};
        scripted.copiesChosen = 3;
        QVERIFY(printDialog.Execute(nullptr));
        printDialog.printer().setPageOrientation(QPageLayout::Landscape);

        scripted.printAnswers = {false};
        scripted.copiesChosen = 5; // chosen, then cancelled
        scripted.orientationChosen = QPageLayout::Portrait;
        QVERIFY(!printDialog.Execute(nullptr));

        scripted.printAnswers = {true};
        scripted.copiesChosen.reset();
        scripted.orientationChosen.reset();
        QVERIFY(printDialog.Execute(nullptr));
        printWindow(*window, printDialog.printer());

        QCOMPARE(scripted.printersShown.size(), 3);
        QCOMPARE(scripted.printersShown[0], &printDialog.printer());
        QCOMPARE(scripted.printersShown[2], &printDialog.printer());
        QCOMPARE(printDialog.printer().copyCount(), 3);
        QCOMPARE(printDialog.printer().pageLayout().orientation(), QPageLayout::Landscape);
        QCOMPARE(scripted.pages.size(), 1);
        QCOMPARE(scripted.pages[0].copies, 3);
    }

    // "Print month" through the real notice, print dialog and print system: the dialog
    // offers no page range, and the sheet comes out as one lossless page, from the
    // top-left corner of the printable area across its width with no margin of its own,
    // whatever pages were chosen, also in landscape on a printer that cannot print near
    // the paper's edges (18 pt at the long sides, 36 pt at the short ones). A printer
    // chosen in a cancelled dialog is not printed on.
    void printsThroughThePrintSystem_data() {
        QTest::addColumn<QString>("pages");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QMargins>("border");   // none: the default queue
        QTest::addColumn<QString>("cancelled"); // chosen in a dialog cancelled before
        QTest::newRow("all pages") << "" << false << QMargins() << "";
        QTest::newRow("pages 2 to 2") << "2-2" << false << QMargins() << "";
        QTest::newRow("even pages") << "even" << false << QMargins() << "";
        QTest::newRow("unequal border") << "" << false << QMargins(18, 36, 18, 36) << "";
        QTest::newRow("unequal border, landscape") << "" << true << QMargins(18, 36, 18, 36) << "";
        QTest::newRow("other printer cancelled") << "" << false << QMargins() << "Penvoro_Margins";
    }
    void printsThroughThePrintSystem() {
        QFETCH(QString, pages);
        QFETCH(bool, landscape);
        QFETCH(QMargins, border);
        QFETCH(QString, cancelled);
        const QString output = printSystemOutput();
        if (output.isEmpty())
            QSKIP("needs the print system that tests/print-system/run.sh starts");
        QDir folder(output);
        for (const QString& old : folder.entryList({"*.pdf"}, QDir::Files))
            QVERIFY(folder.remove(old));
        ProgramUnderTest program;
        installDialogs(makeQtDialogs());
        Form4->show();
        bool rangeOffered = true;
        const QString queue = border.isNull() ? "Penvoro_PDF" : "Penvoro_Margins";
        answerRealBoxes(pages, border.isNull() ? "" : queue, landscape, cancelled, rangeOffered);

        if (!cancelled.isEmpty())
            click(Form4->ui->Button54);
        click(Form4->ui->Button54);
        QVERIFY(!rangeOffered);

        auto printed = [&] { return folder.entryList({"*.pdf"}, QDir::Files); };
        QTRY_VERIFY_WITH_TIMEOUT(
            printed().size() == 1 && toolOutput("lpstat", {"-o"}).trimmed().isEmpty(), 60000);
        // The newest job, listed last as "<queue>-<number> ...", went to the expected queue.
        const QString jobs = toolOutput("lpstat", {"-W", "all", "-o"}).trimmed();
        QCOMPARE(jobs.section('\n', -1).section('-', 0, 0), queue);
        const QString pdf = folder.filePath(printed().first());
        QVERIFY(toolOutput("pdfinfo", {pdf}).contains("Pages:           1\n"));
        const QString images = QString::fromLatin1(toolOutput("pdfimages", {"-list", pdf}));
        QVERIFY2(images.contains(QRegularExpression("image +1105 +631 ")), qPrintable(images));
        QVERIFY2(!images.contains("jpeg"), "the picture is stored as lossy JPEG");
        const QImage page = QImage::fromData(toolOutput("pdftoppm", {"-r", "72", "-png", pdf}));
        QVERIFY(!page.isNull());
        // The paper comes out upright, one pixel a point. A landscape page lies on it turned
        // a quarter counter-clockwise, its top-left corner at the printable area's bottom
        // left. The sheet's edges may be one pixel off, partly inked or white.
        const QRect printable = page.rect() - border;
        const int across = landscape ? printable.height() : printable.width();
        const int deep = qRound(across * 631.0 / 1105);
        const QRect sheet = landscape ? QRect(printable.left(), printable.top(), deep, across)
                                      : QRect(printable.topLeft(), QSize(across, deep));
        const QRect inked = inkedArea(page);
        QVERIFY2(printable.adjusted(-1, -1, 1, 1).contains(inked),
                 "the sheet runs into the unprintable border");
        for (QPoint off :
             {inked.topLeft() - sheet.topLeft(), inked.bottomRight() - sheet.bottomRight()})
            QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1,
                     "not at the printable area's corner");
    }

    void noPrinterEndsTheActionWithTheErrorBox() {
        ScriptedDialogs& scripted = installScriptedDialogs();
        scripted.hasPrinter = false;
        TPrintDialog printDialog;
        const auto window = yellowWindow(size(1105, 631));

        QVERIFY_THROWS_EXCEPTION(NoDefaultPrinter, printDialog.Execute(nullptr));
        guarded([&] {
            if (printDialog.Execute(nullptr))
                printWindow(*window, printDialog.printer());
        });

        QCOMPARE(NoDefaultPrinter().message(),
                 QStringLiteral("There is no default printer currently selected"));
        QCOMPARE(scripted.shown,
                 QStringList({"error: There is no default printer currently selected."}));
        QVERIFY(scripted.pages.isEmpty());
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
