#include "platform/Fonts.h"

#include "platform/TLabel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <vector>

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
// designed widths: the one whose largest deviation is smallest. A caption's text grows
// about in proportion to the stretch while the room beside it stays, so the captions
// are measured unstretched for a first answer, and measured again at that answer for
// the final one.
int measuredStretch(bool bold) {
    int measuredAt = 100;
    for (int round = 0; round < 2; ++round) {
        struct Measured {
            double text, beside, designed;
        };
        std::vector<Measured> captions;
        for (const DesignedCaption& caption : designedCaptions) {
            if (caption.bold != bold)
                continue;
            QFont font(calligraphic, caption.points, bold ? QFont::Bold : QFont::Normal);
            font.setStretch(measuredAt);
            const QFontMetrics metrics(font);
            const int beside = captionWidth(metrics, QString());
            captions.push_back({double(captionWidth(metrics, caption.text) - beside),
                                double(beside), double(caption.width)});
        }
        const auto deviation = [&](int stretch) {
            double largest = 0;
            for (const Measured& caption : captions) {
                const double width = caption.beside + caption.text * stretch / measuredAt;
                largest = std::max(largest, std::abs(width - caption.designed) / caption.designed);
            }
            return largest;
        };
        int best = measuredAt;
        for (int stretch = 100; stretch <= 300; ++stretch)
            if (deviation(stretch) < deviation(best))
                best = stretch;
        measuredAt = best;
    }
    return measuredAt;
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

WidenedCalligraphicFonts::WidenedCalligraphicFonts() {
    QCoreApplication::instance()->installEventFilter(this);
}

WidenedCalligraphicFonts::~WidenedCalligraphicFonts() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool WidenedCalligraphicFonts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FontChange || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    QFont font = widget->font();
    const int stretch = font.family() != calligraphic ? int(QFont::AnyStretch)
                        : font.bold()                 ? boldStretch
                                                      : regularStretch;
    if (font.stretch() != stretch) {
        font.setStretch(stretch);
        widget->setFont(font);
    }
    return false;
}
