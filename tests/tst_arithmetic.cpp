// The month sheet's arithmetic through its widgets: "Add" and the running sums,
// "Clear Particular", "Add up", "Total" and its colour, "Clear table", "Clear all" and
// what an overflow leaves behind.
#include "month/Calendar.h"
#include "month/MonthSheet.h"
#include "support/ProgramUnderTest.h"
#include "ui_MonthSheet.h"

#include <QLocale>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

const QString overflowBox = QStringLiteral("error: Floating point overflow.");
const QColor red(255, 0, 0);
const QColor green(0, 128, 0);

Ui::MonthSheet& jan() {
    return *Form2->ui;
}

// January's captions: running sums (Label32, Label33), totals (Label10, Label9), balance.
QStringList captions() {
    return {jan().Label32->text(), jan().Label33->text(), jan().Label10->text(),
            jan().Label9->text(), jan().Label29->text()};
}
const QString earnedRunning = QStringLiteral("Earned Particular");
const QString spendRunning = QStringLiteral("Spend Particular");
const QString noBalance = QStringLiteral("Total this month");

// The field and button of January's "~Job" (earned) and "~Room rent" (spend).
void addJob(const QString& text) {
    typeInto(jan().Edit1, text);
    click(jan().Button4);
}
void addRent(const QString& text) {
    typeInto(jan().Edit6, text);
    click(jan().Button5);
}

// Types each text into its field.
void fill(std::initializer_list<std::pair<TEdit*, const char*>> entries) {
    for (const auto& [field, text] : entries)
        typeInto(field, QString::fromUtf8(text));
}

QStringList texts(std::initializer_list<TEdit*> fields) {
    QStringList result;
    for (TEdit* field : fields)
        result << field->text();
    return result;
}

// Adds text columns and one row per entry: the row's name, then its texts.
void textRows(std::initializer_list<const char*> columns,
              std::initializer_list<std::initializer_list<const char*>> rows) {
    for (const char* column : columns)
        QTest::addColumn<QString>(column);
    for (const auto& row : rows) {
        QTestData& data = QTest::newRow(*row.begin());
        for (auto text = row.begin() + 1; text != row.end(); ++text)
            data << QString::fromUtf8(*text);
    }
}

bool allPlaceholders(const TSheet* sheet) {
    for (int item = 0; item < SheetView::ItemCount; ++item)
        if (sheet->view().items[item]->text() != (SheetView::isEarned(item) ? "earned" : "spend"))
            return false;
    return true;
}

// Restores the default locale when a test that changed it ends, passed or failed.
struct LocaleGuard {
    QLocale saved;
    ~LocaleGuard() { QLocale::setDefault(saved); }
};

} // namespace

class TestArithmetic : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramUnderTest> program;

    QStringList takeShown() { return std::exchange(program->dialogs.shown, {}); }

