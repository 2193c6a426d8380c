// Interim stand-ins until the window's reader, writer and reporter land.
#include "form_logic.h"

#include "form1.h"

#include <QLineEdit>

void ErReason(Form1& form, const QString& label)
{
    form.LastErr->setText(label);
}

void ReadConfig(Form1& form)
{
    form.FirstLoad = 0;
}

bool WriteConfig(Form1&)
{
    return true;
}

void CheckUpdate(Form1&) {}

void connectFieldHandlers(Form1&) {}
