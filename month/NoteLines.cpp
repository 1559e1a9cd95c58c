#include "month/NoteLines.h"

#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <array>

namespace {

// The advances of the Latin characters of one font, each measured once when first met.
// Adding them up tells quickly that a short paragraph of plain text stays on one line;
// laying a paragraph out costs many times more, and most note lines are short.
class LatinAdvances {
public:
    explicit LatinAdvances(const QFont& font)
        : metrics_(font)
        , spaced_(hasExtraSpacing(font)) {
        advances_.fill(-1);
    }

    // True when the text certainly fits the width on one line: every character a
    // printable Latin one laid out one after the other, and their advances with ample
    // room for kerning clearly less than the width.
    bool fitOnOneLine(const QString& text, qreal width) {
        if (spaced_ || text.isEmpty())
            return false;
        qreal total = 0;
        for (const QChar character : text) {
            const char16_t code = character.unicode();
            if (code < 0x20 || (code >= 0x7F && code < 0xA0) || code == 0xAD || code >= End)
                return false;
            qreal& advance = advances_[code];
            if (advance < 0)
                advance = metrics_.horizontalAdvance(character);
            total += advance;
        }
        return total * 1.1 + 2 < width;
    }

private:
    static constexpr char16_t End = 0x250; // Basic Latin to Latin Extended-B
    static bool hasExtraSpacing(const QFont& font) {
        return font.letterSpacing() != 0 || font.wordSpacing() != 0;
    }

    QFontMetricsF metrics_;
    bool spaced_;
    std::array<qreal, End> advances_;
};

} // namespace

QStringList displayedLines(const QPlainTextEdit& notes, int maxLines, int maxCharacters) {
    const QTextDocument* document = notes.document();
    // The box lays its text out across its viewport less the document's margins; with no
    // scroll bars the viewport is the area inside the frame.
    const qreal margin = document->documentMargin();
    const qreal width = notes.contentsRect().width() - 2 * margin;
    const QTextOption option = document->defaultTextOption();
    LatinAdvances advances(notes.font());

    QStringList lines;
    auto take = [&](const QString& text, int start, int length) {
        // A break typed inside the paragraph (Shift+Enter) ends the line and is no text.
        if (length > 0 && text.at(start + length - 1) == QChar::LineSeparator)
            --length;
        // A cut never splits a surrogate pair: its first half alone could not be saved.
        if (length > maxCharacters)
            length = text.at(start + maxCharacters - 1).isHighSurrogate() ? maxCharacters - 1
                                                                          : maxCharacters;
        lines << text.mid(start, length);
    };
    for (QTextBlock block = document->begin(); block.isValid() && lines.size() < maxLines;
         block = block.next()) {
        const QString text = block.text();
        if (text.isEmpty() || advances.fitOnOneLine(text, width)) {
            take(text, 0, int(text.size()));
            continue;
        }
        QTextLayout layout(text, notes.font());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid() && lines.size() < maxLines;
             line = layout.createLine()) {
            line.setLineWidth(width);
            take(text, line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    return lines;
}
