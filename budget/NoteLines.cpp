#include "budget/NoteLines.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

QStringList displayedLines(const QPlainTextEdit& notes, int maxLines, int maxCharacters) {
    const QTextDocument* document = notes.document();
    // The box lays its text out across its viewport less the document's margins; with no
    // scroll bars the viewport is the area inside the frame.
    const qreal margin = document->documentMargin();
    const qreal width = notes.contentsRect().width() - 2 * margin;
    const QTextOption option = document->defaultTextOption();

    QStringList lines;
    for (QTextBlock block = document->begin(); block.isValid() && lines.size() < maxLines;
         block = block.next()) {
        const QString text = block.text();
        QTextLayout layout(text, notes.font());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid() && lines.size() < maxLines;
             line = layout.createLine()) {
            line.setLineWidth(width);
            lines << text.mid(line.textStart(), std::min(line.textLength(), maxCharacters));
        }
        layout.endLayout();
        if (text.isEmpty() && layout.lineCount() == 0)
            lines << QString();
    }
    return lines;
}
