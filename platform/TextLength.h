#pragma once

// The longest text one field, box, caption or budget file line may hold. Every widget
// that "Open file" fills takes texts up to this length (the currency field a little less,
// so that the captions built from it fit: numbers::LongestCurrency), the file reader
// refuses a file with a longer text, and saving refuses a year with one, so whatever is
// opened comes back whole on the next save.
//
// Opening a year lays every text out in its widget, so the time grows with this length.
// At 1024 the worst year the reader accepts (every slot and note line this long, in
// scripts that no installed font holds, right to left and left to right by turns, padded
// to the largest file with dropped CRs) opens in about 0.7 s until January is painted
// (bench/run-bench.sh), at 1280 in about 0.85 s, at 2000 in over 1.2 s.
inline constexpr int LongestText = 1024;
