#include "app/exit_status.h"
#include "binding/dravik_binding.h"
#include "form/form1.h"
#include "handlers/connect_handlers.h"
#include "key_list.h"
#include "start_up.h"
#include "widgets/check_value.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTabWidget>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

using keycatalog::KeyListVariant;

namespace {

class Form1Load : public StartUp {
protected:
    void SetUp() override
    {
        StartUp::SetUp();
        sensor.attached = false;
    }

    std::vector<KeyListBox*> lists() const
    {
        return {form.Combo1, form.Combo2, form.Combo3, form.Combo4,  form.Combo5,  form.Combo6,
                form.Combo7, form.Combo8, form.Combo9, form.Combo10, form.Combo11, form.Combo12};
    }
};

const MessageBoxRequest kWrongCountBox{QStringLiteral("Wrong number of arguments, only 1 accepted"), MessageButtons::Ok,
                                       MessageIcon::None, DefaultButton::First, QStringLiteral("Tornel-Tyvel")};

}  // namespace

TEST_F(Form1Load, ClearsTheIndicatorSetsTheFlagsAndTheAboutTexts)
{
    setCheckValue(*form.ConfigChanged, 1);
    start();
    EXPECT_EQ(checkValue(*form.ConfigChanged), 0);
    EXPECT_EQ(form.FirstLoad, 1);
    EXPECT_TRUE(form.DeviceUpdated);
    EXPECT_EQ(form.lblTitle->text(), "Tornel-Tyvel");
    EXPECT_EQ(form.lblVersion->text(), "4.7");
    EXPECT_EQ(form.LibVersion->text(), "Library Version: 5 . 5 . 1");
    EXPECT_EQ(form.FirmWare->text(), "Firmware");
}

TEST_F(Form1Load, FillsEveryListWithItsVariantOfTheCatalogue)
{
    start();
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
    start();
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
    start();
    for (KeyListBox* list : lists()) {
        SCOPED_TRACE(list->objectName().toStdString());
        EXPECT_EQ(list->currentIndex(), -1);
        EXPECT_EQ(list->currentText(), list == form.Combo12 ? "Combo5" : "");
    }
    for (const auto& spy : spies)
        EXPECT_EQ(spy->count(), 0);
}

TEST_F(StartUp, WithTheSensorReadTheWindowOpensShowingItsConfiguration)
{
    for (const char* argumentPart : {"", " \t  "}) {
        SCOPED_TRACE(argumentPart);
        Form1 window{ui};
        connectHandlers(window);
        attach();
        setArgumentPart(QString::fromLatin1(argumentPart));
        EXPECT_EQ(window.Form_Load(), std::nullopt);
        EXPECT_EQ(window.LastErr->text(), "Ok 0");
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_EQ(window.FirstLoad, 0);
        EXPECT_EQ(checkValue(*window.CheckCnct), 1);
        EXPECT_EQ(checkValue(*window.ConfigChanged), 0);
        EXPECT_EQ(window.MaxDist->text(), "36");
        EXPECT_EQ(window.FirmWare->text(), "Firmware: v  0 5. 0 1");
        EXPECT_EQ(window.SSTab1->currentIndex(), 3);
        EXPECT_FALSE(window.isVisible());
        // Fifteen quarter-second pauses before the window can show.
        EXPECT_EQ(commands(), startUpCommands());
        EXPECT_EQ(pauses(), std::vector<unsigned>(15, 250));
        dravik::USBDisconnect();
    }
}

TEST_F(StartUp, WithoutASensorTheWindowOpensWithItsDesignValues)
{
    sensor.attached = false;
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_EQ(form.LastErr->text(), "USB Connect 0");
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form.FirstLoad, 1);
    EXPECT_EQ(checkValue(*form.CheckCnct), 1);
    EXPECT_EQ(form.FirmWare->text(), "Firmware");
    EXPECT_EQ(form.LibVersion->text(), "Library Version: 5 . 5 . 1");
    EXPECT_EQ(form.MaxDist->text(), "");
    EXPECT_TRUE(commands().empty());
}

