#ifndef KEYCATALOG_FILL_KEY_LIST_H
#define KEYCATALOG_FILL_KEY_LIST_H

#include "key_list.h"

class QComboBox;

namespace keycatalog {

// Appends the variant's 104 entries after whatever the list holds, each
// entry's code as its item datum. The list's selection and edit text stay as
// they were and it emits nothing, although Qt would otherwise select the
// first entry added to an empty list.
void appendKeyList(QComboBox& list, KeyListVariant variant);

}  // namespace keycatalog

#endif
