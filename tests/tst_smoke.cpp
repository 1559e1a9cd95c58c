#include "app/MainMenu.h"
#include "month/MonthSheet.h"
#include "support/ProgramUnderTest.h"
#include "ui_MainMenu.h"
#include "ui_MonthSheet.h"

#include <QtTest>

class Smoke : public QObject {
    Q_OBJECT
private slots:
    void continueShowsJanuaryAndAddWorks() {
        ProgramUnderTest program;
        click(Form1->ui->Button53);
        QVERIFY(Form2->isVisible());
        QVERIFY(!Form1->isVisible());
        typeInto(Form2->ui->Edit1, QStringLiteral("12.5"));
        click(Form2->ui->Button4);
        QCOMPARE(Form2->ui->Label32->text(), QStringLiteral("12.5"));
        click(Form2->ui->Button4);
        QCOMPARE(Form2->ui->Label32->text(), QStringLiteral("25"));
    }
};

QTEST_MAIN(Smoke)
#include "tst_smoke.moc"
