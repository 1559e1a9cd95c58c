#pragma once

// The forms name "Lucida Calligraphy" and "MS Sans Serif", which Linux does not have;
// they are mapped once, at start-up, to installed free faces of the same kind.
void substituteFonts();
