#pragma once

#include <QString>

struct SheetView;

// The 30 item slots of a sheet: which widget's text each slot holds.
//  1-6 the earned amounts (Edit1, Edit2, Edit3, Edit20, Edit4, Edit5), 7 the earned
//  total, 8 the earned running sum, 9 the "Enough?" box, 10-23 the spend amounts
//  (Edit6 to Edit19), 24 the spend total, 25 the spend running sum, 26 the "To much?"
//  box, 27 the currency, 28 the balance, 29 the go-to box, 30 the year caption.
namespace itemSlots {

// The text of a slot. The year sheet has no running sums: its slot 8 reads one blank
// and its slot 25 the empty text.
QString text(const SheetView& sheet, int slot);

// Sets the widget of a slot; the running-sum slots of the year sheet are skipped.
// A balance caption's colour is left as it is.
void setText(const SheetView& sheet, int slot, const QString& text);

} // namespace itemSlots
