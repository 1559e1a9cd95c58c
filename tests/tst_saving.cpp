#include "app/MainMenu.h"
#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "platform/NumberText.h"
#include "platform/TForm.h"
#include "platform/TextLength.h"
#include "support/Ink.h"
#include "support/LockHolder.h"
#include "support/ProgramUnderTest.h"
#include "support/SheetWidgets.h"
#include "ui_MainMenu.h"
#include "ui_MonthSheet.h"
#include "ui_YearSheet.h"
#include "year/YearSheet.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

namespace {

using namespace sheetWidgets;
constexpr int MainMenu = 0; // a saving place: the main menu instead of a sheet

QAbstractButton* saveButtonOf(int sheet) {
    return sheet == YearSheet ? Form14->ui->Button47 : monthSheet(sheet)->ui->Button47;
}

// Gives every slot widget of every sheet the text "<tag> <sheet>.<slot>" and every notes
// box two lines.
void setEverything(const QString& tag) {
    for (int sheet = 1; sheet <= 13; ++sheet) {
        for (int slot = 1; slot <= 30; ++slot)
            if (QWidget* widget = slotWidgets(sheet)[slot - 1])
                setTextOf(widget, QStringLiteral("%1 %2.%3").arg(tag).arg(sheet).arg(slot));
        notesOf(sheet)->setPlainText(QStringLiteral("%1 note %2\nsecond").arg(tag).arg(sheet));
    }
}

QString freshText(int sheet, int slot) {
    static const QStringList month =
        QStringList(6, "earned") + QStringList{"Earned", "Earned Particular", "Enough?"} +
        QStringList(14, "spend") +
        QStringLiteral("Spend|Spend Particular|To much?|Currency|Total this month|Month|"
                       "Double click here for entering year")
            .split('|');
    if (sheet == YearSheet && slot == 8)
        return QStringLiteral(" ");
    if (sheet == YearSheet && slot == 25)
        return QString();
    if (sheet == YearSheet && slot == 28)
        return QStringLiteral("Total this year");
    return month[slot - 1];
}

#define COMPARE_SHEETS(actual, expected)                                                           \
    do {                                                                                           \
        QCOMPARE((actual).texts, (expected).texts);                                                \
        QCOMPARE((actual).numbers, (expected).numbers);                                            \
    } while (false)

int textLine(int sheet, int slot) {
    return 30 * (sheet - 1) + slot;
}
int noteLine(int sheet, int line) {
    return 390 + 13 * (line - 1) + sheet;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}
// The file's lines without their ends; every line, the last too, must end with CR LF.
QStringList linesOf(const QString& path) {
    const QByteArray bytes = bytesOf(path);
    if (!bytes.endsWith("\r\n"))
        return {QStringLiteral("<not ended by CR LF>")};
    const QStringList lines = QString::fromLatin1(bytes.chopped(2)).split(QStringLiteral("\r\n"));
    for (const QString& line : lines)
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            return {QStringLiteral("<bare CR or LF>")};
    return lines;
}
void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}
void writeLines(const QString& path, const QStringList& lines) {
    writeBytes(path, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
}
QStringList noteLinesIn(const QStringList& file, int sheet) {
    QStringList lines;
    for (int line = 1; line <= 100; ++line)
        lines << file.value(noteLine(sheet, line) - 1, QStringLiteral("<missing>"));
    return lines;
}
// The texts of every slot of every sheet.
QStringList slotTexts() {
    QStringList texts;
    for (int sheet = 1; sheet <= 13; ++sheet)
        for (QWidget* widget : slotWidgets(sheet))
            texts << (widget ? textOf(widget) : QString());
    return texts;
}
QStringList firstHundred(QStringList lines) {
    lines = lines.mid(0, 100);
    while (lines.size() < 100)
        lines << QString();
    return lines;
}

// The lines a box shows, from its own layout.
QStringList displayedLines(QPlainTextEdit* box) {
    QStringList lines;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
        box->document()->documentLayout()->blockBoundingRect(block); // lays the block out
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            const QTextLine line = block.layout()->lineAt(i);
            lines << block.text().mid(line.textStart(), line.textLength());
        }
    }
    return lines;
}

// Puts the text on the clipboard and pastes it with the paste key.
void paste(QWidget* widget, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keySequence(widget, QKeySequence::Paste);
}

// What a text keeps in one line, and in the notes: Ctrl+Z and U+D800 (alone in these tests)
// dropped, then each line break one blank, or one break of the notes.
QString kept(QString text, QChar lineBreak) {
    text.remove(QChar(26)).remove(QChar(0xD800)).replace(QStringLiteral("\r\n"), lineBreak);
    for (QChar other : {u'\r', u'\n', u'\u2028', u'\u2029'})
        text.replace(other, lineBreak);
    return text;
}