TEST_F(StartUp, AReadRefusedAfterTheConnectionOpensTheWindowUnread)
{
    attach();
    // The connection reads seven blocks; the eighth read is the second read's first.
    refuse(DRAVIK_SIM_FEATURE_READ, DRAVIK_SIM_ANY_COMMAND, 8);
    setArgumentPart(QString());
    EXPECT_EQ(form.Form_Load(), std::nullopt);
    EXPECT_EQ(form.LastErr->text(), "ReadCfg 131330");
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox("ReadCfg 131330")});
    EXPECT_EQ(form.FirmWare->text(), "Firmware: v  0 5. 0 1");
    EXPECT_EQ(form.FirstLoad, 1);
    EXPECT_EQ(form.MaxDist->text(), "");
    EXPECT_EQ(form.Key1Code->text(), "Text4");
    EXPECT_EQ(commands(), joined(configurationRead(), {"80"}));
}

TEST_F(StartUp, TheFirmwareTextShowsTheSensorsIdentifierDigitByDigit)
{
    for (const auto& [identifier, text] :
         {std::pair{0x0105, "Firmware: v  0 1. 0 5"}, std::pair{0x1A2B, "Firmware: v  1 10. 2 11"}}) {
        SCOPED_TRACE(text);
        Form1 window{ui};
        connectHandlers(window);
        sensor.deviceId = identifier;
        attach();
        EXPECT_EQ(window.Form_Load(), std::nullopt);
        EXPECT_EQ(window.FirmWare->text(), text);
        dravik::USBDisconnect();
    }
}

TEST_F(StartUp, OneArgumentWithoutASensorEndsSilentlyWithAFailure)
{
    sensor.attached = false;
    EXPECT_EQ(start("  Default.tyv "), ExitNoSensor);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form.LastErr->text(), "Ok 0");
    EXPECT_EQ(form.FirmWare->text(), "Firmware");
    EXPECT_FALSE(form.isVisible());
}

TEST_F(StartUp, OneArgumentWithASensorHandsOverAfterTheWholeStartUp)
{
    EXPECT_NE(start("Default.tyv"), std::nullopt);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.FirmWare->text(), "Firmware: v  0 5. 0 1");
    EXPECT_EQ(firstCommands(startUpCommands().size()), startUpCommands());
}

TEST_F(StartUp, OneArgumentHandsOverAlsoWhenTheReadFails)
{
    attach();
    refuse(DRAVIK_SIM_FEATURE_READ, DRAVIK_SIM_ANY_COMMAND, 8);
    setArgumentPart(QStringLiteral("Default.tyv"));
    EXPECT_NE(form.Form_Load(), std::nullopt);
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes[0], deviceErrorBox("ReadCfg 131330"));
    EXPECT_EQ(form.FirstLoad, 1);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(StartUp, TwoOrMoreArgumentsShowOnlyTheMessageAndEndBeforeTheLibrary)
{
    for (const char* argumentPart : {"one two", "a b c", "\"my file.tyv\""}) {
        SCOPED_TRACE(argumentPart);
        Form1 window{ui};
        connectHandlers(window);
        ui.boxes.clear();
        attach();
        setArgumentPart(QString::fromLatin1(argumentPart));
        EXPECT_EQ(window.Form_Load(), ExitNotStarted);
        EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{kWrongCountBox});
        EXPECT_EQ(window.Combo1->count(), keycatalog::kKeyListSize);
        EXPECT_EQ(window.LibVersion->text(), "Library Version:");
        EXPECT_EQ(window.LastErr->text(), "");
        EXPECT_EQ(checkValue(*window.CheckCnct), 0);
        EXPECT_EQ(dravikSimTraceCount(), 0u);
    }
}

namespace {

bool libraryLoaded()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    const std::string executable(path, length > 0 ? static_cast<size_t>(length) : 0);
    const std::string library = executable.substr(0, executable.rfind('/') + 1) + dravik::kLibraryName;
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

}  // namespace

// In a process of its own, which has not loaded the library for other tests.
TEST(StartUpProcess, TwoArgumentsEndTheProgramWithoutLoadingTheLibrary)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ScriptedUiSeam ui;
            Form1 form{ui};
            connectHandlers(form);
            setArgumentPart(QStringLiteral("Default.tyv Other.tyv"));
            const std::optional<int> status = form.Form_Load();
            std::_Exit(!status ? 10 : libraryLoaded() ? 11 : *status);
        },
        ::testing::ExitedWithCode(ExitNotStarted), "");
}
