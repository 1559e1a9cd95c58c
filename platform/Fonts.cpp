#include "platform/Fonts.h"

#include <QFont>

void substituteFonts() {
    QFont::insertSubstitution(QStringLiteral("Lucida Calligraphy"),
                              QStringLiteral("TeX Gyre Chorus"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Nimbus Sans"));
}
