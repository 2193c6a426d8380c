#include "fill_key_list.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace keycatalog {

void appendKeyList(QComboBox& list, KeyListVariant variant)
{
    const QSignalBlocker quiet(list);
    const int selected = list.currentIndex();
    const QString shown = list.currentText();
    for (const KeyEntry& entry : keyList(variant))
        list.addItem(QString::fromLatin1(entry.text), int{entry.code});
    list.setCurrentIndex(selected);
    if (list.isEditable())
        list.setEditText(shown);
}

}  // namespace keycatalog
