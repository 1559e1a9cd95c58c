#include "app/MainMenu.h"
#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "platform/ScreenCentring.h"
#include "support/Ink.h"
#include "support/ProgramUnderTest.h"
#include "support/ShowHideLog.h"
#include "ui_MainMenu.h"
#include "ui_MonthSheet.h"
#include "ui_YearSheet.h"
#include "year/YearSheet.h"

#include <QApplication>
#include <QGroupBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// The twelve sheets: caption, month caption box, save caption, "~Other" after "Add up".
struct Month {
    const char* name;
    QSize captionBox;
    const char* saveCaption;
    bool otherAfterAddUp;
};
const Month months[12] = {
    {"January", {105, 24}, "Save All", false},   {"February", {113, 33}, "Save All", false},
    {"March", {89, 24}, "Save All", false},      {"April", {73, 24}, "Save All", false},
    {"May", {73, 24}, "Save All", false},        {"June", {73, 24}, "Save All", true},
    {"July", {73, 24}, "Save All", false},       {"August", {89, 24}, "Save All", false},
    {"September", {121, 24}, "Save All", false}, {"October", {97, 24}, "Save All", false},
    {"November", {121, 24}, "Save all", false},  {"December", {121, 24}, "Save all", true}};

void addMonthRows() {
    QTest::addColumn<int>("month");
    for (int month = 1; month <= 12; ++month)
        QTest::newRow(months[month - 1].name) << month;
}

QStringList numbered(const QString& prefix, int first, int last) {
    QStringList names;
    for (int i = first; i <= last; ++i)
        names << prefix + QString::number(i);
    return names;
}

// Every widget that takes the focus with Tab, in keyboard order.
QStringList tabStops(bool otherAfterAddUp) {
    QStringList order = otherAfterAddUp ? QStringList{"Edit4", "Edit5", "Button1", "Edit20"}
                                        : QStringList{"Edit20", "Edit4", "Edit5", "Button1"};
    return QStringList{"Edit1", "Edit2", "Edit3"}
           << order << "Button4" << numbered("Button", 6, 10) << numbered("Button", 25, 30)
           << QStringList{"ComboBox22", "Button3", "Button50", "Button2"} << numbered("Edit", 6, 19)
           << "Button5" << numbered("Button", 11, 23) << numbered("Button", 31, 44)
           << QStringList{"ComboBox23", "Button49", "Button51"}
           << QString("Memo1 Button24 ComboBox24 Button48 Edit21 Button45 Button46 Button47 "
                      "Button54 Button52 Button53")
                  .split(' ');
}

// The named widget that has the focus (a combo box rather than its line edit).
QString focusName() {
    QWidget* widget = QApplication::focusWidget();
    while (widget && (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_")))
        widget = widget->parentWidget();
    return widget ? widget->objectName() : QString();
}

QList<TEdit*> fieldsOf(TMonthSheet* sheet) {
    QList<TEdit*> fields(sheet->view().items.begin(), sheet->view().items.end());
    return fields << sheet->ui->Edit21;
}

// The texts of every field, caption, box and the notes of a sheet; the fields first.
QStringList textsOf(TMonthSheet* sheet) {
    QStringList texts;
    for (TEdit* field : fieldsOf(sheet))
        texts << field->text();
    for (QLabel* label : sheet->findChildren<QLabel*>())
        texts << label->text();
    for (QComboBox* box : sheet->findChildren<QComboBox*>())
        texts << box->currentText();
    return texts << sheet->ui->Memo1->toPlainText();
}

// A key held down on the widget, as X11 delivers it: its press, then repeats, each a
// release and a press with one timestamp. The toolkit marks a pair as a repeat only when
// it sees the press in time; on a busy machine it often does not, and other events may
// be queued between the two. letGo() then lets the key come up and handles the events
// queued so far.
quint64 keyTime = 1000;
QKeyEvent* keyEvent(QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers,
                    bool markedRepeat = false) {
    auto* event = new QKeyEvent(type, key, modifiers, QString(), markedRepeat);
    event->setTimestamp(keyTime);
    return event;
}
void sendKey(QWidget* widget, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers,
             bool markedRepeat = false) {
    std::unique_ptr<QKeyEvent> event(keyEvent(type, key, modifiers, markedRepeat));
    QApplication::sendEvent(widget, event.get());
}
void holdDown(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    keyTime += 10;
    sendKey(widget, QEvent::KeyPress, key, modifiers);
    for (int repeat = 0; repeat < 3; ++repeat) {
        for (const bool marked : {true, false}) {
            keyTime += 33;
            sendKey(widget, QEvent::KeyRelease, key, modifiers, marked);
            sendKey(widget, QEvent::KeyPress, key, modifiers, marked);
        }
        keyTime += 33;
        const QPointF inside(2, 2);
        QCoreApplication::postEvent(widget, keyEvent(QEvent::KeyRelease, key, modifiers));
        QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseMove, inside,
                                                            widget->mapToGlobal(inside),
                                                            Qt::NoButton, Qt::NoButton, {}));
        QCoreApplication::postEvent(widget, keyEvent(QEvent::KeyPress, key, modifiers));
        QCoreApplication::processEvents();
    }
}
void letGo(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    keyTime += 10;
    sendKey(widget, QEvent::KeyRelease, key, modifiers);
    QCoreApplication::processEvents();
}

} // namespace

