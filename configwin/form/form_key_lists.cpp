// Filling the twelve key lists from the key catalogue.
#include "form/form1.h"

#include "fill_key_list.h"

using keycatalog::KeyListVariant;
using keycatalog::appendKeyList;

void Form1::FillComboList()
{
    appendKeyList(*Combo1, KeyListVariant::Common);
}

void Form1::FillCombo2List()
{
    appendKeyList(*Combo2, KeyListVariant::Common);
}

void Form1::FillCombo3List()
{
    for (KeyListBox* list : {Combo3, Combo4, Combo5, Combo6, Combo7})
        appendKeyList(*list, KeyListVariant::Common);
}

void Form1::FillCombo4List()
{
    for (KeyListBox* list : {Combo8, Combo9, Combo10})
        appendKeyList(*list, KeyListVariant::Common);
}

void Form1::FillCombo5List()
{
    appendKeyList(*Combo11, KeyListVariant::WalkUp5);
    appendKeyList(*Combo12, KeyListVariant::Common);
}
