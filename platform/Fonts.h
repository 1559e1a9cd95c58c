#pragma once

class QWidget;

// The forms name "Lucida Calligraphy" and "MS Sans Serif", which Linux does not have;
// they are mapped once, at start-up, to installed free faces of the same kind. The
// calligraphic stand-in, TeX Gyre Chorus, is far narrower than the face the layout was
// drawn for, so it is widened by a horizontal stretch, one for regular and one for bold
// text, measured at the mapping so that the captions that size themselves come out as
// wide as the layout draws them.
void substituteFonts();

// Gives the widget and every widget in it that writes in the calligraphic face the
// stretch of its weight. Runs once for each window, after its form is built.
void widenCalligraphicFonts(QWidget* widget);
