#include "text/visible_controls.h"

QString withVisibleControls(QString text)
{
    constexpr char16_t kControlPictures = 0x2400;
    constexpr char16_t kDelete = 0x7F;
    for (QChar& character : text) {
        if (character.unicode() < 0x20)
            character = QChar(kControlPictures + character.unicode());
        else if (character.unicode() == kDelete)
            character = QChar(kControlPictures + 0x21);
    }
    return text;
}
