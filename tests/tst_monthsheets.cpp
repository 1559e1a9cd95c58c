#include "app/MainMenu.h"
#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "support/ProgramUnderTest.h"
#include "ui_MonthSheet.h"
#include "year/YearSheet.h"

#include <QApplication>
#include <QGroupBox>
#include <QtTest>

#include <memory>

namespace {

struct Month {
    const char* name;
    QSize captionBox;
    const char* saveCaption;
    bool otherAfterAddUp;
};

const std::array<Month, 12> months = {{
    {"January", {105, 24}, "Save All", false},
    {"February", {113, 33}, "Save All", false},
    {"March", {89, 24}, "Save All", false},
    {"April", {73, 24}, "Save All", false},
    {"May", {73, 24}, "Save All", false},
    {"June", {73, 24}, "Save All", true},
    {"July", {73, 24}, "Save All", false},
    {"August", {89, 24}, "Save All", false},
    {"September", {121, 24}, "Save All", false},
    {"October", {97, 24}, "Save All", false},
    {"November", {121, 24}, "Save all", false},
    {"December", {121, 24}, "Save all", true},
}};

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
    QStringList order = otherAfterAddUp
                            ? QStringList{"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Button1",
                                          "Edit20"}
                            : QStringList{"Edit1", "Edit2", "Edit3", "Edit20", "Edit4", "Edit5",
                                          "Button1"};
    order << "Button4" << numbered("Button", 6, 10) << numbered("Button", 25, 30)
          << QStringList{"ComboBox22", "Button3", "Button50", "Button2"}
          << numbered("Edit", 6, 19) << "Button5" << numbered("Button", 11, 23)
          << numbered("Button", 31, 44) << QStringList{"ComboBox23", "Button49", "Button51"}
          << QStringList{"Memo1",    "Button24", "ComboBox24", "Button48", "Edit21",
                         "Button45", "Button46", "Button47",   "Button54", "Button52",
                         "Button53"};
    return order;
}

