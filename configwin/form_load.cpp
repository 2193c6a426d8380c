#include "form1.h"

#include "app_info.h"
#include "check_value.h"

#include <QCheckBox>
#include <QLabel>

void Form1::Form_Load()
{
    setCheckValue(*ConfigChanged, 0);
    FirstLoad = 1;
    DeviceUpdated = true;

    lblTitle->setText(QString::fromLatin1(kAppTitle));
    lblVersion->setText(QStringLiteral("%1.%2").arg(kVersionMajor).arg(kVersionMinor));

    FillComboList();
    FillCombo2List();
    FillCombo3List();
    FillCombo4List();
    FillCombo5List();
}