class TestMonthSheets : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramUnderTest> program;

private slots:
    void initTestCase() { QTest::failOnWarning(QRegularExpression("QObject::connect")); }
    void init() { program = std::make_unique<ProgramUnderTest>(); }
    void cleanup() { program.reset(); }

    void startsWithItsCaptionsPlaceholdersAndColours_data() { addMonthRows(); }
    void startsWithItsCaptionsPlaceholdersAndColours() {
        QFETCH(int, month);
        const Month& own = months[month - 1];
        TMonthSheet* sheet = monthSheet(month);
        const auto& ui = *sheet->ui;
        QCOMPARE(sheet->windowTitle(), own.name);
        QCOMPARE(sheet->size(), QSize(1105, 631));
        QCOMPARE(ui.Label28->text(), own.name);
        QCOMPARE(ui.Label28->geometry(), QRect(QPoint(8, 32), own.captionBox));
        QCOMPARE(ui.Button47->text(), own.saveCaption);
        const QColor green(0, 128, 0), red(255, 0, 0), yellow(255, 255, 0);
        for (int item = 0; item < SheetView::ItemCount; ++item) {
            TEdit* field = sheet->view().items[item];
            QCOMPARE(field->text(), item < 6 ? "earned" : "spend");
            QCOMPARE(field->palette().color(QPalette::Text), item < 6 ? green : red);
        }
        const QWidgetList captioned = {ui.Label2,  ui.Edit21,  ui.Label10, ui.Label9,
                                       ui.Label32, ui.Label33, ui.Label29, ui.Label1};
        const QStringList captions =
            QString("Penvoro|Currency|Earned|Spend|Earned Particular|Spend Particular|"
                    "Total this month|Double click here for entering year")
                .split('|');
        for (int i = 0; i < captions.size(); ++i)
            QCOMPARE(captioned[i]->property("text").toString(), captions[i]);
        QCOMPARE(ui.Label1->x() + ui.Label1->width(), 1094);
        QVERIFY(ui.Memo1->toPlainText().isEmpty());
        QStringList goTo = {"Month"};
        for (const Month& each : months)
            goTo << QString("*") + each.name;
        const QList<std::pair<QComboBox*, QStringList>> boxes = {
            {ui.ComboBox22, {"Enough?", "Need more!", "Enough"}},
            {ui.ComboBox23, {"To much?", "Spend less!", "Not to much"}},
            {ui.ComboBox24, goTo << "*Year"}};
        for (auto [box, texts] : boxes) {
            QVERIFY(box->isEditable());
            QCOMPARE(box->currentText(), texts.takeFirst());
            for (int i = 0; i < std::max<int>(texts.size(), box->count()); ++i)
                QCOMPARE(box->itemText(i), texts.value(i));
        }
        QCOMPARE(ui.Edit21->palette().color(QPalette::Text),
                 QApplication::palette().color(QPalette::Text));
        const QColor text = TSheet::windowTextColour();
        const QList<TLabel*> labels = {ui.Label10, ui.Label32, ui.Label9,
                                       ui.Label33, ui.Label29, ui.Label3};
        const QList<QColor> colours = {green, green, red, red, text, text};
        for (int i = 0; i < labels.size(); ++i)
            QCOMPARE(labels[i]->fontColor(), colours[i]);
        for (QWidget* ground : QWidgetList{ui.Panel3, ui.Label2, ui.Label1}) {
            QVERIFY(ground->autoFillBackground());
            QCOMPARE(ground->palette().color(QPalette::Window), yellow);
        }
        // Nothing on a sheet is disabled, read-only or hidden.
        for (QWidget* widget : sheet->findChildren<QWidget*>(
                 QRegularExpression("^(Edit|Button|Label|ComboBox|Memo|GroupBox)\\d+$"))) {
            QVERIFY2(widget->isEnabled() && widget->isVisibleTo(sheet),
                     qPrintable(widget->objectName()));
            QVERIFY(!widget->property("readOnly").toBool());
        }
    }

    void layout_data() {
        QTest::addColumn<QStringList>("row");
        // Name, parent, left, top, width, height (0: not checked), then Lucida Calligraphy's
        // points and style; no font stands for the window's MS Sans Serif 8.
        const QString rows =
            "Panel3 MonthSheet 0 0 1105 631|Panel1 Panel3 0 1 1105 89|"
            "GroupBox1 Panel3 1 61 409 569 11|GroupBox2 Panel3 409 61 401 569 11|"
            "GroupBox3 Panel3 809 61 297 569 11|Label2 Panel1 1 1 1103 41 24|"
            "Label28 Panel1 8 32 0 0 14 bold|Button53 Panel1 8 8 33 17|"
            "Button52 Panel1 1064 8 33 17|Edit1 GroupBox1 192 24 81 28 11|"
            "Button4 GroupBox1 280 24 25 21 6|Button25 GroupBox1 312 24 89 21 6|"
            "Label25 GroupBox1 8 493 65 20 11 bold underline|"
            "Label10 GroupBox1 192 493 121 20 11 bold|ComboBox22 GroupBox1 312 488 89 23 8|"
            "Label32 GroupBox1 192 517 0 20 11 bold|Edit6 GroupBox2 184 24 81 28 11|"
            "Button5 GroupBox2 272 24 25 21 6|Button31 GroupBox2 304 24 89 21 6|"
            "Label16 GroupBox2 8 192 97 20 11|Label9 GroupBox2 184 493 121 20 11 bold|"
            "Button45 GroupBox3 16 24 121 25 11|Memo1 GroupBox3 16 80 265 337 11|"
            "Edit21 GroupBox3 16 432 121 24 9|Label29 GroupBox3 15 492 0 21 12|"
            "ComboBox24 GroupBox3 64 536 97 23 8|Button47 GroupBox3 208 536 83 25 11|"
            "Label5 GroupBox1 56 72 0 20 11|Edit20 GroupBox1 192 136 81 28 11|"
            "Edit5 GroupBox1 192 424 81 28 11|Edit19 GroupBox2 184 440 81 28 11|"
            "Button50 GroupBox1 312 544 89 17 9|Button54 GroupBox3 208 504 81 25 8";
        for (const QString& row : rows.split('|'))
            QTest::newRow(qPrintable(row)) << row.split(' ');
    }
    void layout() {
        QFETCH(QStringList, row);
        const QRect geometry(row[2].toInt(), row[3].toInt(), row[4].toInt(), row[5].toInt());
        for (int month = 1; month <= 12; ++month) {
            QWidget* widget = monthSheet(month)->findChild<QWidget*>(row[0]);
            QCOMPARE(widget->parentWidget()->objectName(), row[1]);
            QRect actual = widget->geometry();
            actual.setWidth(geometry.width() ? actual.width() : 0);
            actual.setHeight(geometry.height() ? actual.height() : 0);
            QCOMPARE(actual, geometry);
            const QFont font = widget->font();
            QCOMPARE(font.family(), row.size() > 6 ? "Lucida Calligraphy" : "MS Sans Serif");
            QCOMPARE(font.pointSize(), row.size() > 6 ? row[6].toInt() : 8);
            QCOMPARE(font.bold(), row.contains("bold"));
            QCOMPARE(font.underline(), row.contains("underline"));
        }
    }

    // The whole ring of Tab stops, starting on "~Job" when the sheet first becomes active.
    // A field reached by Tab keeps its text, all of it selected; on leaving, only
    // January's "~Student grant" keeps its selection.
    void keyboardOrder_data() { addMonthRows(); }
    void keyboardOrder() {
        QFETCH(int, month);
        TMonthSheet* sheet = monthSheet(month);
        showActive(sheet);
        const QStringList order = tabStops(months[month - 1].otherAfterAddUp);
        const QStringList before = textsOf(sheet);
        QCOMPARE(focusName(), "Edit1");
        QCOMPARE(sheet->ui->Edit1->selectedText(), "earned");
        for (int step = 1; step <= order.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusName(), order[step % order.size()]);
            if (auto field = qobject_cast<TEdit*>(QApplication::focusWidget()))
                QCOMPARE(field->selectedText(), field->text());
            if (step == 2)
                QCOMPARE(sheet->ui->Edit2->hasSelectedText(), month == 1);
        }
        QCOMPARE(sheet->ui->Edit2->hasSelectedText(), month == 1);
        QVERIFY(!sheet->ui->Edit3->hasSelectedText());
        QCOMPARE(textsOf(sheet), before);
    }

    // Enter, and the keypad's Enter, press the push button that has the focus, once; in a
    // field they do nothing. So it is on every window, the main menu's buttons included.
    void enterPressesTheFocusedButton_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Enter") << Qt::Key_Return << Qt::KeyboardModifiers();
        QTest::newRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
    }
    void enterPressesTheFocusedButton() {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        const auto& ui = *Form2->ui;
        showActive(Form2);
        typeInto(ui.Edit1, "12.5");
        ui.Edit5->setFocus();
        const QStringList before = textsOf(Form2);
        QTest::keyClick(ui.Edit5, key, modifiers);
        QCOMPARE(textsOf(Form2), before);

        QTest::keyClick(ui.Edit5, Qt::Key_Tab);
        QCOMPARE(focusName(), "Button1"); // "Add up"
        QTest::keyClick(ui.Button1, key, modifiers);
        QCOMPARE(ui.Label10->text(), "12.5");

        ui.Button4->setFocus(); // "Add" of "~Job"
        QTest::keyClick(ui.Button4, key, modifiers);
        QCOMPARE(ui.Label32->text(), "12.5");

        ui.Button45->setFocus(); // "Main menu"
        QTest::keyClick(ui.Button45, key, modifiers);
        QVERIFY(Form1->isVisible() && !Form2->isVisible());
        Form1->ui->Button53->setFocus(); // "Continue"
        QTest::keyClick(Form1->ui->Button53, key, modifiers);
        QVERIFY(Form2->isVisible() && !Form1->isVisible());
        QVERIFY(program->dialogs.shown.isEmpty());
    }

    // Held down, Enter or Space presses the focused button once, as the key comes up,
    // however its repeats arrive: "Add" adds once, and "Print month" and "Open file" open
    // no box while the key's repeats could still land in it.
    void aHeldKeyPressesTheFocusedButtonOnce_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Enter") << Qt::Key_Return << Qt::KeyboardModifiers();
        QTest::newRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
        QTest::newRow("Space") << Qt::Key_Space << Qt::KeyboardModifiers();
    }
    void aHeldKeyPressesTheFocusedButtonOnce() {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        const auto& ui = *Form2->ui;
        showActive(Form2);
        typeInto(ui.Edit1, "12.5");
        ui.Button4->setFocus(); // "Add" of "~Job"
        holdDown(ui.Button4, key, modifiers);
        QCOMPARE(ui.Label32->text(), "Earned Particular");
        letGo(ui.Button4, key, modifiers);
        QCOMPARE(ui.Label32->text(), "12.5");

        program->dialogs.printAnswers = {false};
        program->dialogs.confirmAnswers = {Dialogs::Answer::No};
        for (QPushButton* button : {ui.Button54, Form1->ui->Button52}) {
            showActive(button->window());
            button->setFocus();
            const qsizetype shownBefore = program->dialogs.shown.size();
            holdDown(button, key, modifiers);
            QCOMPARE(program->dialogs.shown.size(), shownBefore);
            letGo(button, key, modifiers);
        }
        QCOMPARE(
            program->dialogs.shown,
            QStringList({"notice: Set orientation of printer on Landscape!", "print",
                         "confirm: Are you sure you want to open an other file before saving?"}));
    }

    void aClickEmptiesAFieldAndNothingElse_data() { addMonthRows(); }
    void aClickEmptiesAFieldAndNothingElse() {
        QFETCH(int, month);
        TMonthSheet* sheet = monthSheet(month);
        const auto& ui = *sheet->ui;
        showActive(sheet);
        ui.Memo1->setPlainText("a note");
        for (TEdit* field : fieldsOf(sheet)) {
            const QString placeholder = field->text();
            QStringList expected = textsOf(sheet);
            expected[fieldsOf(sheet).indexOf(field)].clear();
            QTest::mouseClick(field, Qt::LeftButton);
            QCOMPARE(textsOf(sheet), expected);
            // Pressed on the field but released elsewhere, or the right button: no click.
            field->setText(placeholder);
            QTest::mousePress(field, Qt::LeftButton);
            QTest::mouseRelease(field, Qt::LeftButton, {}, QPoint(-20, field->height() / 2));
            QTest::mouseClick(field, Qt::RightButton);
            QCOMPARE(field->text(), placeholder);
            // A number is emptied too, also by a click that only moves the caret.
            field->setText("1234.5");
            QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->width() - 8, 8));
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
            field->setText("7");
            QTest::mouseDClick(field, Qt::LeftButton);
            QTest::mouseRelease(field, Qt::LeftButton);
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
            field->setText(placeholder);
        }
        const QStringList before = textsOf(sheet);
        for (QWidget* widget :
             QWidgetList{ui.ComboBox22->lineEdit(), ui.ComboBox23->lineEdit(),
                         ui.ComboBox24->lineEdit(), ui.Memo1->viewport(), ui.Label10, ui.Label32,
                         ui.Label29, ui.Label3, ui.Label1, ui.GroupBox1}) {
            QTest::mouseClick(widget, Qt::LeftButton);
            QCOMPARE(textsOf(sheet), before);
        }
        QVERIFY(program->dialogs.shown.isEmpty());
    }

    // "Main menu" hides the sheet, then shows the menu; a close does the two the other
    // way round. Neither asks anything, and the sheet keeps its texts and is centred again.
    void mainMenuAndCloseLeadBackToTheMenu() {
        for (int month = 1; month <= 24; ++month) {
            const bool close = month > 12;
            TMonthSheet* sheet = monthSheet((month - 1) % 12 + 1);
            showActive(sheet);
            typeInto(sheet->ui->Edit7, "42");
            sheet->move(3, 4);
            ShowHideLog log;
            log.watch(sheet);
            log.watch(Form1);
            if (close)
                QVERIFY(sheet->close());
            else
                click(sheet->ui->Button45);
            const QString hidden = "hide " + sheet->windowTitle();
            QCOMPARE(log.entries, close ? QStringList({"show Main menu", hidden})
                                        : QStringList({hidden, "show Main menu"}));
            QVERIFY(Form1->isVisible() && !sheet->isVisible());
            QCOMPARE(sheet->Position, TForm::poScreenCenter);
            QCOMPARE(sheet->ui->Edit7->text(), "42");
            QVERIFY(program->dialogs.shown.isEmpty());
            sheet->show();
            QCOMPARE(sheet->pos(), ScreenCentring::centredPosition(sheet->frameGeometry().size()));
            sheet->hide();
        }
    }

    void captionsSizeThemselves_data() {
        QTest::addColumn<QStringList>("row"); // caption, the edge that stays put, new text
        for (const char* row :
             {"Label1 right long", "Label1 right 2024", "Label32 left long", "Label32 left 5",
              "Label33 left 5_EUR", "Label29 left long", "Label10 box long", "Label9 box long"}) {
            QStringList fields = QString(row).split(' ');
            fields[2] = fields[2] == "long" ? QString(40, QChar('8')) : fields[2].replace('_', ' ');
            QTest::newRow(row) << fields;
        }
    }
    void captionsSizeThemselves() {
        QFETCH(QStringList, row);
        for (int month = 1; month <= 12; ++month) {
            TLabel* label = monthSheet(month)->findChild<TLabel*>(row[0]);
            const QRect before = label->geometry();
            const bool longer = row[2].size() > label->text().size();
            label->setText(row[2]);
            const QRect after = label->geometry();
            QCOMPARE(label->text(), row[2]);
            QCOMPARE(after.top(), before.top());
            QCOMPARE(after.height(), before.height());
            if (row[1] == "box") {
                QCOMPARE(after, before);
                QCOMPARE(after.width(), 121);
                continue;
            }
            QCOMPARE(after.width() > before.width(), longer);
            QCOMPARE(after.width() < before.width(), !longer);
            QVERIFY(after.width() >= label->fontMetrics().horizontalAdvance(row[2]));
            if (row[1] == "right")
                QCOMPARE(after.x() + after.width(), before.x() + before.width());
            else
                QCOMPARE(after.x(), before.x());
        }
    }

    // The captions that size themselves start as wide as the layout draws them for their
    // first text, on every sheet, are drawn that wide, and fit their text again when their
    // font changes.
    void captionsStartAsWideAsDesigned_data() {
        QTest::addColumn<QStringList>("row"); // caption, first and last sheet, designed width
        for (const char* row : {"Label1 1 13 319", "Label32 1 12 163", "Label33 1 12 152",
                                "Label29 1 12 138", "Label29 13 13 124"})
            QTest::newRow(row) << QString(row).split(' ');
    }
    void captionsStartAsWideAsDesigned() {
        QFETCH(QStringList, row);
        for (int index = row[1].toInt(); index <= row[2].toInt(); ++index) {
            QWidget* sheet = calendar::sheetAt(index);
            TLabel* label = sheet->findChild<TLabel*>(row[0]);
            const int designed = row[3].toInt();
            QVERIFY2(std::abs(label->width() - designed) * 20 <= designed,
                     qPrintable(QString("%1 on %2: %3 wide")
                                    .arg(row[0], sheet->windowTitle())
                                    .arg(label->width())));
            // The text is drawn as wide as it is measured: its ink reaches the right end.
            const QImage drawn = label->grab().toImage();
            int inkEnd = 0;
            for (int x = 0; x < drawn.width(); ++x)
                for (int y = 0; y < drawn.height(); ++y)
                    if (std::min(qRed(drawn.pixel(x, y)), qGreen(drawn.pixel(x, y))) < 128)
                        inkEnd = x + 1;
            QVERIFY2(inkEnd * 10 >= label->width() * 9, qPrintable(QString::number(inkEnd)));
            const QRect before = label->geometry();
            QFont narrower = label->font();
            narrower.setStretch(QFont::Unstretched);
            label->setFont(narrower);
            QVERIFY(label->width() < before.width());
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
        }
    }

    // On all thirteen sheets the year caption keeps the tail of its last letter at its right
    // edge, and the three boxes cover the top bar's lower edge ("Earned" and "Extra" lying
    // over "Spend"). A long text the program puts into a field or box shows its beginning.
    void textsShowWholeAndBoxesCoverTheBar() {
        for (int index = 1; index <= 13; ++index) {
            auto* caption = calendar::sheetAt(index)->findChild<TLabel*>("Label1");
            for (const char* text : {"Double click here for entering year", "2024", "Ruby year"}) {
                caption->setText(text);
                QCOMPARE(caption->x() + caption->width(), 1094);
                QCOMPARE(inkWidth(caption), inkWidth(caption, text));
            }
            auto* panel = calendar::sheetAt(index)->findChild<QWidget*>("Panel3");
            const QImage image = panel->grab().toImage();
            for (int x = 0; x < panel->width(); ++x) { // 89: the top bar's last row
                auto* box = qobject_cast<QGroupBox*>(panel->childAt(x, 89));
                const QColor pixel = image.pixelColor(x, 89); // the box's inside is shaded
                if (box && x >= box->x() + 4 && x < box->x() + box->width() - 4)
                    QVERIFY2(pixel.red() > 240 && pixel.green() > 240 && pixel.blue() < 32,
                             qPrintable(QString("sheet %1, x %2").arg(index).arg(x)));
            }
            QCOMPARE(panel->childAt(409, 300)->objectName(), "GroupBox1");
            QCOMPARE(panel->childAt(809, 300)->objectName(), "GroupBox3");
        }
        const QString number = "123456789012345678901234";
        Form1->hide();
        Form2->show();
        typeInto(Form2->ui->Edit1, number);
        click(Form2->ui->Button4); // "Add"
        typeInto(Form2->ui->Edit6, number);
        click(Form2->ui->Button2); // "Add up"
        typeInto(Form2->ui->Edit3, number);
        click(Form2->ui->Button27); // "Copy to all months"
        Form2->hide();
        Form14->show();
        click(Form14->ui->Button4); // "Add all months up"
        Form2->ui->ComboBox24->setCurrentText(number);
        QTemporaryDir dir; // "Open file" puts back what a save wrote
        program->dialogs.saveAnswers.push_back(dir.filePath("long.txt"));
        click(Form14->ui->Button47);
        // January's first field is left out once opened: shown, the sheet gives it the focus
        // with its text selected.
        const QList<QLineEdit*> given = {Form2->ui->Edit6, Form3->ui->Edit3, Form14->ui->Edit1,
                                         Form2->ui->ComboBox24->lineEdit(), Form2->ui->Edit1};
        for (bool opened : {false, true}) {
            if (opened) {
                program->dialogs.confirmAnswers.push_back(Dialogs::Answer::Yes);
                program->dialogs.openAnswers.push_back(dir.filePath("long.txt"));
                Form1->show();
                click(Form1->ui->Button52);
            }
            for (QLineEdit* field : given.mid(0, opened ? 4 : 5)) {
                field->grab(); // scrolls the text as a paint does
                const QRect caret = field->inputMethodQuery(Qt::ImCursorRectangle).toRect();
                QVERIFY2(caret.left() < field->width() / 4, qPrintable(field->text()));
            }
        }
    }

    void onlyMarchEntersTheYearFromItsTitle_data() { addMonthRows(); }
    void onlyMarchEntersTheYearFromItsTitle() {
        QFETCH(int, month);
        TMonthSheet* sheet = monthSheet(month);
        showActive(sheet);
        if (month == 3)
            program->dialogs.inputAnswers.push_back("2024");
        doubleClick(sheet->ui->Label2);
        QCOMPARE(program->dialogs.shown,
                 month == 3 ? QStringList{"input: Penvoro|Enter year"} : QStringList{});
        const QString year = month == 3 ? "2024" : "Double click here for entering year";
        for (int index = 1; index <= 13; ++index)
            QCOMPARE(calendar::sheetAt(index)->view().yearCaption->text(), year);
        QCOMPARE(sheet->ui->Label1->x() + sheet->ui->Label1->width(), 1094);
        QVERIFY(program->dialogs.allAnswersUsed());
    }
};

QTEST_MAIN(TestMonthSheets)
#include "tst_monthsheets.moc"
