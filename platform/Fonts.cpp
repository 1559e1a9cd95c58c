#include "platform/Fonts.h"

#include "platform/TLabel.h"

#include <QFont>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

const QString calligraphic = QStringLiteral("Lucida Calligraphy");

// Captions that size themselves, with their first text and the width the layout gives
// them for it.
struct DesignedCaption {
    const char* text;
    int points;
    bool bold;
    int width;
};
constexpr DesignedCaption designedCaptions[] = {
    {"Double click here for entering year", 13, false, 319},
    {"Total this month", 12, false, 138},
    {"Total this year", 12, false, 124},
    {"Earned Particular", 11, true, 163},
    {"Spend Particular", 11, true, 152},
};

// The stretch, in per cent, that brings the captions of one weight closest to their
// designed widths: the one that makes the largest shortfall and the largest excess
// equal. Widths grow in proportion to the stretch, so a second round only corrects
// the rounding of the first.
int measuredStretch(bool bold) {
    int stretch = 100;
    for (int round = 0; round < 2; ++round) {
        double least = HUGE_VAL;
        double most = 0;
        for (const DesignedCaption& caption : designedCaptions) {
            if (caption.bold != bold)
                continue;
            QFont font(calligraphic, caption.points, bold ? QFont::Bold : QFont::Normal);
            font.setStretch(stretch);
            const double ratio =
                double(caption.width) / captionWidth(QFontMetrics(font), caption.text);
            least = std::min(least, ratio);
            most = std::max(most, ratio);
        }
        stretch = int(std::lround(stretch * std::sqrt(least * most)));
    }
    return stretch;
}

int regularStretch = QFont::AnyStretch;
int boldStretch = QFont::AnyStretch;

} // namespace

void substituteFonts() {
    QFont::insertSubstitution(calligraphic, QStringLiteral("TeX Gyre Chorus"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Nimbus Sans"));
    if (regularStretch == QFont::AnyStretch) {
        regularStretch = measuredStretch(false);
        boldStretch = measuredStretch(true);
    }
}

void widenCalligraphicFonts(QWidget* widget) {
    QFont font = widget->font();
    const int stretch = font.family() != calligraphic ? int(QFont::AnyStretch)
                        : font.bold()                 ? boldStretch
                                                      : regularStretch;
    // A child that writes in its parent's face and weight inherits the stretch.
    if (font.stretch() != stretch) {
        font.setStretch(stretch);
        widget->setFont(font);
    }
    for (QObject* child : widget->children())
        if (child->isWidgetType())
            widenCalligraphicFonts(static_cast<QWidget*>(child));
}