private slots:
    void initTestCase() { QTest::failOnWarning(QRegularExpression("QObject::connect")); }
    void init() {
        program = std::make_unique<ProgramUnderTest>();
        Form2->show();
    }
    void cleanup() {
        const QStringList shown = takeShown();
        program.reset();
        QCOMPARE(shown, QStringList());
    }

    // "Add" and "Clear Particular".
    void addTwiceAddsTwice() {
        addJob("12.5");
        QCOMPARE(captions(), QStringList({"12.5", spendRunning, "Earned", "Spend", noBalance}));
        QCOMPARE(jan().Edit1->text(), "12.5");
        click(jan().Button4);
        QCOMPARE(captions(), QStringList({"25", spendRunning, "Earned", "Spend", noBalance}));
        QCOMPARE(jan().Edit1->text(), "12.5");
        QCOMPARE(Form2->EarnedParticular, 25.0);
    }

    void addOnPlaceholderAddsZero() {
        click(jan().Button4);
        click(jan().Button23);
        QCOMPARE(captions(), QStringList({"0", "0", "Earned", "Spend", noBalance}));
        QCOMPARE(texts({jan().Edit1, jan().Edit19}), QStringList({"0", "0"}));
    }

    void addNormalisesTheField_data() {
        textRows({"typed", "normalised"}, {{"blanks, trailing zero", "  12.50 ", "12.5"},
                                           {"leading zeros", "007", "7"},
                                           {"exponent", "1e3", "1000"},
                                           {"negative zero", "-0", "0"},
                                           {"no number", "abc", "0"},
                                           {"trailing letters", "12abc", "0"},
                                           {"inner blank", "1 000", "0"},
                                           {"lone sign", "-", "0"},
                                           {"separator first", ".5", "0.5"},
                                           {"small", "2E-2", "0.02"},
                                           {"negative", "-2.5", "-2.5"},
                                           {"exponent too long", "1E5000", "0"}});
    }
    void addNormalisesTheField() {
        QFETCH(QString, typed);
        QFETCH(QString, normalised);
        addJob(typed);
        typeInto(jan().Edit19, typed);
        click(jan().Button23);
        QCOMPARE(texts({jan().Edit1, jan().Edit19}), QStringList({normalised, normalised}));
        QCOMPARE(captions().first(2), QStringList({normalised, normalised}));
    }

    void sumIsShownWithFifteenDigits() {
        addJob("0.1");
        addJob("0.2");
        QCOMPARE(jan().Label32->text(), "0.3");
    }

    void currencySuffix_data() {
        textRows({"currency", "caption"}, {{"EUR", "EUR", "12.5 EUR"},
                                           {"emptied", "", "12.5 "},
                                           {"typed back", "Currency", "12.5"},
                                           {"other case", "currency", "12.5 currency"}});
    }
    void currencySuffix() {
        QFETCH(QString, currency);
        QFETCH(QString, caption);
        typeInto(jan().Edit21, currency);
        addJob("12.5");
        QCOMPARE(jan().Label32->text(), caption);
        QCOMPARE(jan().Edit1->text(), "12.5");
        typeInto(jan().Edit21, "USD"); // a caption keeps its suffix until written again
        QCOMPARE(jan().Label32->text(), caption);
    }

    void clearParticular() {
        typeInto(jan().Edit21, "EUR");
        addJob("12.5");
        addRent("4");
        click(jan().Button3);
        QCOMPARE(captions().first(2), QStringList({"0 EUR", "4 EUR"}));
        QCOMPARE(Form2->EarnedParticular, 0.0);
        QCOMPARE(jan().Edit1->text(), "12.5");
        addJob("3");
        QCOMPARE(jan().Label32->text(), "3 EUR");

        typeInto(jan().Edit21, "Currency");
        click(jan().Button49);
        QCOMPARE(captions().first(2), QStringList({"3 EUR", "0"}));
        addRent("2");
        QCOMPARE(jan().Label33->text(), "2");
    }

    void clearTableRestartsOnlyItsRunningSum() {
        addJob("10");
        addRent("4");
        click(jan().Button51);
        QCOMPARE(captions().first(2), QStringList({"10", spendRunning}));
        addJob("1");
        addRent("2");
        QCOMPARE(captions().first(2), QStringList({"11", "2"}));

        click(jan().Button50);
        QCOMPARE(captions().first(2), QStringList({earnedRunning, "2"}));
        QCOMPARE(Form2->EarnedParticular, 0.0);
        typeInto(jan().Edit20, "5");
        click(jan().Button8);
        QCOMPARE(captions().first(2), QStringList({"5", "2"}));
    }

    void overwrittenCaptionContinuesFromTheNumber() {
        jan().Label32->setText("120"); // as a file read would leave it
        addJob("5");
        QCOMPARE(jan().Label32->text(), "5");
        jan().Label32->setText("120");
        addJob("5");
        QCOMPARE(jan().Label32->text(), "10");
    }

    void everyAddButtonAddsItsOwnField_data() {
        textRows({"button", "field"},
                 {{"~Job", "Button4", "Edit1"},         {"~Student grant", "Button6", "Edit2"},
                  {"~Parents", "Button7", "Edit3"},     {"~Other", "Button8", "Edit20"},
                  {"~Subsidy", "Button9", "Edit4"},     {"~Earned extra", "Button10", "Edit5"},
                  {"~Room rent", "Button5", "Edit6"},   {"~Education", "Button11", "Edit7"},
                  {"~Food", "Button12", "Edit8"},       {"~Books", "Button13", "Edit9"},
                  {"~Transport", "Button14", "Edit10"}, {"~Phone bill", "Button15", "Edit11"},
                  {"~Insurance", "Button16", "Edit12"}, {"~Hobbies", "Button17", "Edit13"},
                  {"~Clothes", "Button18", "Edit14"},   {"~Going out", "Button19", "Edit15"},
                  {"~Presents", "Button20", "Edit16"},  {"~Smoking", "Button21", "Edit17"},
                  {"~Holiday", "Button22", "Edit18"},   {"~Spend extra", "Button23", "Edit19"}});
    }
    void everyAddButtonAddsItsOwnField() {
        QFETCH(QString, button);
        QFETCH(QString, field);
        const int item =
            int(std::find_if(Form2->view().items.begin(), Form2->view().items.end(),
                             [&](TEdit* edit) { return edit->objectName() == field; }) -
                Form2->view().items.begin());
        const bool earned = SheetView::isEarned(item);
        const auto running = [&](TMonthSheet* sheet) {
            return QStringList{sheet->ui->Label32->text(), sheet->ui->Label33->text()};
        };
        const auto expected = [&](int month) {
            const QString sum = QString::number(month);
            return earned ? QStringList{sum, spendRunning} : QStringList{earnedRunning, sum};
        };
        for (int month = 1; month <= calendar::MonthCount; ++month) {
            TMonthSheet* sheet = monthSheet(month);
            sheet->show();
            for (TEdit* edit : sheet->view().items)
                edit->setText("1000"); // what a wrongly bound button would add
            typeInto(sheet->view().items[item], QString::number(month));
            click(sheet->findChild<QAbstractButton*>(button));
            QCOMPARE(running(sheet), expected(month));
            for (TEdit* edit : sheet->view().items)
                QCOMPARE(edit->text(),
                         edit == sheet->view().items[item] ? QString::number(month) : "1000");
            sheet->hide();
        }
        for (int month = 1; month <= calendar::MonthCount; ++month) {
            TMonthSheet* sheet = monthSheet(month);
            QCOMPARE(running(sheet), expected(month));
            QCOMPARE(earned ? sheet->EarnedParticular : sheet->SpendParticular, double(month));
            QCOMPARE(earned ? sheet->SpendParticular : sheet->EarnedParticular, 0.0);
        }
    }

    // "Add up" and "Total".
    void addUpRewritesTheFields() {
        fill({{jan().Edit1, "100"}, {jan().Edit3, "x"}, {jan().Edit20, ""}, {jan().Edit4, " 50 "}});
        click(jan().Button1);
        QCOMPARE(
            texts({jan().Edit1, jan().Edit2, jan().Edit3, jan().Edit20, jan().Edit4, jan().Edit5}),
            QStringList({"100", "0", "0", "0", "50", "0"}));
        QCOMPARE(captions(), QStringList({earnedRunning, spendRunning, "150", "Spend", noBalance}));
        QCOMPARE(Form2->EarnedTotal, 150.0);

        typeInto(jan().Edit21, "EUR");
        fill({{jan().Edit6, "7.50"}, {jan().Edit19, "1e1"}});
        click(jan().Button2);
        QCOMPARE(texts({jan().Edit6, jan().Edit12, jan().Edit19}), QStringList({"7.5", "0", "10"}));
        QCOMPARE(captions(),
                 QStringList({earnedRunning, spendRunning, "150", "17.5 EUR", noBalance}));
    }

    void totalOnAFreshSheet_data() {
        textRows({"currency", "balance"},
                 {{"no currency", "Currency", "0"}, {"EUR", "EUR", "0 EUR"}});
    }
    void totalOnAFreshSheet() {
        QFETCH(QString, currency);
        QFETCH(QString, balance);
        QCOMPARE(jan().Label29->fontColor(), TSheet::windowTextColour());
        typeInto(jan().Edit21, currency);
        click(jan().Button24);
        QCOMPARE(captions(), QStringList({earnedRunning, spendRunning, "0", "0", balance}));
        QCOMPARE(jan().Label29->fontColor(), TSheet::windowTextColour());
    }

    void balanceColour_data() {
        textRows({"earned", "spend", "balance", "colour"},
                 {{"below 0", "100", "150", "-50", "red"},
                  {"above 0", "150", "100", "50", "green"},
                  {"equal", "100", "100", "0", "window text"}});
    }
    void balanceColour() {
        QFETCH(QString, earned);
        QFETCH(QString, spend);
        QFETCH(QString, balance);
        QFETCH(QString, colour);
        typeInto(jan().Edit1, earned);
        typeInto(jan().Edit6, spend);
        click(jan().Button1);
        click(jan().Button2);
        click(jan().Button24);
        QCOMPARE(jan().Label29->text(), balance);
        QCOMPARE(jan().Label29->fontColor(), colour == "red"     ? red
                                             : colour == "green" ? green
                                                                 : TSheet::windowTextColour());
        // The colour follows the balance back to 0.
        typeInto(jan().Edit6, earned);
        click(jan().Button2);
        click(jan().Button24);
        QCOMPARE(jan().Label29->text(), "0");
        QCOMPARE(jan().Label29->fontColor(), TSheet::windowTextColour());
    }

    void totalCountsATableNotAddedUpAsZero() {
        typeInto(jan().Edit1, "100");
        click(jan().Button1);
        click(jan().Button24);
        QCOMPARE(captions().last(3), QStringList({"100", "0", "100"}));
        QCOMPARE(Form2->SpendTotal, 0.0);

        typeInto(jan().Edit6, "30");
        click(jan().Button2);
        click(jan().Button50); // 100 is still held but no longer counts
        QCOMPARE(Form2->EarnedTotal, 100.0);
        click(jan().Button24);
        QCOMPARE(captions().last(3), QStringList({"0", "30", "-30"}));
        QCOMPARE(jan().Label29->fontColor(), red);
    }

    void totalUsesTheLastAddUp() {
        typeInto(jan().Edit1, "100");
        click(jan().Button1);
        typeInto(jan().Edit1, "500");
        click(jan().Button24);
        QCOMPARE(jan().Label29->text(), "100");
        QCOMPARE(jan().Edit1->text(), "500");
        click(jan().Button1);
        click(jan().Button24);
        QCOMPARE(jan().Label29->text(), "500");
    }

    // "Clear table" and "Clear all".
    void clearTableLeavesBalanceAndCurrency() {
        typeInto(jan().Edit21, "EUR");
        typeInto(jan().Edit6, "30");
        click(jan().Button2);
        click(jan().Button24);
        jan().ComboBox22->setCurrentText("Enough");
        jan().ComboBox23->setCurrentText("Spend less!");
        click(jan().Button50);
        click(jan().Button51);
        QCOMPARE(captions(),
                 QStringList({earnedRunning, spendRunning, "Earned", "Spend", "-30 EUR"}));
        QCOMPARE(jan().Label29->fontColor(), red);
        QCOMPARE(jan().Edit21->text(), "EUR");
        QCOMPARE(jan().ComboBox22->currentText(), "Enough?");
        QCOMPARE(jan().ComboBox23->currentText(), "To much?");
        QVERIFY(allPlaceholders(Form2));
    }

    void clearAll() {
        typeInto(jan().Edit21, "EUR");
        addJob("7");
        addRent("3");
        click(jan().Button1);
        click(jan().Button2);
        click(jan().Button24);
        jan().ComboBox22->setCurrentText("Enough");
        jan().ComboBox23->setCurrentText("Spend less!");
        jan().ComboBox24->setCurrentText("*May");
        jan().Memo1->setPlainText("rent went up\nsecond line");
        jan().Label1->setText("2024");
        Form3->ui->Label32->setText("kept");

        click(jan().Button46);
        QVERIFY(allPlaceholders(Form2));
        QCOMPARE(captions(),
                 QStringList({earnedRunning, spendRunning, "Earned", "Spend", noBalance}));
        QCOMPARE(jan().Label29->fontColor(), TSheet::windowTextColour());
        QCOMPARE(QStringList({jan().ComboBox22->currentText(), jan().ComboBox23->currentText(),
                              jan().ComboBox24->currentText(), jan().Edit21->text(),
                              jan().Memo1->toPlainText(), jan().Label1->text()}),
                 QStringList({"Enough?", "To much?", "Month", "Currency", "", "2024"}));
        QCOMPARE(Form3->ui->Label32->text(), "kept");
        QCOMPARE(Form2->EarnedParticular, 0.0);
        QCOMPARE(Form2->SpendParticular, 3.0);
        QCOMPARE(Form2->EarnedTotal, 7.0);
        QCOMPARE(Form2->SpendTotal, 3.0);
        QCOMPARE(Form2->Balance, 4.0);

        typeInto(jan().Edit7, "4");
        click(jan().Button11);
        QCOMPARE(jan().Label33->text(), "4");
    }

    void commaLocale() {
        LocaleGuard guard{QLocale()};
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        addJob("1,5");
        QCOMPARE(jan().Edit1->text(), "1,5");
        QCOMPARE(jan().Label32->text(), "1,5");
        addJob("1.5");
        QCOMPARE(jan().Edit1->text(), "0");
        QCOMPARE(jan().Label32->text(), "1,5");
    }

    // Floating point overflow.
    void addOverflowingAmount() {
        addJob("1E400");
        QCOMPARE(takeShown(), QStringList{overflowBox});
        QCOMPARE(jan().Label32->text(), earnedRunning);
        QCOMPARE(jan().Edit1->text(), "1E400");
        QCOMPARE(Form2->EarnedParticular, 0.0);

        addJob("5");
        addJob("-1E400");
        QCOMPARE(takeShown(), QStringList{overflowBox});
        QCOMPARE(jan().Label32->text(), "5");
        QCOMPARE(jan().Edit1->text(), "-1E400");
        QCOMPARE(Form2->EarnedParticular, 5.0);

        Form2->SpendParticular = 7; // the placeholder reset comes before the amount fails
        addRent("1E400");
        QCOMPARE(takeShown(), QStringList{overflowBox});
        QCOMPARE(jan().Label33->text(), spendRunning);
        QCOMPARE(Form2->SpendParticular, 0.0);
    }

    void addOverflowingRunningSum() {
        addJob("1E308");
        click(jan().Button4);
        QCOMPARE(takeShown(), QStringList{overflowBox});
        QCOMPARE(jan().Label32->text(), "1E308");
        QCOMPARE(jan().Edit1->text(), "1E308");
        QCOMPARE(Form2->EarnedParticular, 1E308);
    }

    void addUpOverflowingSum() {
        typeInto(jan().Edit1, "5");
        click(jan().Button1);
        fill({{jan().Edit1, "1E308"}, {jan().Edit2, "1.0E308"}});
        click(jan().Button1);
        QCOMPARE(takeShown(), QStringList{overflowBox});
        QCOMPARE(texts({jan().Edit1, jan().Edit2}), QStringList({"1E308", "1E308"}));
        QCOMPARE(Form2->EarnedTotal, 1E308);
        QCOMPARE(jan().Label10->text(), "5");
    }

    void addUpOverflowingField() {
        typeInto(jan().Edit6, "5");
        click(jan().Button2);
        fill({{jan().Edit6, "7.0"},
              {jan().Edit7, "x"},
              {jan().Edit8, "1E400"},
              {jan().Edit9, "09"}});
        click(jan().Button2);
        QCOMPARE(takeShown(), QStringList{overflowBox});
        QCOMPARE(texts({jan().Edit6, jan().Edit7, jan().Edit8, jan().Edit9}),
                 QStringList({"7", "0", "1E400", "09"}));
        QCOMPARE(Form2->SpendTotal, 0.0);
        QCOMPARE(jan().Label9->text(), "5");
    }

    void totalOverflowing() {
        typeInto(jan().Edit1, "1");
        click(jan().Button1);
        click(jan().Button24);
        fill({{jan().Edit1, "1.5E308"}, {jan().Edit6, "-1.5E308"}});
        click(jan().Button1);
        click(jan().Button2);
        click(jan().Button24);
        QCOMPARE(takeShown(), QStringList{overflowBox});
        QCOMPARE(captions().last(3), QStringList({"1.5E308", "-1.5E308", "1"}));
        QCOMPARE(jan().Label29->fontColor(), green);
        QCOMPARE(Form2->Balance, 1.0);
    }
};

QTEST_MAIN(TestArithmetic)
#include "tst_arithmetic.moc"
