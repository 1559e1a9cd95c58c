#include "app/Startup.h"

#include "app/MainMenu.h"
#include "month/MonthSheet.h"
#include "platform/Fonts.h"
#include "year/Overview.h"
#include "year/PrintChoice.h"
#include "year/YearSheet.h"

#include <QApplication>

namespace {

template <class Form> void create(Form*& instance) {
    instance = new Form;
}

template <class Form> void destroy(Form*& instance) {
    delete instance;
    instance = nullptr;
}

} // namespace

void createAllWindows() {
    Q_INIT_RESOURCE(forms);
    substituteFonts();
    create(Form1);
    TForm::setMainForm(Form1);
    create(Form2);
    create(Form3);
    create(Form4);
    create(Form5);
    create(Form6);
    create(Form7);
    create(Form8);
    create(Form9);
    create(Form10);
    create(Form11);
    create(Form12);
    create(Form13);
    create(Form14);
    create(Form15);
    create(Form16);
}

void destroyAllWindows() {
    destroy(Form16);
    destroy(Form15);
    destroy(Form14);
    destroy(Form13);
    destroy(Form12);
    destroy(Form11);
    destroy(Form10);
    destroy(Form9);
    destroy(Form8);
    destroy(Form7);
    destroy(Form6);
    destroy(Form5);
    destroy(Form4);
    destroy(Form3);
    destroy(Form2);
    TForm::setMainForm(nullptr);
    destroy(Form1);
}
