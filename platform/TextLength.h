#pragma once

// The longest text one field, box, caption or budget file line may hold. Every widget
// that "Open file" fills takes texts up to this length, the file reader refuses a file
// with a longer line, and saving refuses a year with a longer text, so whatever is
// opened comes back whole on the next save.
inline constexpr int LongestText = 32767;
