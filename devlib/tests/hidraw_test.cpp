#include <gtest/gtest.h>

#include "sysfs_fixture.h"

namespace {

constexpr char kSensorDevice[] = "0003:3ACE:0501.0007";
constexpr char kSensorPath[] = "\\\\?\\HID#Vid_3ace&Pid_0501#0003:3ACE:0501.0007#hidraw3";

TEST(HidrawPath, IsBuiltFromTheDevpathOfADeviceEventAlone)
{
    struct Case {
        const char* devpath;
        const char* path;
    };
    const Case cases[] = {
        {"/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:3ACE:0501.0007/hidraw/hidraw3", kSensorPath},
        {"/devices/virtual/misc/uhid/0003:3ACF:0501.0012/hidraw/hidraw12",
         "\\\\?\\HID#Vid_3acf&Pid_0501#0003:3ACF:0501.0012#hidraw12"},
        {"/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:3ACE:0501.0007", ""},
        {"/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/input/input5/event5", ""},
        {"/devices/x/0003:3ACE:0501.0007/hidraw/hidrawX", ""},
        {"/devices/x/0003:3ACE:501.0007/hidraw/hidraw3", ""},
        {"hidraw/hidraw3", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hidraw::pathFromDevpath(c.devpath), c.path) << c.devpath;
    EXPECT_EQ(std::string(kSensorPath).substr(0, 25), "\\\\?\\HID#Vid_3ace&Pid_0501");
}

TEST(HidrawDescriptor, FindsATopLevelKeyboardApplicationCollection)
{
    using Bytes = std::vector<uint8_t>;
    struct Case {
        const char* what;
        Bytes descriptor;
        bool keyboard;
    };
    const Case cases[] = {
        {"keyboard", descriptors::kKeyboard, true},
        {"mouse", descriptors::kMouse, false},
        {"consumer control, then keyboard",
         {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0xC0, 0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0},
         true},
        {"extended usage", {0x0B, 0x06, 0x00, 0x01, 0x00, 0xA1, 0x01, 0xC0}, true},
        {"keyboard usage on a physical collection", {0x05, 0x01, 0x09, 0x06, 0xA1, 0x00, 0xC0}, false},
        {"keyboard nested in a mouse", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0, 0xC0}, false},
        {"usage cleared by a main item", {0x05, 0x01, 0x09, 0x06, 0x81, 0x02, 0xA1, 0x01, 0xC0}, false},
        {"long item skipped", {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0}, true},
        {"cut short", {0x05, 0x01, 0x09, 0x06, 0xA1}, false},
        {"empty", {}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hidraw::holdsKeyboardCollection(c.descriptor), c.keyboard) << c.what;
}

TEST(HidrawEnumeration, ListsTheKeyboardNodesInNodeOrder)
{
    SysfsFixture fixture;
    fixture.addNode(10, "0003:3ACE:0501.000A", descriptors::kKeyboard, "0105", "1-3");
    fixture.addNode(2, "0003:046D:C077.0002", descriptors::kMouse, "7200", "1-4");
    fixture.addNode(3, kSensorDevice, descriptors::kKeyboard);
    fixture.addNode(1, "0003:3ACF:0501.0001", descriptors::kKeyboard, "0200", "1-5");

    const std::vector<std::string> expected = {
        "\\\\?\\HID#Vid_3acf&Pid_0501#0003:3ACF:0501.0001#hidraw1",
        kSensorPath,
        "\\\\?\\HID#Vid_3ace&Pid_0501#0003:3ACE:0501.000A#hidraw10",
    };
    EXPECT_EQ(hidraw::keyboardInterfacePaths(), expected);
}

TEST(HidrawEnumeration, NamesEachNodeAsItsDeviceEventWould)
{
    SysfsFixture fixture;
    const std::string devpath = fixture.addNode(3, kSensorDevice, descriptors::kKeyboard);
    ASSERT_EQ(hidraw::keyboardInterfacePaths().size(), 1u);
    EXPECT_EQ(hidraw::keyboardInterfacePaths()[0], hidraw::pathFromDevpath(devpath));
}

TEST(HidrawEnumeration, WithoutHidrawNodesIsEmpty)
{
    SysfsFixture fixture;
    EXPECT_TRUE(hidraw::keyboardInterfacePaths().empty());
    std::filesystem::remove_all(fixture.sysfs());
    EXPECT_TRUE(hidraw::keyboardInterfacePaths().empty());
}

TEST(HidrawDevice, OpensByPathInAnyLetterCaseAndReportsItsAttributes)
{
    SysfsFixture fixture;
    fixture.addNode(3, kSensorDevice, descriptors::kKeyboard, "0105");
    for (const char* path : {kSensorPath, "\\\\?\\hid#vid_3ACE&PID_0501#0003:3ace:0501.0007#HIDRAW3"}) {
        const HANDLE handle = hidraw::open(path);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE) << path;
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        ASSERT_TRUE(hidraw::attributes(handle, &attributes));
        EXPECT_EQ(attributes.VendorID, 0x3ace);
        EXPECT_EQ(attributes.ProductID, 0x0501);
        EXPECT_EQ(attributes.VersionNumber, 0x0105);
        EXPECT_TRUE(hidraw::close(handle));
        EXPECT_FALSE(hidraw::close(handle));
    }
}

TEST(HidrawDevice, WithoutAUsbDeviceAboveReportsReleaseZero)
{
    SysfsFixture fixture;
    fixture.addNode(3, kSensorDevice, descriptors::kKeyboard, "");
    const HANDLE handle = hidraw::open(kSensorPath);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    ASSERT_TRUE(hidraw::attributes(handle, &attributes));
    EXPECT_EQ(attributes.VersionNumber, 0);
    hidraw::close(handle);
}

TEST(HidrawDevice, RefusesPathsThatNameNoSuchNode)
{
    SysfsFixture fixture;
    fixture.addNode(3, kSensorDevice, descriptors::kKeyboard);
    const char* paths[] = {
        "\\\\?\\HID#Vid_3ace&Pid_0501#0003:3ACE:0501.0008#hidraw3",  // the node now serves another device
        "\\\\?\\HID#Vid_3ace&Pid_0501#0003:3ACE:0501.0007#hidraw4",  // gone
        "\\\\?\\HID#Vid_3acf&Pid_0501#0003:3ACE:0501.0007#hidraw3",  // prefix and device disagree
        "\\\\?\\HID#Vid_3ace&Pid_0501#0003:3ACE:0501.0007",
        "\\\\?\\HID#Vid_3ace&Pid_0501#0003:3ACE:0501.0007#hidraw3#",
        "/dev/hidraw3",
        "",
        nullptr,
    };
    for (const char* path : paths)
        EXPECT_EQ(hidraw::open(path), INVALID_HANDLE_VALUE) << (path ? path : "null");
}

TEST(HidrawDevice, FeatureReportsThatTheNodeRefusesFail)
{
    SysfsFixture fixture;
    fixture.addNode(3, kSensorDevice, descriptors::kKeyboard);
    const HANDLE handle = hidraw::open(kSensorPath);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    uint8_t report[9] = {0, 0x80};
    EXPECT_FALSE(hidraw::setFeature(handle, report, sizeof report));
    EXPECT_FALSE(hidraw::getFeature(handle, report, sizeof report));
    hidraw::close(handle);
    EXPECT_FALSE(hidraw::getFeature(handle, report, sizeof report));
}

}  // namespace
