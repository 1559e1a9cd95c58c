#pragma once

#include <QStringList>

class QPlainTextEdit;

// The lines of a notes box as the box displays them: every line the box wraps at its
// width is a line of its own, whether it ends at a typed break or at the wrap. Computed
// from the box's font, wrap option and width, so a hidden box gives the lines it would
// show. At most `maxLines` lines, each cut after `maxCharacters` (one fewer where the cut
// would split a surrogate pair).
QStringList displayedLines(const QPlainTextEdit& notes, int maxLines, int maxCharacters);
