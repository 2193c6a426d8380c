#ifndef CONFIGWIN_KEY_LIST_BOX_H
#define CONFIGWIN_KEY_LIST_BOX_H

#include <QComboBox>

// An editable key list: what the user types is only shown, never inserted or
// matched to an entry (not on Enter, not on leaving the field); only picking
// an entry selects one. The mouse wheel changes it only while it has focus.
class KeyListBox : public QComboBox {
public:
    explicit KeyListBox(QWidget* parent);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

#endif
