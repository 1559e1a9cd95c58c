#pragma once

#include "platform/TComboBox.h"
#include "platform/TEdit.h"
#include "platform/TLabel.h"
#include "platform/TMemo.h"

#include <array>

// The widgets of one sheet by their role. The twelve month sheets and the year sheet
// share the layout and the widget names; the year sheet has no running sums, so its
// two running-sum captions are null.
struct SheetView {
    static constexpr int EarnedCount = 6;
    static constexpr int SpendCount = 14;
    static constexpr int ItemCount = EarnedCount + SpendCount;

    // The twenty amount fields in table order: Edit1, Edit2, Edit3, Edit20, Edit4, Edit5
    // (earned), then Edit6 to Edit19 (spend).
    std::array<TEdit*, ItemCount> items{};
    TLabel* earnedTotal = nullptr;   // Label10
    TLabel* earnedRunning = nullptr; // Label32
    TComboBox* enough = nullptr;     // ComboBox22
    TLabel* spendTotal = nullptr;    // Label9
    TLabel* spendRunning = nullptr;  // Label33
    TComboBox* tooMuch = nullptr;    // ComboBox23
    TEdit* currency = nullptr;       // Edit21
    TLabel* balance = nullptr;       // Label29
    TComboBox* goTo = nullptr;       // ComboBox24
    TLabel* yearCaption = nullptr;   // Label1
    TMemo* notes = nullptr;          // Memo1

    static bool isEarned(int item) { return item < EarnedCount; }
};

// Builds the view of a sheet from the members of its generated form class.
template <class Form> SheetView viewOf(Form& ui) {
    SheetView view;
    view.items = {ui.Edit1,  ui.Edit2,  ui.Edit3,  ui.Edit20, ui.Edit4,  ui.Edit5,  ui.Edit6,
                  ui.Edit7,  ui.Edit8,  ui.Edit9,  ui.Edit10, ui.Edit11, ui.Edit12, ui.Edit13,
                  ui.Edit14, ui.Edit15, ui.Edit16, ui.Edit17, ui.Edit18, ui.Edit19};
    view.earnedTotal = ui.Label10;
    view.enough = ui.ComboBox22;
    view.spendTotal = ui.Label9;
    view.tooMuch = ui.ComboBox23;
    view.currency = ui.Edit21;
    view.balance = ui.Label29;
    view.goTo = ui.ComboBox24;
    view.yearCaption = ui.Label1;
    view.notes = ui.Memo1;
    if constexpr (requires { ui.Label32; }) {
        view.earnedRunning = ui.Label32;
        view.spendRunning = ui.Label33;
    }
    return view;
}