// The named widget that has the focus (a combo box rather than its line edit).
QString focusName() {
    QWidget* widget = QApplication::focusWidget();
    while (widget && (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_")))
        widget = widget->parentWidget();
    return widget ? widget->objectName() : QString();
}

QList<TEdit*> fieldsOf(TMonthSheet* sheet) {
    const SheetView& view = sheet->view();
    QList<TEdit*> fields(view.items.begin(), view.items.end());
    return fields << view.currency;
}

// The texts of every field and caption of a sheet.
QStringList textsOf(TMonthSheet* sheet) {
    QStringList texts;
    for (TEdit* field : fieldsOf(sheet))
        texts << field->text();
    for (QWidget* widget : sheet->findChildren<QWidget*>())
        if (auto label = qobject_cast<QLabel*>(widget))
            texts << label->text();
    const auto& ui = *sheet->ui;
    return texts << ui.ComboBox22->currentText() << ui.ComboBox23->currentText()
                 << ui.ComboBox24->currentText() << ui.Memo1->toPlainText();
}

void showActive(QWidget* window) {
    Form1->hide();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Records the showing and hiding of windows, in order.
class ShowHideLog : public QObject {
public:
    QStringList entries;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            entries << (event->type() == QEvent::Show ? "show " : "hide ") +
                           static_cast<QWidget*>(watched)->windowTitle();
        return false;
    }
};

} // namespace

class TestMonthSheets : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramUnderTest> program;

private slots:
    void initTestCase() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("QObject::connect")));
    }
    void init() { program = std::make_unique<ProgramUnderTest>(); }
    void cleanup() { program.reset(); }

    void startsWithItsCaptionsAndPlaceholders_data() { addMonthRows(); }
    void startsWithItsCaptionsAndPlaceholders() {
        QFETCH(int, month);
        const Month& own = months[month - 1];
        TMonthSheet* sheet = monthSheet(month);
        const auto& ui = *sheet->ui;
        QCOMPARE(sheet->windowTitle(), own.name);
        QCOMPARE(sheet->size(), QSize(1105, 631));
        QCOMPARE(ui.Label28->text(), own.name);
        QCOMPARE(ui.Label28->geometry(), QRect(QPoint(8, 32), own.captionBox));
        QCOMPARE(ui.Button47->text(), own.saveCaption);
        QCOMPARE(ui.Label2->text(), "Penvoro");
        for (int item = 0; item < SheetView::ItemCount; ++item)
            QCOMPARE(sheet->view().items[item]->text(), item < 6 ? "earned" : "spend");
        QCOMPARE(ui.Edit21->text(), "Currency");
        QCOMPARE(ui.Label10->text(), "Earned");
        QCOMPARE(ui.Label9->text(), "Spend");
        QCOMPARE(ui.Label32->text(), "Earned Particular");
        QCOMPARE(ui.Label33->text(), "Spend Particular");
        QCOMPARE(ui.Label29->text(), "Total this month");
        QCOMPARE(ui.Label1->text(), "Double click here for entering year");
        QCOMPARE(ui.Label1->x() + ui.Label1->width(), 1094);
        QVERIFY(ui.Memo1->toPlainText().isEmpty());
        const QList<std::pair<QComboBox*, QStringList>> boxes = {
            {ui.ComboBox22, {"Enough?", "Need more!", "Enough"}},
            {ui.ComboBox23, {"To much?", "Spend less!", "Not to much"}}};
        for (const auto& [box, texts] : boxes) {
            QCOMPARE(box->currentText(), texts.first());
            QCOMPARE(box->count(), texts.size() - 1);
            for (int i = 1; i < texts.size(); ++i)
                QCOMPARE(box->itemText(i - 1), texts[i]);
        }
        for (QComboBox* box : {ui.ComboBox22, ui.ComboBox23, ui.ComboBox24})
            QVERIFY(box->isEditable());
        QCOMPARE(ui.ComboBox24->currentText(), "Month");
        QCOMPARE(ui.ComboBox24->count(), 13);
        for (int index = 1; index <= 13; ++index)
            QCOMPARE(ui.ComboBox24->itemText(index - 1), calendar::goToTexts()[index - 1]);
        QCOMPARE(ui.ComboBox24->itemText(0), "*January");
        QCOMPARE(ui.ComboBox24->itemText(12), "*Year");
        // Nothing on a sheet is disabled, read-only or hidden.
        const QRegularExpression designed("^(Edit|Button|Label|ComboBox|Memo|GroupBox|Panel)\\d+$");
        for (QWidget* widget : sheet->findChildren<QWidget*>(designed)) {
            QVERIFY2(widget->isEnabled() && widget->isVisibleTo(sheet),
                     qPrintable(widget->objectName()));
            QVERIFY(!widget->property("readOnly").toBool());
        }
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry"); // width 0: sized to its text
        QTest::addColumn<int>("points");     // Lucida Calligraphy; 0: MS Sans Serif 8
        QTest::addColumn<QString>("style");
        struct Row {
            const char* name;
            const char* parent;
            QRect geometry;
            int points;
            const char* style;
        };
        const Row rows[] = {
            {"Panel3", "MonthSheet", {0, 0, 1105, 631}, 0, ""},
            {"Panel1", "Panel3", {0, 1, 1105, 89}, 0, ""},
            {"GroupBox1", "Panel3", {1, 61, 409, 569}, 11, ""},
            {"GroupBox2", "Panel3", {409, 61, 401, 569}, 11, ""},
            {"GroupBox3", "Panel3", {809, 61, 297, 569}, 11, ""},
            {"Label2", "Panel1", {1, 1, 1103, 41}, 24, ""},
            {"Label28", "Panel1", {8, 32, 0, 24}, 14, "bold"},
            {"Button53", "Panel1", {8, 8, 33, 17}, 0, ""},
            {"Button52", "Panel1", {1064, 8, 33, 17}, 0, ""},
            {"Label3", "GroupBox1", {8, 24, 0, 20}, 11, ""},
            {"Label4", "GroupBox1", {8, 48, 0, 20}, 11, ""},
            {"Label5", "GroupBox1", {56, 72, 0, 20}, 11, ""},
            {"Label8", "GroupBox1", {8, 424, 0, 20}, 11, ""},
            {"Edit1", "GroupBox1", {192, 24, 81, 28}, 11, ""},
            {"Edit20", "GroupBox1", {192, 136, 81, 28}, 11, ""},
            {"Edit4", "GroupBox1", {192, 168, 81, 28}, 11, ""},
            {"Edit5", "GroupBox1", {192, 424, 81, 28}, 11, ""},
            {"Button4", "GroupBox1", {280, 24, 25, 21}, 6, ""},
            {"Button25", "GroupBox1", {312, 24, 89, 21}, 6, ""},
            {"Button30", "GroupBox1", {312, 424, 89, 21}, 6, ""},
            {"Button1", "GroupBox1", {192, 472, 81, 17}, 11, ""},
            {"Label25", "GroupBox1", {8, 493, 65, 20}, 11, "bold underline"},
            {"Label10", "GroupBox1", {192, 493, 121, 20}, 11, "bold"},
            {"ComboBox22", "GroupBox1", {312, 488, 89, 23}, 8, ""},
            {"Label32", "GroupBox1", {192, 517, 0, 20}, 11, "bold"},
            {"Button3", "GroupBox1", {8, 520, 161, 17}, 11, ""},
            {"Button50", "GroupBox1", {312, 544, 89, 17}, 9, ""},
            {"Edit6", "GroupBox2", {184, 24, 81, 28}, 11, ""},
            {"Label11", "GroupBox2", {8, 32, 0, 20}, 11, ""},
            {"Button5", "GroupBox2", {272, 24, 25, 21}, 6, ""},
            {"Button31", "GroupBox2", {304, 24, 89, 21}, 6, ""},
            {"Label16", "GroupBox2", {8, 192, 97, 20}, 11, ""},
            {"Edit19", "GroupBox2", {184, 440, 81, 28}, 11, ""},
            {"Label24", "GroupBox2", {8, 448, 0, 20}, 11, ""},
            {"Button44", "GroupBox2", {304, 440, 89, 21}, 6, ""},
            {"Button2", "GroupBox2", {184, 472, 81, 17}, 11, ""},
            {"Label26", "GroupBox2", {8, 493, 65, 20}, 11, "bold underline"},
            {"Label9", "GroupBox2", {184, 493, 121, 20}, 11, "bold"},
            {"ComboBox23", "GroupBox2", {304, 488, 89, 23}, 8, ""},
            {"Label33", "GroupBox2", {184, 517, 0, 20}, 11, "bold"},
            {"Button49", "GroupBox2", {8, 520, 153, 17}, 11, ""},
            {"Button51", "GroupBox2", {304, 544, 89, 17}, 9, ""},
            {"Button45", "GroupBox3", {16, 24, 121, 25}, 11, ""},
            {"Button46", "GroupBox3", {160, 24, 121, 25}, 11, ""},
            {"Label31", "GroupBox3", {125, 56, 0, 20}, 11, ""},
            {"Memo1", "GroupBox3", {16, 80, 265, 337}, 11, ""},
            {"Edit21", "GroupBox3", {16, 432, 121, 24}, 9, ""},
            {"Button24", "GroupBox3", {16, 472, 81, 17}, 11, ""},
            {"Label29", "GroupBox3", {15, 492, 0, 21}, 12, ""},
            {"Button54", "GroupBox3", {208, 504, 81, 25}, 8, ""},
            {"Label30", "GroupBox3", {13, 536, 0, 20}, 11, ""},
            {"ComboBox24", "GroupBox3", {64, 536, 97, 23}, 8, ""},
            {"Button48", "GroupBox3", {168, 536, 25, 21}, 6, ""},
            {"Button47", "GroupBox3", {208, 536, 83, 25}, 11, ""},
        };
        for (const Row& row : rows)
            QTest::newRow(row.name) << row.name << row.parent << row.geometry << row.points
                                    << row.style;
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        QFETCH(int, points);
        QFETCH(QString, style);
        for (int month = 1; month <= 12; ++month) {
            QWidget* widget = monthSheet(month)->findChild<QWidget*>(name);
            QVERIFY(widget);
            QCOMPARE(widget->parentWidget()->objectName(), parent);
            QRect actual = widget->geometry();
            if (geometry.width() == 0)
                actual.setWidth(0);
            if (name == "Label28")
                actual.setWidth(0);
            QCOMPARE(actual, geometry);
            const QFont font = widget->font();
            QCOMPARE(font.family(), points ? "Lucida Calligraphy" : "MS Sans Serif");
            QCOMPARE(font.pointSize(), points ? points : 8);
            QCOMPARE(font.bold(), style.contains("bold"));
            QCOMPARE(font.underline(), style.contains("underline"));
        }
    }

    void colours() {
        const QColor green(0, 128, 0), red(255, 0, 0), yellow(255, 255, 0);
        for (int month = 1; month <= 12; ++month) {
            TMonthSheet* sheet = monthSheet(month);
            const auto& ui = *sheet->ui;
            for (int item = 0; item < SheetView::ItemCount; ++item)
                QCOMPARE(sheet->view().items[item]->palette().color(QPalette::Text),
                         item < 6 ? green : red);
            QCOMPARE(ui.Edit21->palette().color(QPalette::Text),
                     QApplication::palette().color(QPalette::Text));
            QCOMPARE(ui.Label10->fontColor(), green);
            QCOMPARE(ui.Label32->fontColor(), green);
            QCOMPARE(ui.Label9->fontColor(), red);
            QCOMPARE(ui.Label33->fontColor(), red);
            QCOMPARE(ui.Label29->fontColor(), TSheet::windowTextColour());
            QCOMPARE(ui.Label3->fontColor(), TSheet::windowTextColour());
            QCOMPARE(ui.Panel3->palette().color(QPalette::Window), yellow);
            QVERIFY(ui.Panel3->autoFillBackground());
            for (QLabel* caption : {ui.Label2, ui.Label28, ui.Label1})
                QVERIFY(caption->autoFillBackground());
            QCOMPARE(ui.Label1->palette().color(QPalette::Window), yellow);
        }
    }

    // The whole ring of Tab stops, starting on "~Job" when the sheet first becomes active;
    // a field reached by Tab keeps its text, all of it selected.
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
            if (auto field = qobject_cast<TEdit*>(QApplication::focusWidget())) {
                QVERIFY(!field->text().isEmpty());
                QCOMPARE(field->selectedText(), field->text());
            }
        }
        QCOMPARE(textsOf(sheet), before);
    }

    void onlyJanuaryKeepsTheGrantSelection_data() { addMonthRows(); }
    void onlyJanuaryKeepsTheGrantSelection() {
        QFETCH(int, month);
        const auto& ui = *monthSheet(month)->ui;
        showActive(monthSheet(month));
        QTest::keyClick(ui.Edit1, Qt::Key_Tab);
        QCOMPARE(ui.Edit2->selectedText(), "earned");
        QTest::keyClick(ui.Edit2, Qt::Key_Tab);
        QVERIFY(!ui.Edit2->hasFocus());
        QCOMPARE(ui.Edit2->hasSelectedText(), month == 1);
        QVERIFY(!ui.Edit1->hasSelectedText());
    }

    void aClickEmptiesAField_data() { addMonthRows(); }
    void aClickEmptiesAField() {
        QFETCH(int, month);
        TMonthSheet* sheet = monthSheet(month);
        showActive(sheet);
        for (TEdit* field : fieldsOf(sheet)) {
            const QString name = field->objectName();
            const QString placeholder = field->text();
            QStringList expected = textsOf(sheet);
            expected[fieldsOf(sheet).indexOf(field)].clear();
            QTest::mouseClick(field, Qt::LeftButton);
            QVERIFY2(field->text().isEmpty(), qPrintable(name));
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
            QVERIFY2(field->text().isEmpty(), qPrintable(name));
            field->setText("7");
            QTest::mouseDClick(field, Qt::LeftButton);
            QTest::mouseRelease(field, Qt::LeftButton);
            QVERIFY2(field->text().isEmpty(), qPrintable(name));
            field->setText(placeholder);
        }
        QVERIFY(program->dialogs.shown.isEmpty());
    }

    void aClickOnAnythingElseEmptiesNothing() {
        for (int month = 1; month <= 12; ++month) {
            TMonthSheet* sheet = monthSheet(month);
            const auto& ui = *sheet->ui;
            showActive(sheet);
            ui.Memo1->setPlainText("a note");
            const QStringList before = textsOf(sheet);
            for (QWidget* widget : std::initializer_list<QWidget*>{
                     ui.ComboBox22->lineEdit(), ui.ComboBox23->lineEdit(),
                     ui.ComboBox24->lineEdit(), ui.Memo1->viewport(), ui.Label10, ui.Label32,
                     ui.Label29, ui.Label3, ui.Label28, ui.Label1, ui.GroupBox1}) {
                QTest::mouseClick(widget, Qt::LeftButton);
                QCOMPARE(textsOf(sheet), before);
            }
            sheet->hide();
        }
    }

    void mainMenuAndCloseLeadBackToTheMenu_data() {
        QTest::addColumn<bool>("close");
        QTest::newRow("Main menu") << false;
        QTest::newRow("close") << true;
    }
    void mainMenuAndCloseLeadBackToTheMenu() {
        QFETCH(bool, close);
        for (int month = 1; month <= 12; ++month) {
            TMonthSheet* sheet = monthSheet(month);
            showActive(sheet);
            typeInto(sheet->ui->Edit7, "42");
            sheet->move(3, 4);
            ShowHideLog log;
            sheet->installEventFilter(&log);
            Form1->installEventFilter(&log);
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
            QCOMPARE(sheet->pos(), TForm::centredPosition(sheet->frameGeometry().size()));
            sheet->hide();
        }
    }

    void captionsSizeThemselves_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept"); // the edge that stays put, or "box"
        const QString longText = "123456789012345678901234567890123456789012345";
        QTest::newRow("longer year") << "Label1" << longText << "right";
        QTest::newRow("shorter year") << "Label1" << "2024" << "right";
        QTest::newRow("longer earned sum") << "Label32" << longText << "left";
        QTest::newRow("shorter earned sum") << "Label32" << "5" << "left";
        QTest::newRow("shorter spend sum") << "Label33" << "5 EUR" << "left";
        QTest::newRow("longer balance") << "Label29" << longText << "left";
        QTest::newRow("longer earned total") << "Label10" << longText << "box";
        QTest::newRow("longer spend total") << "Label9" << longText << "box";
    }
    void captionsSizeThemselves() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, kept);
        for (int month = 1; month <= 12; ++month) {
            TLabel* label = monthSheet(month)->findChild<TLabel*>(name);
            const QRect before = label->geometry();
            const bool longer = text.size() > label->text().size();
            label->setText(text);
            const QRect after = label->geometry();
            QCOMPARE(label->text(), text);
            QCOMPARE(after.top(), before.top());
            QCOMPARE(after.height(), before.height());
            if (kept == "box") {
                QCOMPARE(after, before);
                QCOMPARE(after.width(), 121);
                continue;
            }
            QCOMPARE(after.width() > before.width(), longer);
            QCOMPARE(after.width() < before.width(), !longer);
            QVERIFY(after.width() >= label->fontMetrics().horizontalAdvance(text));
            if (kept == "right")
                QCOMPARE(after.x() + after.width(), before.x() + before.width());
            else
                QCOMPARE(after.x(), before.x());
        }
    }

    void onlyMarchEntersTheYearFromItsTitle_data() { addMonthRows(); }
    void onlyMarchEntersTheYearFromItsTitle() {
        QFETCH(int, month);
        TMonthSheet* sheet = monthSheet(month);
        showActive(sheet);
        const bool march = month == 3;
        if (march)
            program->dialogs.inputAnswers.push_back("2024");
        doubleClick(sheet->ui->Label2);
        QCOMPARE(program->dialogs.shown,
                 march ? QStringList{"input: Penvoro|Enter year"} : QStringList{});
        const QString year = march ? "2024" : "Double click here for entering year";
        for (int index = 1; index <= 13; ++index)
            QCOMPARE(calendar::sheetAt(index)->view().yearCaption->text(), year);
        QCOMPARE(sheet->ui->Label1->x() + sheet->ui->Label1->width(), 1094);
        QVERIFY(program->dialogs.allAnswersUsed());
    }
};

QTEST_MAIN(TestMonthSheets)
#include "tst_monthsheets.moc"
