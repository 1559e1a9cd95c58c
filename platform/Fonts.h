#pragma once

#include <QObject>

// The forms name "Lucida Calligraphy" and "MS Sans Serif", which Linux does not have;
// they are mapped once, at start-up, to installed free faces of the same kind. The
// calligraphic stand-in, TeX Gyre Chorus, is far narrower than the face the layout was
// drawn for, so it is widened by a horizontal stretch, one for regular and one for bold
// text, measured at the mapping so that the captions that size themselves come out as
// wide as the layout draws them.
void substituteFonts();

// While it lives, every widget whose font is set takes the stretch of its weight when it
// writes in the calligraphic face. A window's form sets each font before it makes the
// widgets inside and before it writes their texts, so they inherit the stretch and
// size themselves once, in it. Lives while a window is made.
class WidenedCalligraphicFonts : public QObject {
public:
    WidenedCalligraphicFonts();
    ~WidenedCalligraphicFonts() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