// Types characters a keyboard may not have (QTest::keyClicks takes only Latin-1).
void typeCharacters(QWidget* widget, const QString& text) {
    for (QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

} // namespace

class Saving : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramUnderTest> program;
    std::unique_ptr<QTemporaryDir> dir;

    ScriptedDialogs& dialogs() { return program->dialogs; }
    QString path(const QString& name) const { return dir->filePath(name); }

    // Clicks a button of a window, showing the window for the click if it is hidden.
    static void clickOn(QWidget* window, QAbstractButton* button) {
        const bool hidden = !window->isVisible();
        window->show();
        click(button);
        if (hidden)
            window->hide();
    }
    // "Save All" on a sheet or on the main menu (answering Yes); the save dialog answers.
    void saveAll(int place, const std::optional<QString>& name) {
        dialogs().saveAnswers.push_back(name);
        if (place == MainMenu) {
            dialogs().confirmAnswers.push_back(Dialogs::Answer::Yes);
            clickOn(Form1, Form1->ui->Button1);
        } else {
            clickOn(calendar::sheetAt(place), saveButtonOf(place));
        }
    }
    // "Open file" answering the question, and the open dialog when the answer is Yes.
    void openFile(Dialogs::Answer answer, const std::optional<QString>& name = std::nullopt) {
        dialogs().confirmAnswers.push_back(answer);
        if (answer == Dialogs::Answer::Yes)
            dialogs().openAnswers.push_back(name);
        Form1->show();
        click(Form1->ui->Button52);
    }
    // Only the sheet is shown, or only the main menu for 0.
    static void verifyShown(int shownSheet) {
        QCOMPARE(Form1->isVisible(), shownSheet == 0);
        for (int sheet = 1; sheet <= 13; ++sheet)
            QCOMPARE(calendar::sheetAt(sheet)->isVisible(), sheet == shownSheet);
    }

private slots:
    void initTestCase() { QTest::failOnWarning(QRegularExpression("QObject::connect")); }
    void init() {
        program = std::make_unique<ProgramUnderTest>();
        dir = std::make_unique<QTemporaryDir>();
    }
    void cleanup() {
        if (!QTest::currentTestFailed())
            QVERIFY2(dialogs().allAnswersUsed(), qPrintable(dialogs().shown.join(" / ")));
        program.reset();
        dir.reset();
    }

    // ----- Save All -----

    void freshSaveIsTheSameFromEveryPlace() {
        QStringList expected;
        for (int sheet = 1; sheet <= 13; ++sheet)
            for (int slot = 1; slot <= 30; ++slot)
                expected << freshText(sheet, slot);
        expected << QStringList(1300, QString());
        QStringList offered;
        QString last;
        for (int place = MainMenu; place <= YearSheet; ++place) {
            const QString name = path(QStringLiteral("place%1.txt").arg(place));
            saveAll(place, name);
            QCOMPARE(linesOf(name), expected);
            QCOMPARE(bytesOf(name), bytesOf(path("place0.txt")));
            offered << QStringLiteral("save: ") + last;
            last = name;
        }
        const QStringList file = linesOf(path("place3.txt"));
        QCOMPARE(file[368 - 1], QStringLiteral(" "));
        QCOMPARE(file[385 - 1], QString());
        QCOMPARE(file[388 - 1], QStringLiteral("Total this year"));
        // Every save offers the name of the last save, whichever window it came from.
        QCOMPARE(dialogs().shown.filter(QRegularExpression("^save: ")), offered);
    }

    void savedTextsAreTheWidgetsTexts() {
        setEverything(QStringLiteral("t"));
        Form4->show();
        typeInto(Form4->ui->Edit1, QStringLiteral("12,5 x")); // typed, not added
        typeInto(Form4->ui->Edit21, QStringLiteral("  EUR  "));
        const Sheets before = Sheets::now();
        saveAll(YearSheet, path("texts.txt"));
        COMPARE_SHEETS(Sheets::now(), before); // saving changes no widget
        const QStringList file = linesOf(path("texts.txt"));
        QCOMPARE(file.size(), 1690);
        for (int sheet = 1; sheet <= 13; ++sheet) {
            for (int slot = 1; slot <= 30; ++slot) {
                QString expected = QStringLiteral("t %1.%2").arg(sheet).arg(slot);
                if (sheet == YearSheet && (slot == 8 || slot == 25))
                    expected = freshText(sheet, slot);
                if (sheet == 3 && slot == 1)
                    expected = QStringLiteral("12,5 x");
                if (sheet == 3 && slot == 27)
                    expected = QStringLiteral("  EUR  ");
                QCOMPARE(file[textLine(sheet, slot) - 1], expected);
            }
            QCOMPARE(noteLinesIn(file, sheet),
                     firstHundred({QStringLiteral("t note %1").arg(sheet), "second"}));
        }
    }

    void mainMenuSaveDeclined_data() {
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::newRow("No") << Dialogs::Answer::No;
        QTest::newRow("box closed") << Dialogs::Answer::Closed;
    }
    void mainMenuSaveDeclined() {
        QFETCH(Dialogs::Answer, answer);
        Form4->ui->Edit1->setText(QStringLiteral("41"));
        saveAll(3, path("march.txt"));
        // A month's save fills only its own record.
        QCOMPARE(Form4->record.text(3, 1), QStringLiteral("41"));
        QCOMPARE(Form4->record.text(1, 1), QStringLiteral("earned"));
        QVERIFY(Form1->record == BudgetRecord{} && Form14->record == BudgetRecord{});
        openFile(Dialogs::Answer::Yes, path("march.txt"));
        const BudgetRecord opened = Form1->record;
        QCOMPARE(opened.text(3, 1), QStringLiteral("41"));
        Form4->ui->Edit1->setText(QStringLiteral("99"));
        const qsizetype boxes = dialogs().shown.size();
        dialogs().confirmAnswers.push_back(answer);
        clickOn(Form1, Form1->ui->Button1);
        QCOMPARE(dialogs().shown.mid(boxes),
                 QStringList{"confirm: Are you sure you want to save?"});
        QVERIFY(Form1->record == opened);
    }

    void saveDialogOffersTheLastSavedNameNotTheOpenedOne() {
        saveAll(3, path("a.txt"));
        QVERIFY(QFile::copy(path("a.txt"), path("b.txt")));
        openFile(Dialogs::Answer::Yes, path("b.txt"));
        saveAll(YearSheet, path("c.txt"));
        saveAll(MainMenu, std::nullopt);
        openFile(Dialogs::Answer::Yes, std::nullopt);
        QCOMPARE(dialogs().shown.filter(QRegularExpression("^(save|open): ")),
                 QStringList({"save: ", "open: ", "save: " + path("a.txt"),
                              "save: " + path("c.txt"), "open: " + path("b.txt")}));
    }

    // ----- Note lines -----

    void threeShortLinesOfMay_data() {
        QTest::addColumn<Qt::KeyboardModifier>("breakModifier");
        QTest::newRow("Enter") << Qt::NoModifier;
        QTest::newRow("Shift+Enter") << Qt::ShiftModifier; // a break inside the paragraph
    }
    void threeShortLinesOfMay() {
        QFETCH(Qt::KeyboardModifier, breakModifier);
        Form6->show();
        QPlainTextEdit* box = Form6->ui->Memo1;
        QTest::mouseClick(box->viewport(), Qt::LeftButton);
        QTest::keyClicks(box, QStringLiteral("rent paid"));
        QTest::keyClick(box, Qt::Key_Return, breakModifier);
        QTest::keyClicks(box, QStringLiteral("books"));
        QTest::keyClick(box, Qt::Key_Return, breakModifier);
        QTest::keyClicks(box, QStringLiteral("third line"));
        saveAll(5, path("may.txt"));
        const QStringList file = linesOf(path("may.txt"));
        QCOMPARE(file.size(), 1690);
        QCOMPARE(file[421 - 1], QStringLiteral("third line"));
        for (int sheet = 1; sheet <= 13; ++sheet)
            QCOMPARE(noteLinesIn(file, sheet),
                     firstHundred(sheet == 5 ? QStringList{"rent paid", "books", "third line"}
                                             : QStringList{}));
    }

    void longTypedLineGivesTwoNoteLines() {
        click(Form1->ui->Button53);
        QVERIFY(QTest::qWaitForWindowExposed(Form2));
        QPlainTextEdit* box = Form2->ui->Memo1;
        QTest::mouseClick(box->viewport(), Qt::LeftButton);
        QString typed;
        for (int word = 0; word < 100 && displayedLines(box).size() < 2; ++word) {
            const QString next = typed.isEmpty() ? QStringLiteral("groceries") : " groceries";
            QTest::keyClicks(box, next);
            typed += next;
        }
        const QStringList shown = displayedLines(box);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(box->blockCount(), 1);
        QCOMPARE(box->toPlainText(), typed);
        saveAll(1, path("long.txt"));
        QCOMPARE(noteLinesIn(linesOf(path("long.txt")), 1), firstHundred(shown));
    }

    void hiddenBoxGivesTheShownLines_data() {
        QTest::addColumn<QString>("text");
        QString prose;
        for (int i = 0; i < 40; ++i)
            prose += QStringLiteral("money for the week %1, ").arg(i);
        QString paragraphs;
        for (int i = 1; i <= 130; ++i)
            paragraphs += i % 7 ? QStringLiteral("line %1\n").arg(i) : prose.left(90) + '\n';
        QTest::newRow("prose") << prose;
        QTest::newRow("one long word") << QString(300, QLatin1Char('W'));
        QTest::newRow("tabs and blanks") << "a\tb\t\tc" + QString(80, ' ') + "end\n\n  x";
        QTest::newRow("more than 100 lines") << paragraphs;
        // Narrow letters before wide ones move the wrap across every pixel of the width.
        QString narrowAndWide;
        for (int narrow = 0; narrow < 40; ++narrow)
            narrowAndWide += QString(narrow, 'i') + QString(30, 'W') + " w\n";
        QTest::newRow("wrap at every width") << narrowAndWide;
    }
    void hiddenBoxGivesTheShownLines() {
        QFETCH(QString, text);
        click(Form1->ui->Button53);
        QVERIFY(QTest::qWaitForWindowExposed(Form2));
        for (int sheet : {1, 2, YearSheet})
            notesOf(sheet)->setPlainText(text);
        const QStringList shown = displayedLines(Form2->ui->Memo1);
        QVERIFY(!Form3->isVisible() && !Form14->isVisible());
        saveAll(1, path("notes.txt"));
        const QStringList file = linesOf(path("notes.txt"));
        for (int sheet : {1, 2, YearSheet})
            QCOMPARE(noteLinesIn(file, sheet), firstHundred(shown));
    }

    void aHundredTwentyLinesGiveTheFirstHundred() {
        QStringList lines;
        for (int i = 1; i <= 120; ++i)
            lines << QStringLiteral("line %1").arg(i);
        Form6->ui->Memo1->setPlainText(lines.join('\n'));
        saveAll(MainMenu, path("long.txt"));
        QCOMPARE(noteLinesIn(linesOf(path("long.txt")), 5), lines.mid(0, 100));
        QCOMPARE(Form6->ui->Memo1->blockCount(), 120);
    }

    // ----- Open file -----

    void openChangesNoSheet_data() {
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<QString>("file"); // empty: the open dialog is cancelled
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("shownSheet"); // 0: the main menu stays
        const QString question =
            "confirm: Are you sure you want to open an other file before saving?";
        QTest::newRow("No") << Dialogs::Answer::No << "" << QStringList{question} << 0;
        QTest::newRow("box closed") << Dialogs::Answer::Closed << "" << QStringList{question} << 0;
        QTest::newRow("dialog cancelled at start")
            << Dialogs::Answer::Yes << "" << QStringList{question, "open: "} << 1;
        QTest::newRow("empty file")
            << Dialogs::Answer::Yes << "empty.txt" << QStringList{question, "open: "} << 1;
        QTest::newRow("missing file")
            << Dialogs::Answer::Yes << "missing.txt"
            << QStringList{question, "open: ", "error: File not found."} << 0;
        QTest::newRow("file another program writes")
            << Dialogs::Answer::Yes << "write-locked.txt"
            << QStringList{question, "open: ", "error: I/O error 11."} << 0;
    }
    void openChangesNoSheet() {
        QFETCH(Dialogs::Answer, answer);
        QFETCH(QString, file);
        QFETCH(QStringList, boxes);
        QFETCH(int, shownSheet);
        writeBytes(path("empty.txt"), {});
        writeBytes(path("write-locked.txt"), "7\r\n");
        const LockHolder writer(path("write-locked.txt"), LockHolder::Kind::Write);
        QVERIFY(writer.holds());
        setEverything(QStringLiteral("kept"));
        const Sheets before = Sheets::now();
        openFile(answer, file.isEmpty() ? std::nullopt : std::optional<QString>(path(file)));
        QCOMPARE(dialogs().shown, boxes);
        COMPARE_SHEETS(Sheets::now(), before);
        verifyShown(shownSheet);
    }

    void openPutsEveryTextBack() {
        setEverything(QStringLiteral("saved"));
        saveAll(MainMenu, path("year.txt"));
        setEverything(QStringLiteral("changed"));
        openFile(Dialogs::Answer::Yes, path("year.txt"));
        for (int sheet = 1; sheet <= 13; ++sheet) {
            for (int slot = 1; slot <= 30; ++slot)
                if (QWidget* widget = slotWidgets(sheet)[slot - 1])
                    QCOMPARE(textOf(widget), QStringLiteral("saved %1.%2").arg(sheet).arg(slot));
            QCOMPARE(notesOf(sheet)->toPlainText(),
                     QStringLiteral("saved note %1\nsecond\n").arg(sheet) + QString(98, '\n'));
        }
        verifyShown(1);
        QVERIFY(dialogs().shown.filter(QRegularExpression("^error")).isEmpty());
    }

    void openKeepsNumbersAndBalanceColour() {
        click(Form1->ui->Button53);
        typeInto(Form2->ui->Edit1, QStringLiteral("12"));
        click(Form2->ui->Button1);
        click(Form2->ui->Button24);
        QCOMPARE(Form2->ui->Label29->text(), QStringLiteral("12"));
        saveAll(1, path("positive.txt"));
        click(Form2->ui->Button46);
        typeInto(Form2->ui->Edit6, QStringLiteral("5"));
        click(Form2->ui->Button2);
        click(Form2->ui->Button24);
        QCOMPARE(Form2->ui->Label29->fontColor(), QColor(255, 0, 0));
        const Sheets before = Sheets::now();
        openFile(Dialogs::Answer::Yes, path("positive.txt"));
        QCOMPARE(Form2->ui->Label29->text(), QStringLiteral("12"));
        QCOMPARE(Form2->ui->Label29->fontColor(), QColor(255, 0, 0));
        QCOMPARE(Sheets::now().numbers, before.numbers);
    }

    void yearSheetRunningSumLinesAreNotUsed() {
        saveAll(MainMenu, path("fresh.txt"));
        QStringList lines = linesOf(path("fresh.txt"));
        lines[368 - 1] = QStringLiteral("EIGHT");
        lines[385 - 1] = QStringLiteral("TWENTYFIVE");
        writeLines(path("edited.txt"), lines);
        openFile(Dialogs::Answer::Yes, path("edited.txt"));
        for (int sheet = 1; sheet <= 13; ++sheet)
            for (int slot = 1; slot <= 30; ++slot)
                if (QWidget* widget = slotWidgets(sheet)[slot - 1])
                    QCOMPARE(textOf(widget), freshText(sheet, slot));
        for (QWidget* window : {static_cast<QWidget*>(Form14), static_cast<QWidget*>(Form2)}) {
            for (QLabel* label : window->findChildren<QLabel*>())
                QVERIFY(label->text() != "EIGHT" && label->text() != "TWENTYFIVE");
        }
    }

    // Captions hold what a file gave, shown as written: markup is neither obeyed nor
    // measured, and no picture it names is drawn. No label of any window reads markup.
    void markupInAnOpenedFileIsShownAsWritten_data() {
        QTest::addColumn<QString>("caption");
        QTest::newRow("bold") << QStringLiteral("<b>x</b>");
        QTest::newRow("entity") << QStringLiteral("&amp;<br>");
        QTest::newRow("picture") << QStringLiteral("Earned <img src=\"%1\">");
    }
    void markupInAnOpenedFileIsShownAsWritten() {
        QFETCH(QString, caption);
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(path("dot.png")));
        caption = caption.arg(path("dot.png"));
        saveAll(MainMenu, path("fresh.txt"));
        QStringList lines = linesOf(path("fresh.txt"));
        const int captions[] = {7, 8, 24, 25, 28, 30};
        for (int slot : captions)
            lines[textLine(1, slot) - 1] = lines[textLine(YearSheet, slot) - 1] = caption;
        writeLines(path("markup.txt"), lines);
        openFile(Dialogs::Answer::Yes, path("markup.txt"));
        for (int sheet : {1, YearSheet})
            for (int slot : captions)
                if (auto* label = qobject_cast<QLabel*>(slotWidgets(sheet)[slot - 1])) {
                    QCOMPARE(label->text(), caption);
                    const int shown = std::min(inkWidth(label, caption), label->width());
                    QVERIFY2(inkWidth(label) >= shown * 9 / 10, qPrintable(label->objectName()));
                }
        QWidgetList windows = QApplication::topLevelWidgets();
        windows.removeIf([](QWidget* window) { return !qobject_cast<TForm*>(window); });
        QCOMPARE(windows.size(), 16);
        for (QWidget* window : windows)
            for (QLabel* label : window->findChildren<QLabel*>())
                QVERIFY2(label->textFormat() == Qt::PlainText,
                         qPrintable(window->windowTitle() + ' ' + label->objectName()));
    }

    // Every text that a file puts into a field, box or caption comes back whole on the
    // next save, up to the longest text a file line may hold (the currency up to the
    // longest its captions can take).
    void longestTextsComeBackWhole() {
        for (int sheet : {1, YearSheet}) {
            saveAll(MainMenu, path("fresh.txt"));
            QStringList lines = linesOf(path("fresh.txt"));
            for (int slot = 1; slot <= 30; ++slot)
                if (slotWidgets(sheet)[slot - 1])
                    lines[textLine(sheet, slot) - 1] = QString::number(slot).leftJustified(
                        slot == 27 ? numbers::LongestCurrency : LongestText,
                        QChar('a' + slot % 26));
            writeLines(path("longest.txt"), lines);
            openFile(Dialogs::Answer::Yes, path("longest.txt"));
            saveAll(sheet, path("again.txt"));
            QCOMPARE(linesOf(path("again.txt")), lines);
        }
    }

    void emptyFileIsReadIntoTheRecord() {
        saveAll(MainMenu, std::nullopt); // the record holds the sheets, nothing is written
        writeBytes(path("empty.txt"), {});
        openFile(Dialogs::Answer::Yes, path("empty.txt"));
        QVERIFY(Form1->record == BudgetRecord{});
        setEverything(QStringLiteral("changed"));
        const Sheets changed = Sheets::now();
        openFile(Dialogs::Answer::Yes, std::nullopt);
        COMPARE_SHEETS(Sheets::now(), changed);
    }

    void cancelledOpenPutsTheLastSaveBack() {
        setEverything(QStringLiteral("saved"));
        notesOf(4)->setPlainText(QStringLiteral("one\ntwo\nthree"));
        saveAll(MainMenu, path("year.txt"));
        setEverything(QStringLiteral("changed"));
        openFile(Dialogs::Answer::Yes, std::nullopt);
        for (int sheet = 1; sheet <= 13; ++sheet)
            for (int slot = 1; slot <= 30; ++slot)
                if (QWidget* widget = slotWidgets(sheet)[slot - 1])
                    QCOMPARE(textOf(widget), QStringLiteral("saved %1.%2").arg(sheet).arg(slot));
        QCOMPARE(notesOf(4)->toPlainText(),
                 QStringLiteral("one\ntwo\nthree\n") + QString(97, '\n'));
        verifyShown(1);
    }

    void wideLineOfAnOpenedFileIsSavedAsTwo() {
        saveAll(MainMenu, path("fresh.txt"));
        QStringList lines = linesOf(path("fresh.txt"));
        lines[noteLine(1, 1) - 1] = QString(10, 'x') + QStringLiteral(" words").repeated(6);
        for (int line = 2; line <= 100; ++line)
            lines[noteLine(1, line) - 1] = QStringLiteral("n%1").arg(line);
        writeLines(path("wide.txt"), lines);
        openFile(Dialogs::Answer::Yes, path("wide.txt"));
        // 99 lines, the wide one on two lines, and the empty line after the last break
        QCOMPARE(displayedLines(Form2->ui->Memo1).size(), 102);
        saveAll(1, path("again.txt"));
        const QStringList notes = noteLinesIn(linesOf(path("again.txt")), 1);
        QCOMPARE(notes[0] + notes[1], lines[noteLine(1, 1) - 1]);
        QCOMPARE(notes[2], QStringLiteral("n2"));
        QCOMPARE(notes[99], QStringLiteral("n99")); // "n100" no longer fits
    }

    // Another program's file may hold a break inside a note line: Unicode's line or paragraph
    // separator, or a mark that the notes take as a paragraph break. Each is one blank, so
    // every line of the file stays one line of the box, and the hundredth is saved again.
    void breaksInsideAnOpenedNoteLineAreBlanks() {
        saveAll(MainMenu, path("fresh.txt"));
        QStringList lines = linesOf(path("fresh.txt"));
        for (int line = 1; line <= 100; ++line)
            lines[noteLine(3, line) - 1] = QStringLiteral("n%1").arg(line);
        const QString breaks = QStringLiteral("\u2028\u2029\uFDD0\uFDD1");
        for (int line = 1; line <= 4; ++line)
            lines[noteLine(3, line) - 1] = QStringLiteral("a") + breaks[line - 1] + u'b';
        writeBytes(path("breaks.txt"), (lines.join(QStringLiteral("\r\n")) + "\r\n").toUtf8());
        openFile(Dialogs::Answer::Yes, path("breaks.txt"));
        QCOMPARE(displayedLines(Form4->ui->Memo1).size(), 101); // and the empty one at the end
        saveAll(3, path("again.txt"));
        const QStringList notes = noteLinesIn(linesOf(path("again.txt")), 3);
        QCOMPARE(notes.mid(0, 5), (QStringList{"a b", "a b", "a b", "a b", "n5"}));
        QCOMPARE(notes[99], QStringLiteral("n100"));
    }

    // A file of another kind with an amount and a note line as long as a text may be, without
    // a blank: both are put back whole and saved back whole. One character more, and the
    // file is refused.
    void longestLinesOfAStrangeFile() {
        saveAll(MainMenu, path("fresh.txt"));
        QStringList lines = linesOf(path("fresh.txt"));
        lines[0] = QString(LongestText, '7');
        lines[noteLine(2, 1) - 1] = QString(LongestText, 'n');
        writeLines(path("strange.txt"), lines);
        openFile(Dialogs::Answer::Yes, path("strange.txt"));
        QCOMPARE(Form2->ui->Edit1->text(), lines[0]);
        QCOMPARE(Form3->ui->Memo1->document()->firstBlock().text(), lines[noteLine(2, 1) - 1]);
        Form3->show();
        saveAll(2, path("again.txt"));
        const QStringList again = linesOf(path("again.txt"));
        QCOMPARE(again.at(0), lines[0]);
        QCOMPARE(noteLinesIn(again, 2).join(QString()), lines[noteLine(2, 1) - 1]);

        lines[0] += '7';
        writeLines(path("longer.txt"), lines);
        setEverything(QStringLiteral("kept"));
        const Sheets before = Sheets::now();
        openFile(Dialogs::Answer::Yes, path("longer.txt"));
        QCOMPARE(dialogs().shown.last(), QStringLiteral("error: I/O error 27."));
        COMPARE_SHEETS(Sheets::now(), before);
    }

    // Whatever a user pastes, every text the program saves fits a file line: a note line is
    // cut to fit, and the currency field holds no more than its captions can take after the
    // longest number. The year is saved and opens again as it was shown.
    void longTextsAreSavedAndOpenAgain_data() {
        QTest::addColumn<QString>("notes");
        QTest::addColumn<QString>("currency");
        QTest::newRow("1500 blanks in the notes") << QString(1500, ' ') << "Currency";
        QTest::newRow("zero-width spaces") << QString(1500, QChar(0x200B)) << "Currency";
        QTest::newRow("combining accents") << "e" + QString(1500, QChar(0x301)) << "Currency";
        QTest::newRow("soft hyphens") << QString(1500, QChar(0xAD)) << "Currency";
        QTest::newRow("a currency as long as a text") << "" << QString(LongestText, 'C');
    }
    void longTextsAreSavedAndOpenAgain() {
        QFETCH(QString, notes);
        QFETCH(QString, currency);
        const QString longest = QStringLiteral("-1.23456789012345E-308"); // the longest number
        for (int sheet : {1, YearSheet}) {
            setTextOf(slotWidgets(sheet)[0], longest);
            paste(notesOf(sheet), notes);
            static_cast<QLineEdit*>(slotWidgets(sheet)[26])->selectAll();
            paste(slotWidgets(sheet)[26], currency);
        }
        // Add, "Add up" and "Total" on January, "Add up" and "Total" on the year sheet
        for (QAbstractButton* button : {Form2->ui->Button4, Form2->ui->Button1, Form2->ui->Button24,
                                        Form14->ui->Button1, Form14->ui->Button24})
            clickOn(button->window(), button);
        const QString suffix = currency == "Currency" ? QString() : ' ' + Form2->ui->Edit21->text();
        for (QLabel* caption : {Form2->ui->Label32, Form2->ui->Label10, Form2->ui->Label29,
                                Form14->ui->Label10, Form14->ui->Label29})
            QCOMPARE(caption->text(), longest + suffix);
        QVERIFY(longest.size() + suffix.size() == LongestText || suffix.isEmpty());
        const QStringList texts = slotTexts();
        saveAll(1, path("year.txt"));
        openFile(Dialogs::Answer::Yes, path("year.txt"));
        QVERIFY(dialogs().shown.filter(QRegularExpression("^error")).isEmpty());
        QCOMPARE(slotTexts(), texts);
        saveAll(1, path("again.txt"));
        QCOMPARE(bytesOf(path("again.txt")), bytesOf(path("year.txt")));
    }

    void readOnlyFileIsNotReplaced() {
        saveAll(MainMenu, path("locked.txt"));
        QVERIFY(QFile::setPermissions(path("locked.txt"), QFile::ReadOwner | QFile::ReadGroup));
        const QByteArray content = bytesOf(path("locked.txt"));
        Form2->ui->Edit1->setText(QStringLiteral("7"));
        saveAll(1, path("locked.txt"));
        QCOMPARE(dialogs().shown.last(), QStringLiteral("error: File access denied."));
        QCOMPARE(bytesOf(path("locked.txt")), content);
    }

    void charactersSurviveSaveAndOpen_data() {
        QTest::addColumn<bool>("inNotes");
        QTest::addColumn<QString>("text");
        QTest::newRow("euro in the currency field") << false << QStringLiteral("\u20ac");
        QTest::newRow("l with stroke in the notes") << true << QStringLiteral("z\u0142oty \u0142");
    }
    void charactersSurviveSaveAndOpen() {
        QFETCH(bool, inNotes);
        QFETCH(QString, text);
        click(Form1->ui->Button53);
        QWidget* field = inNotes ? static_cast<QWidget*>(Form2->ui->Memo1) : Form2->ui->Edit21;
        QTest::mouseClick(inNotes ? Form2->ui->Memo1->viewport() : field, Qt::LeftButton);
        typeCharacters(field, text);
        const auto shownText = [&] {
            return inNotes ? Form2->ui->Memo1->toPlainText().section('\n', 0, 0)
                           : Form2->ui->Edit21->text();
        };
        QCOMPARE(shownText(), text);
        saveAll(1, path("chars.txt"));
        click(Form2->ui->Button46);
        QVERIFY(shownText() != text);
        openFile(Dialogs::Answer::Yes, path("chars.txt"));
        QCOMPARE(shownText(), text);
    }

    // ----- One-line texts -----

    // Random texts of line breaks, Ctrl+Z, tabs and the like, pasted into a field, a box and
    // the notes of every sheet, and given by the program to a field and a box: the fields
    // and boxes hold them on one line, the notes keep their breaks as lines, and the year
    // comes back from its file as it was shown, byte for byte on the next save.
    void pastedTextsComeBackFromTheFile() {
        QStringList pieces =
            QStringLiteral("\r|\n|\r\n|\u2028|\u2029|\x1a|\t|Zz 1| |\u00e9\u20ac|\U0001F600")
                .split('|');
        pieces << QString(QChar(0)) << QString(QChar(0xD800));
        QRandomGenerator random(16);
        const auto randomText = [&] {
            QString text;
            for (int count = random.bounded(1, 12); count > 0; --count)
                text += pieces[random.bounded(int(pieces.size()))];
            return text;
        };
        for (int round = 0; round < 8; ++round) {
            for (int sheet = 1; sheet <= 13; ++sheet) {
                const auto widgets = slotWidgets(sheet);
                auto* field = static_cast<QLineEdit*>(widgets[26]); // Currency
                auto* box = static_cast<QComboBox*>(widgets[8]);    // Enough?
                QPlainTextEdit* notes = notesOf(sheet);
                QString texts[6];
                for (QString& text : texts)
                    text = randomText();
                field->selectAll();
                paste(field, texts[0]);
                box->lineEdit()->selectAll();
                paste(box, texts[1]);
                notes->clear();
                paste(notes, texts[2]);
                QInputMethodEvent typed; // what an input method types after the pasted text
                typed.setCommitString(texts[3]);
                QApplication::sendEvent(field, &typed);
                QApplication::sendEvent(notes, &typed);
                static_cast<QLineEdit*>(widgets[0])->QLineEdit::setText(texts[4]);
                static_cast<QComboBox*>(widgets[25])->QComboBox::setCurrentText(texts[5]);
                QCOMPARE(field->text(), kept(texts[0], ' ') + kept(texts[3], ' '));
                QCOMPARE(box->currentText(), kept(texts[1], ' '));
                QCOMPARE(notes->toPlainText(), kept(texts[2], '\n') + kept(texts[3], '\n'));
                QCOMPARE(textOf(widgets[0]), kept(texts[4], ' '));
                QCOMPARE(textOf(widgets[25]), kept(texts[5], ' '));
            }
            const QStringList texts = slotTexts();
            saveAll(MainMenu, path("pasted.txt"));
            openFile(Dialogs::Answer::Yes, path("pasted.txt"));
            QVERIFY(dialogs().shown.filter(QRegularExpression("^error")).isEmpty());
            QCOMPARE(slotTexts(), texts);
            saveAll(MainMenu, path("again.txt"));
            QCOMPARE(bytesOf(path("again.txt")), bytesOf(path("pasted.txt")));
        }
    }

    // ----- Save on closing -----

    void saveOnClosing_data() {
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<QString>("file"); // empty: the save dialog is cancelled
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("ends");
        QTest::newRow("saved") << Dialogs::Answer::Yes << "year.txt" << true << true;
        QTest::newRow("dialog cancelled") << Dialogs::Answer::Yes << "" << false << true;
        QTest::newRow("not saved") << Dialogs::Answer::No << "year.txt" << false << true;
        QTest::newRow("save fails")
            << Dialogs::Answer::Yes << "no/such/folder/year.txt" << false << false;
    }
    void saveOnClosing() {
        QFETCH(Dialogs::Answer, answer);
        QFETCH(QString, file);
        QFETCH(bool, written);
        QFETCH(bool, ends);
        dialogs().confirmAnswers = {Dialogs::Answer::Yes, answer};
        if (answer == Dialogs::Answer::Yes)
            dialogs().saveAnswers.push_back(file.isEmpty() ? std::nullopt
                                                           : std::optional<QString>(path(file)));
        Form1->close();
        QCOMPARE(Form1->isVisible(), !ends);
        QCOMPARE(QFile::exists(path("year.txt")), written);
        if (written)
            QCOMPARE(linesOf(path("year.txt")).size(), 1690);
        QCOMPARE(dialogs().shown.last().startsWith("error: "), !ends);
        QCOMPARE(Form1->record.text(1, 1), answer == Dialogs::Answer::Yes ? "earned" : "");
    }
};

QTEST_MAIN(Saving)
#include "tst_saving.moc"
