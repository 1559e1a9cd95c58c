#include "budget/NoteLines.h"

#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

namespace {

// True when the text certainly stays on one line of the given width, without laying it
// out: it holds nothing that breaks or stretches a line (a line separator, a tab, a
// control character or a soft hyphen) and its advance, which counts trailing blanks that
// a wrapped line would not, is clearly below the width.
bool fitsOnOneLine(const QString& text, const QFontMetricsF& metrics, qreal width) {
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        if (code < 0x20 || code == 0x7F || code == 0xAD || code == 0x2028)
            return false;
    }
    return metrics.horizontalAdvance(text) < width - 1;
}

} // namespace

QStringList displayedLines(const QPlainTextEdit& notes, int maxLines, int maxCharacters) {
    const QTextDocument* document = notes.document();
    // The box lays its text out across its viewport less the document's margins; with no
    // scroll bars the viewport is the area inside the frame.
    const qreal margin = document->documentMargin();
    const qreal width = notes.contentsRect().width() - 2 * margin;
    const QTextOption option = document->defaultTextOption();
    const QFontMetricsF metrics(notes.font());

    QStringList lines;
    for (QTextBlock block = document->begin(); block.isValid() && lines.size() < maxLines;
         block = block.next()) {
        const QString text = block.text();
        // Most note lines are short: laying each out would cost far more than measuring it.
        if (text.isEmpty() || fitsOnOneLine(text, metrics, width)) {
            lines << text.left(maxCharacters);
            continue;
        }
        QTextLayout layout(text, notes.font());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid() && lines.size() < maxLines;
             line = layout.createLine()) {
            line.setLineWidth(width);
            lines << text.mid(line.textStart(), std::min(line.textLength(), maxCharacters));
        }
        layout.endLayout();
    }
    return lines;
}
