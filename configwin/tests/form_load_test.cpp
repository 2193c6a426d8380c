#include "check_value.h"
#include "form1.h"
#include "key_list.h"
#include "scripted_ui_seam.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using keycatalog::KeyListVariant;

namespace {

class Form1Load : public ::testing::Test {
protected:
    ScriptedUiSeam ui;
    Form1 form{ui};

    std::vector<KeyListBox*> lists() const
    {
        return {form.Combo1, form.Combo2, form.Combo3, form.Combo4,  form.Combo5,  form.Combo6,
                form.Combo7, form.Combo8, form.Combo9, form.Combo10, form.Combo11, form.Combo12};
    }
};

}  // namespace

TEST_F(Form1Load, ClearsTheIndicatorSetsTheFlagsAndTheAboutTexts)
{
    setCheckValue(*form.ConfigChanged, 1);
    form.Form_Load();
    EXPECT_EQ(checkValue(*form.ConfigChanged), 0);
    EXPECT_EQ(form.FirstLoad, 1);
    EXPECT_TRUE(form.DeviceUpdated);
    EXPECT_EQ(form.lblTitle->text(), "Tornel-Tyvel");
    EXPECT_EQ(form.lblVersion->text(), "4.7");
    EXPECT_EQ(form.LibVersion->text(), "Library Version:");
    EXPECT_EQ(form.FirmWare->text(), "Firmware");
}

TEST_F(Form1Load, FillsEveryListWithItsVariantOfTheCatalogue)
{
    form.Form_Load();
    const std::vector<KeyListBox*> all = lists();
    for (size_t index = 0; index < all.size(); ++index) {
        SCOPED_TRACE(all[index]->objectName().toStdString());
        const KeyListVariant variant = all[index] == form.Combo11 ? KeyListVariant::WalkUp5 : KeyListVariant::Common;
        const keycatalog::KeyList& entries = keycatalog::keyList(variant);
        ASSERT_EQ(all[index]->count(), keycatalog::kKeyListSize);
        for (int position = 0; position < keycatalog::kKeyListSize; ++position) {
            EXPECT_EQ(all[index]->itemText(position).toStdString(), entries[position].text);
            EXPECT_EQ(all[index]->itemData(position).toInt(), entries[position].code);
        }
    }
}

TEST_F(Form1Load, BackslashCodesTellCombo11FromTheOtherLists)
{
    form.Form_Load();
    for (KeyListBox* list : lists()) {
        SCOPED_TRACE(list->objectName().toStdString());
        const bool walkUp5 = list == form.Combo11;
        EXPECT_EQ(list->findData(49), walkUp5 ? -1 : 56);
        EXPECT_EQ(list->findData(50), walkUp5 ? 61 : -1);
        EXPECT_EQ(list->findData(56), 62);
    }
}

TEST_F(Form1Load, LeavesEveryListUnselectedShowingItsDesignTextWithoutAnyHandler)
{
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (KeyListBox* list : lists()) {
        spies.push_back(std::make_unique<QSignalSpy>(list, &QComboBox::currentIndexChanged));
        spies.push_back(std::make_unique<QSignalSpy>(list, &QComboBox::activated));
        spies.push_back(std::make_unique<QSignalSpy>(list, &QComboBox::editTextChanged));
    }
    form.Form_Load();
    for (KeyListBox* list : lists()) {
        SCOPED_TRACE(list->objectName().toStdString());
        EXPECT_EQ(list->currentIndex(), -1);
        EXPECT_EQ(list->currentText(), list == form.Combo12 ? "Combo5" : "");
    }
    for (const auto& spy : spies)
        EXPECT_EQ(spy->count(), 0);
}
