#include "platform/LineText.h"

#include <algorithm>

namespace lineText {

namespace {

constexpr char16_t LineFeed = u'\n';
constexpr char16_t CarriageReturn = u'\r';
constexpr char16_t CtrlZ = 26;

// Half of a surrogate pair without its other half.
bool isLoneSurrogate(QStringView text, qsizetype at) {
    const QChar character = text[at];
    if (character.isHighSurrogate())
        return at + 1 == text.size() || !text[at + 1].isLowSurrogate();
    if (character.isLowSurrogate())
        return at == 0 || !text[at - 1].isHighSurrogate();
    return false;
}

bool isLineBreak(char16_t code) {
    return code == LineFeed || code == CarriageReturn || code == QChar::LineSeparator ||
           code == QChar::ParagraphSeparator;
}

// Qt's text documents end a paragraph at the marks of a frame's start and end too.
bool isParagraphBreak(char16_t code) {
    return isLineBreak(code) || code == 0xFDD0 || code == 0xFDD1;
}

bool isStray(QStringView text, qsizetype at) {
    return text[at] == CtrlZ || isLoneSurrogate(text, at);
}

} // namespace

bool readsBack(QStringView text) {
    for (qsizetype at = 0; at < text.size(); ++at)
        if (text[at] == LineFeed || text[at] == CarriageReturn || isStray(text, at))
            return false;
    return true;
}

QString withoutStrays(QStringView text) {
    QString result;
    result.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at)
        if (!isStray(text, at))
            result += text[at];
    return result;
}

namespace {

// The strays dropped, and each break (CR LF as one) one blank, so that no word runs into
// the next.
template <class IsBreak> QString joined(QStringView text, IsBreak isBreak) {
    if (std::none_of(text.begin(), text.end(), [&](QChar character) {
            return isBreak(character.unicode()) || character == CtrlZ || character.isSurrogate();
        }))
        return text.toString(); // most texts: nothing to change
    // The strays go first, so that a CR and an LF they parted are still one break.
    const QString kept = withoutStrays(text);
    QString result;
    result.reserve(kept.size());
    for (qsizetype at = 0; at < kept.size(); ++at) {
        const char16_t code = kept[at].unicode();
        if (!isBreak(code)) {
            result += kept[at];
            continue;
        }
        if (code == CarriageReturn && at + 1 < kept.size() && kept[at + 1] == LineFeed)
            ++at; // CR LF is one break
        result += u' ';
    }
    return result;
}

} // namespace

QString asOneLine(QStringView text) {
    return joined(text, isLineBreak);
}

QString asNoteLine(QStringView text) {
    return joined(text, isParagraphBreak);
}

} // namespace lineText
