#pragma once

#include <QList>
#include <QStringList>

#include <array>

class QPlainTextEdit;
class QWidget;

// The sheets' widgets by the names of the forms, written out here independently of the
// program's own slot table, so that a fault in that table cannot hide behind it.
namespace sheetWidgets {

constexpr int YearSheet = 13;

// The widgets of a sheet's thirty slots (1..13); the year sheet has none for 8 and 25.
std::array<QWidget*, 30> slotWidgets(int sheet);
QPlainTextEdit* notesOf(int sheet);

// The text an edit, a label or a combo box shows, and setting it.
QString textOf(QWidget* widget);
void setTextOf(QWidget* widget, const QString& text);

// Everything the thirteen sheets show, and the numbers they keep.
struct Sheets {
    QStringList texts;
    QList<double> numbers;
    static Sheets now();
};

} // namespace sheetWidgets
