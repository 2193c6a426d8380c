#include "widgets/form_fonts.h"

QFont formFont()
{
    return QFont(QStringLiteral("Arial"), 8);
}

void mapFormFonts()
{
    QFont::insertSubstitution(QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans"));
}
