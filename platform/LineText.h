#pragma once

#include <QString>
#include <QStringView>

// Texts as a line of the budget file holds them. The file's reader ends a line at a line
// feed, drops every carriage return and ends a line's text at Ctrl+Z (byte 26), and UTF-8
// has no form for half a surrogate pair: a text holding any of these would read back as
// another text, or move every later line of the year.
namespace lineText {

// True when a file line gives the text back exactly as it is.
bool readsBack(QStringView text);

// The text as a one-line field holds it: each line break (CR, LF, CR LF, and Unicode's line
// and paragraph separators) one blank, so that no word runs into the next; Ctrl+Z and half
// surrogate pairs dropped.
QString asOneLine(QStringView text);

// The text as the notes hold it: Ctrl+Z and half surrogate pairs dropped, line breaks kept
// (the notes keep them as lines).
QString withoutStrays(QStringView text);

// The text as one line of the notes: as asOneLine, and also each of the two characters
// that the notes take as a break between paragraphs (U+FDD0, U+FDD1) one blank, so that
// the line is shown as one line.
QString asNoteLine(QStringView text);

} // namespace lineText
