#include "widgets/key_list_box.h"

#include <QLineEdit>
#include <QWheelEvent>

KeyListBox::KeyListBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setFocusPolicy(Qt::StrongFocus);
    // Even without a completer the combo box selects an entry that matches
    // the typed text when editing finishes.
    QObject::disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
}

void KeyListBox::wheelEvent(QWheelEvent* event)
{
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}
