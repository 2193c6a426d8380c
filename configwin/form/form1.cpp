// The main window's controls and their layout, in twips; controls on a tab
// are placed relative to the tab control's top-left corner.
#include "form/form1.h"

#include "widgets/artwork.h"
#include "widgets/check_value.h"
#include "widgets/form_fonts.h"
#include "widgets/placed_controls.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>

#include <stdexcept>
#include <string_view>
#include <utility>

namespace {

constexpr int kClientWidth = 11160;
constexpr int kClientHeight = 5745;
// Where a tab page starts inside the tab control: below the row of tabs.
constexpr int kPageLeft = 30;
constexpr int kPageTop = 360;

constexpr int kTabLeft = 120;
constexpr int kTabTop = 600;
constexpr int kTabWidth = 10455;
constexpr int kTabHeight = 4215;

constexpr int kBottomRowTop = 5160;
constexpr int kHiddenTop = 6240;
constexpr int kBelowTabTop = 4380;

// A keystroke frame and what it holds, in the frame's own coordinates.
constexpr int kKeyFrameWidth = 1980;
constexpr int kKeyFrameHeight = 2250;
constexpr int kKeyFrameStep = 2055;
constexpr int kKeyFramesLeft = 90;
constexpr int kKeyFramesTop = 480;
constexpr int kModifierRowTop = 600;
constexpr int kModifierRowStep = 300;
constexpr int kLeftColumn = 120;
constexpr int kRightColumn = 1080;
constexpr int kKeyListTop = 1860;
constexpr int kKeyListWidth = 1230;
// Wide enough for the design text "Text4" inside the box's frame.
constexpr int kCodeBoxLeft = 1380;
constexpr int kCodeBoxWidth = 495;

QRect onTab(int left, int top, int width, int height)
{
    return twipsRect(left - kPageLeft, top - kPageTop, width, height);
}

QRect keyFrameOnTab(int column)
{
    return onTab(kKeyFramesLeft + column * kKeyFrameStep, kKeyFramesTop, kKeyFrameWidth, kKeyFrameHeight);
}

QString indexed(const char* name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption, const QRect& place)
{
    QLabel* control = plainLabel(parent, name, caption, place);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

QLabel* wrappedLabel(QWidget* parent, const QString& name, const QString& caption, const QRect& place)
{
    QLabel* control = label(parent, name, caption, place);
    control->setWordWrap(true);
    return control;
}

QLabel* heading(QWidget* parent, const char* name, const char* caption, const QRect& place)
{
    QLabel* control = label(parent, QLatin1String(name), QLatin1String(caption), place);
    control->setFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold));
    return control;
}

QLineEdit* textBox(QWidget* parent, const QString& name, const QString& text, const QRect& place)
{
    auto* control = named(new QLineEdit(parent), name, place);
    control->setText(text);
    return control;
}

QLineEdit* hiddenTextBox(QWidget* parent, const QString& name, const QString& text, const QRect& place)
{
    QLineEdit* control = textBox(parent, name, text, place);
    control->hide();
    return control;
}

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& caption, const QRect& place)
{
    return named(new QCheckBox(caption, parent), name, place);
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, const QRect& place)
{
    return named(new QPushButton(QLatin1String(caption), parent), QLatin1String(name), place);
}

QFrame* shape(QWidget* parent, const char* name, const QRect& place)
{
    auto* control = named(new QFrame(parent), QLatin1String(name), place);
    control->setFrameStyle(QFrame::Box | QFrame::Plain);
    return control;
}

QGroupBox* frame(QWidget* parent, const QString& name, const QString& caption, const QRect& place)
{
    return named(new QGroupBox(caption, parent), name, place);
}

// Out of sight on purpose: Tab must not reach a control nobody can see, where
// a keystroke would change a value unseen.
void outOfKeyboardReach(QWidget* control)
{
    control->setFocusPolicy(Qt::NoFocus);
    for (QWidget* part : control->findChildren<QWidget*>())
        part->setFocusPolicy(Qt::NoFocus);
}

constexpr KeySlotCheckBoxes Form1::*boxesNamed(std::string_view name)
{
    constexpr std::pair<std::string_view, KeySlotCheckBoxes Form1::*> arrays[] = {
        {"Key1Mods1", &Form1::Key1Mods1},   {"Key1Mods2", &Form1::Key1Mods2},     {"Key1Mods4", &Form1::Key1Mods4},
        {"Key1Mods8", &Form1::Key1Mods8},   {"Key1Mods16", &Form1::Key1Mods16},   {"Key1Mods32", &Form1::Key1Mods32},
        {"Key1Mods64", &Form1::Key1Mods64}, {"Key1Mods128", &Form1::Key1Mods128},
    };
    for (const auto& [arrayName, boxes] : arrays)
        if (arrayName == name)
            return boxes;
    throw std::invalid_argument("no modifier box array of that name");
}

constexpr std::array<ModifierColumn, kModifierKeys.size()> modifierColumns()
{
    std::array<ModifierColumn, kModifierKeys.size()> columns{};
    for (std::size_t column = 0; column < columns.size(); ++column) {
        const ModifierKey& key = kModifierKeys[column];
        columns[column] = {boxesNamed(key.name), key.name, key.bit};
    }
    return columns;
}

}  // namespace

// Made while compiling, so that a name kModifierKeys gives but no array has
// stops the build.
constexpr std::array<ModifierColumn, kModifierKeys.size()> kModifierColumns = modifierColumns();

int modifierByte(const Form1& form, int slot)
{
    int byte = 0;
    for (const ModifierColumn& column : kModifierColumns)
        byte += checkValue(*(form.*column.boxes).at(slot)) * column.bit;
    return byte;
}

QWidget* controlNamed(const Form1& form, const QString& name)
{
    QString objectName = name;
    objectName.replace(QLatin1Char('('), QLatin1Char('_')).remove(QLatin1Char(')'));
    return form.findChild<QWidget*>(objectName);
}

Form1::Form1(UiSeam& seam, QWidget* parent) : QMainWindow(parent), ui(seam)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tornel-Tyvel Configuration Utility"));
    setWindowIcon(applicationIcon());
    setFont(formFont());

    auto* client = new QWidget(this);
    client->setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
    setCentralWidget(client);
    buildMenus();

    Label7 = label(client, QStringLiteral("Label7"), QStringLiteral("Tornel\u00ae-Tyvel Configuration Utility"),
                   twipsRect(kTabLeft, 60, kTabWidth, 495));
    Label7->setAlignment(Qt::AlignCenter);
    QFont titleFont(QStringLiteral("Arial Black"));
    titleFont.setPointSizeF(15.75);
    titleFont.setBold(true);
    Label7->setFont(titleFont);
    QPalette titleColours = Label7->palette();
    titleColours.setColor(QPalette::WindowText, titleColours.color(QPalette::Highlight));
    Label7->setPalette(titleColours);

    SSTab1 = named(new QTabWidget(client), QStringLiteral("SSTab1"),
                   twipsRect(kTabLeft, kTabTop, kTabWidth, kTabHeight));
    const char* const tabCaptions[] = {"Initial Setup", "Walk-Away Keystrokes", "Walk-Up Keystrokes ", "About"};
    std::array<QWidget*, 4> pages{};
    for (int tab = 0; tab < 4; ++tab) {
        pages[tab] = new QWidget;
        SSTab1->addTab(pages[tab], QLatin1String(tabCaptions[tab]));
    }
    buildInitialSetupTab(pages[0]);
    buildWalkAwayTab(pages[1]);
    buildWalkUpTab(pages[2]);
    buildAboutTab(pages[3]);
    SSTab1->setCurrentIndex(3);

    buildBottomRow(client);
    buildHiddenHolders(client);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize();
    if (QScreen* display = screen())
        move(display->availableGeometry().center() - rect().center());
}

void Form1::buildMenus()
{
    File = menuBar()->addMenu(QStringLiteral("&File"));
    File->setObjectName(QStringLiteral("File"));
    Open = File->addAction(QStringLiteral("&Open"));
    Save = File->addAction(QStringLiteral("&Save"));
    SaveAs = File->addAction(QStringLiteral("Save &As"));
    Exit = File->addAction(QStringLiteral("E&xit"));
    Help = menuBar()->addMenu(QStringLiteral("&Help"));
    Help->setObjectName(QStringLiteral("Help"));
    About = Help->addAction(QStringLiteral("A&bout"));
    Open->setObjectName(QStringLiteral("Open"));
    Save->setObjectName(QStringLiteral("Save"));
    SaveAs->setObjectName(QStringLiteral("SaveAs"));
    Exit->setObjectName(QStringLiteral("Exit"));
    About->setObjectName(QStringLiteral("About"));
}

void Form1::buildBottomRow(QWidget* client)
{
    const int top = kBottomRowTop;
    const int height = 375;
    CheckCnct = checkBox(client, QStringLiteral("CheckCnct"), QStringLiteral("Connect USB Device"),
                         twipsRect(120, top, 1935, height));
    CheckCnct->setEnabled(false);
    Label10 = label(client, QStringLiteral("Label10"), QStringLiteral("Status"), twipsRect(2160, top + 60, 495, 255));
    LastErr = textBox(client, QStringLiteral("LastErr"), QString(), twipsRect(2700, top + 15, 2940, 330));
    LastErr->setReadOnly(true);
    LastErr->setFocusPolicy(Qt::ClickFocus);
    QPalette buttonFace = LastErr->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    LastErr->setPalette(buttonFace);
    ConfigChanged = checkBox(client, QStringLiteral("ConfigChanged"), QStringLiteral("Config Changed"),
                             twipsRect(5760, top, 1575, height));
    ConfigChanged->setEnabled(false);
    Command2 = button(client, "Command2", "OK", twipsRect(7440, top, 975, height));
    Command3 = button(client, "Command3", "Cancel", twipsRect(8520, top, 975, height));
    Command4 = button(client, "Command4", "Apply", twipsRect(9600, top, 975, height));
}

void Form1::buildInitialSetupTab(QWidget* page)
{
    Shape1 = shape(page, "Shape1", onTab(120, 480, 3300, 1800));
    Shape2 = shape(page, "Shape2", onTab(3540, 480, 4260, 1800));
    Shape3 = shape(page, "Shape3", onTab(7920, 480, 2415, 1800));
    Shape4 = shape(page, "Shape4", onTab(120, 2400, 3300, 1680));
    Shape5 = shape(page, "Shape5", onTab(3540, 2400, 6795, 1680));

    Label13 = heading(page, "Label13", "Proximity Range", onTab(240, 540, 3000, 255));
    Label2 = label(page, QStringLiteral("Label2"), QStringLiteral("Detection range (24-42 inches)"),
                   onTab(240, 930, 2400, 255));
    MaxDist = textBox(page, QStringLiteral("MaxDist"), QString(), onTab(2760, 885, 375, 285));
    MaxDist->setToolTip(
        QStringLiteral("This is the distance that defines where the in-range and out-of-range detection occurs."));
    Label19 = label(page, QStringLiteral("Label19"), QStringLiteral("Last range detected"),
                    onTab(240, 1320, 2400, 255));
    wCurrRange = textBox(page, QStringLiteral("wCurrRange"), QString(), onTab(2760, 1275, 375, 285));
    wCurrRange->setToolTip(QStringLiteral("Not being dynamically read."));
    Command5 = button(page, "Command5", "Read Now", onTab(240, 1710, 1095, 375));

    const QString delayRange = QStringLiteral("May be set between 0 and 255.");
    Label5 = heading(page, "Label5", "Timing Delays (0-255 seconds)", onTab(3660, 540, 3900, 255));
    Label3 = label(page, QStringLiteral("Label3"), QStringLiteral("Walk-Up Delay before sending keystrokes"),
                   onTab(3660, 930, 3300, 255));
    Label3->setToolTip(delayRange);
    IRDBTm = textBox(page, QStringLiteral("IRDBTm"), QString(), onTab(7020, 885, 375, 285));
    IRDBTm->setToolTip(QStringLiteral("This delay (0-255) is between when the user is detected as being in-range, "
                                      "and when the keystrokes are actually sent."));
    Label4 = label(page, QStringLiteral("Label4"), QStringLiteral("Walk-Away Delay before sending keystrokes"),
                   onTab(3660, 1320, 3300, 255));
    Label4->setToolTip(delayRange);
    ORDBTm = textBox(page, QStringLiteral("ORDBTm"), QString(), onTab(7020, 1275, 375, 285));
    ORDBTm->setToolTip(QStringLiteral("This delay (0-255) is between when the user is detected as being "
                                      "out-of-range, and when the keystrokes are actually sent."));
    Command6 = button(page, "Command6", "Advanced", onTab(3660, 1710, 1095, 375));
    Label18 = label(page, QStringLiteral("Label18"), QStringLiteral("Power-up Delay "), onTab(5040, 1770, 1800, 255));
    Label18->setToolTip(QStringLiteral("Leave set to '0' unless you have a PC power-up problem with the USB device."));
    Label18->hide();
    StartDly = textBox(page, QStringLiteral("StartDly"), QString(), onTab(7020, 1725, 375, 285));
    StartDly->setToolTip(
        QStringLiteral("Some computers may need to have the device in an off state while booting up."));
    StartDly->hide();

    const QString ledNotice = QStringLiteral(
        "Disables the LED on the unit.  The device is still operational, but no visual indication is given.");
    Label22 = heading(page, "Label22", "Disable LED", onTab(8040, 540, 2175, 255));
    bNoShowORLED = checkBox(page, QStringLiteral("bNoShowORLED"), QStringLiteral("Out-of-Range Red"),
                            onTab(8040, 885, 2175, 285));
    bNoShowXtLED = checkBox(page, QStringLiteral("bNoShowXtLED"), QStringLiteral("Transition Yellow"),
                            onTab(8040, 1275, 2175, 285));
    bNoShowIRLED = checkBox(page, QStringLiteral("bNoShowIRLED"), QStringLiteral("In-Range Green"),
                            onTab(8040, 1665, 2175, 285));
    for (QCheckBox* led : {bNoShowORLED, bNoShowXtLED, bNoShowIRLED})
        led->setToolTip(ledNotice);

    Label23 = heading(page, "Label23", "Developer Mode", onTab(240, 2460, 3000, 255));
    Label24 = wrappedLabel(page, QStringLiteral("Label24"),
                           QStringLiteral("Select when using Quendar' software developer's kit."),
                           onTab(240, 2790, 3000, 510));
    Check1 = checkBox(page, QStringLiteral("Check1"), QStringLiteral("Disable keystrokes"),
                      onTab(240, 3420, 2400, 285));
    Check1->setToolTip(QStringLiteral("Disable to use with the software developer's kit"));

    Label1 = heading(page, "Label1", "Quick Configuration", onTab(3660, 2460, 3000, 255));
    Frame1 = frame(page, QStringLiteral("Frame1"), "Operating System", onTab(3660, 2760, 3300, 1200));
    Option1 = named(new QRadioButton(QStringLiteral("Windows 2000"), Frame1), QStringLiteral("Option1"),
                    twipsRect(120, 300, 3000, 255));
    Option1->setToolTip(QStringLiteral("Sets keystrokes for W 2k OS"));
    Option2 = named(new QRadioButton(QStringLiteral("Windows XP Classic"), Frame1), QStringLiteral("Option2"),
                    twipsRect(120, 585, 3000, 255));
    Option2->setToolTip(QStringLiteral("Sets keystrokes for W XP Classic Logon"));
    Option3 = named(new QRadioButton(QStringLiteral("XP Welcome Screen"), Frame1), QStringLiteral("Option3"),
                    twipsRect(120, 870, 3000, 255));
    Option3->setToolTip(QStringLiteral("Sets keystrokes for W XP Welcom Screen Logon"));
    Command1 = button(page, "Command1", "Reset to Factory Defaults", onTab(7320, 3060, 2595, 495));
    Command1->setToolTip(QStringLiteral("Resets all configurtation parameters to factory settings"));
}

KeySlot& Form1::buildKeySlot(int slot, QGroupBox* frame, const char* listName, const QString& codeBoxName)
{
    Label11[slot] = label(frame, indexed("Label11", slot), QStringLiteral("Left"),
                          twipsRect(kLeftColumn, 330, 720, 255));
    Label12[slot] = label(frame, indexed("Label12", slot), QStringLiteral("Right"),
                          twipsRect(kRightColumn, 330, 720, 255));
    const char* const leftCaptions[] = {"Shft", "Ctrl", "Alt", "GUI"};
    for (int column = 0; column < static_cast<int>(kModifierColumns.size()); ++column) {
        const int row = column % 4;
        const bool left = column < 4;
        const int top = kModifierRowTop + row * kModifierRowStep;
        const QRect place = left ? twipsRect(kLeftColumn, top, 855, 255) : twipsRect(kRightColumn, top, 300, 255);
        const ModifierColumn& modifier = kModifierColumns[column];
        (this->*modifier.boxes)[slot] = checkBox(frame, indexed(modifier.name, slot),
                                                 left ? QLatin1String(leftCaptions[row]) : QString(), place);
    }
    KeySlot& keys = keySlots_[slot];
    keys.frame = frame;
    keys.list = named(new KeyListBox(frame), QLatin1String(listName), twipsRect(105, kKeyListTop, kKeyListWidth, 315));
    if (!codeBoxName.isEmpty())
        keys.codeBox = textBox(frame, codeBoxName, QStringLiteral("Text4"),
                               twipsRect(kCodeBoxLeft, kKeyListTop, kCodeBoxWidth, 315));
    return keys;
}

void Form1::buildWalkAwayTab(QWidget* page)
{
    Frame2 = frame(page, QStringLiteral("Frame2"), "Keystroke 1", keyFrameOnTab(0));
    Frame2->setToolTip(QStringLiteral("When the user steps away there may be several keystroke"));
    Frame3 = frame(page, QStringLiteral("Frame3"), "Keystroke 2", keyFrameOnTab(1));
    Frame4 = frame(page, QStringLiteral("Frame4"), "Keystroke 3", keyFrameOnTab(2));
    Frame5 = frame(page, QStringLiteral("Frame5"), "Keystroke 4", keyFrameOnTab(3));
    Frame6[0] = frame(page, indexed("Frame6", 0), "Keystroke 5", keyFrameOnTab(4));

    const std::array<QGroupBox*, 5> frames = {Frame2, Frame3, Frame4, Frame5, Frame6[0]};
    const char* const lists[] = {"Combo1", "Combo2", "Combo3", "Combo4", "Combo5"};
    std::array<QLineEdit*, 5> codeBoxes{};
    for (int slot = 0; slot < 5; ++slot)
        codeBoxes[slot] =
            buildKeySlot(slot, frames[slot], lists[slot], QStringLiteral("Key%1Code").arg(slot + 1)).codeBox;
    Combo1 = keySlots_[0].list;
    Combo2 = keySlots_[1].list;
    Combo3 = keySlots_[2].list;
    Combo4 = keySlots_[3].list;
    Combo5 = keySlots_[4].list;
    Key1Code = codeBoxes[0];
    Key2Code = codeBoxes[1];
    Key3Code = codeBoxes[2];
    Key4Code = codeBoxes[3];
    Key5Code = codeBoxes[4];
    Key1Code->setEnabled(false);

    const int belowFrames = kKeyFramesTop + kKeyFrameHeight + 180;
    Label9 = label(page, QStringLiteral("Label9"), QStringLiteral("Key delay"), onTab(120, belowFrames + 45, 900, 255));
    InterKeyDelay = textBox(page, QStringLiteral("InterKeyDelay"), QString(), onTab(1080, belowFrames, 615, 285));
    Label8 = label(page, QStringLiteral("Label8"), QStringLiteral("KeyCount"), onTab(2160, belowFrames + 45, 900, 255));
    Label8->hide();
    KeyCount = hiddenTextBox(page, QStringLiteral("KeyCount"), QString(), onTab(3120, belowFrames, 615, 285));

    std::array<QLineEdit*, 5> modifierWords{};
    for (int column = 0; column < 5; ++column) {
        const int left = kKeyFramesLeft + column * kKeyFrameStep + 120;
        modifierWords[column] = hiddenTextBox(page, QStringLiteral("Key%1Mods").arg(column + 1),
                                              QStringLiteral("Text4"), onTab(left, belowFrames + 420, 615, 285));
        modifierWords[column]->setEnabled(column == 0);
    }
    Key1Mods = modifierWords[0];
    Key2Mods = modifierWords[1];
    Key3Mods = modifierWords[2];
    Key4Mods = modifierWords[3];
    Key5Mods = modifierWords[4];
}

void Form1::buildWalkUpTab(QWidget* page)
{
    const char* const lists[] = {"Combo7", "Combo8", "Combo9", "Combo10", "Combo11"};
    for (int key = 0; key < 5; ++key) {
        Frame6[key + 1] = frame(page, indexed("Frame6", key + 1), QStringLiteral("Keystroke %1").arg(key + 1),
                                keyFrameOnTab(key));
        Text4[key] = buildKeySlot(6 + key, Frame6[key + 1], lists[key], indexed("Text4", key)).codeBox;
        Text4[key]->setEnabled(key == 0);
    }
    Combo7 = keySlots_[6].list;
    Combo8 = keySlots_[7].list;
    Combo9 = keySlots_[8].list;
    Combo10 = keySlots_[9].list;
    Combo11 = keySlots_[10].list;

    const int belowFrames = kKeyFramesTop + kKeyFrameHeight + 180;
    Label21 = label(page, QStringLiteral("Label21"), QStringLiteral("Key delay"),
                    onTab(120, belowFrames + 45, 900, 255));
    InterKeyDelayUp = textBox(page, QStringLiteral("InterKeyDelayUp"), QString(), onTab(1080, belowFrames, 615, 285));
    Label20 = label(page, QStringLiteral("Label20"), QStringLiteral("KeyCount"),
                    onTab(2160, belowFrames + 45, 900, 255));
    Label20->hide();
    KeyCountUp = hiddenTextBox(page, QStringLiteral("KeyCountUp"), QString(), onTab(3120, belowFrames, 615, 285));
}

void Form1::buildAboutTab(QWidget* page)
{
    Image1 = picture(page, QStringLiteral("Image1"), sensorPicture(), onTab(240, 600, 1695, 1695));
    lblTitle = label(page, QStringLiteral("lblTitle"), QStringLiteral("Application Title"),
                     onTab(2160, 600, 5400, 375));
    lblTitle->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
    lblVersion = label(page, QStringLiteral("lblVersion"), QStringLiteral("Version"), onTab(2160, 1020, 5400, 255));
    Label6 = wrappedLabel(page, QStringLiteral("Label6"),
                          QStringLiteral("This utility sets the detection range, the delays, the LEDs and the "
                                         "walk-away, walk-up and idle keystrokes of the Tornel USB presence "
                                         "sensor.  Changes reach the sensor when they are written with OK or "
                                         "Apply; the sensor keeps them when it is unplugged."),
                          onTab(2160, 1380, 5700, 1035));
    FirmWare = label(page, QStringLiteral("FirmWare"), QStringLiteral("Firmware"), onTab(2160, 2580, 5400, 255));
    LibVersion = label(page, QStringLiteral("LibVersion"), QStringLiteral("Library Version:"),
                       onTab(2160, 2910, 5400, 255));
    Image2 = picture(page, QStringLiteral("Image2"), rangePicture(), onTab(8160, 600, 1935, 1935));

    // The idle key's controls lie below the tab's visible area.
    Label16 = wrappedLabel(page, QStringLiteral("Label16"),
                           QStringLiteral("The purpose of the Idle Keystroke is to prevent a screensaver from "
                                          "launching while a person is within the defined proximity zone.  The "
                                          "defined Idle Keystroke is sent at the periodic rate entered below.  The "
                                          "keystroke should be defined so as to not interfere with other "
                                          "applications."),
                           onTab(120, kBelowTabTop, 6015, 855));
    Label15 = label(page, QStringLiteral("Label15"),
                    QStringLiteral("If the rate is set to zero, this feature is disabled."),
                    onTab(120, kBelowTabTop + 915, 6015, 255));
    Label17 = label(page, QStringLiteral("Label17"), QStringLiteral("Keep Alive Rate (0-255)"),
                    onTab(120, kBelowTabTop + 1290, 2400, 255));
    PressRate = textBox(page, QStringLiteral("PressRate"), QString(), onTab(2580, kBelowTabTop + 1245, 375, 285));
    Frame7 = frame(page, QStringLiteral("Frame7"), "Idle Keystroke",
                   onTab(6360, kBelowTabTop, kKeyFrameWidth, kKeyFrameHeight));
    Combo6 = buildKeySlot(5, Frame7, "Combo6", QString()).list;
    Key6Mods = hiddenTextBox(Frame7, QStringLiteral("Key6Mods"), QStringLiteral("Text4"),
                             twipsRect(kCodeBoxLeft, kKeyListTop, kCodeBoxWidth, 315));
    Key6Mods->setEnabled(false);
    outOfKeyboardReach(PressRate);
    outOfKeyboardReach(Frame7);
}

void Form1::buildHiddenHolders(QWidget* client)
{
    bInRange = hiddenTextBox(client, QStringLiteral("bInRange"), QStringLiteral("InRange"),
                             twipsRect(120, kHiddenTop, 1095, 285));
    bInRangePend = hiddenTextBox(client, QStringLiteral("bInRangePend"), QStringLiteral("InRangePend"),
                                 twipsRect(1320, kHiddenTop, 1095, 285));
    bOutRangePend = hiddenTextBox(client, QStringLiteral("bOutRangePend"), QStringLiteral("OutRangePend"),
                                  twipsRect(2520, kHiddenTop, 1095, 285));
    Key6Code = hiddenTextBox(client, QStringLiteral("Key6Code"), QStringLiteral("Text4"),
                             twipsRect(3720, kHiddenTop, 615, 285));
    keySlots_[5].codeBox = Key6Code;

    Frame6[6] = frame(client, indexed("Frame6", 6), "Keystroke 6",
                      twipsRect(4560, kHiddenTop, kKeyFrameWidth, kKeyFrameHeight));
    KeySlot& sixth = buildKeySlot(11, Frame6[6], "Combo12", indexed("Text4", 5));
    Combo12 = sixth.list;
    Combo12->setEditText(QStringLiteral("Combo5"));
    Text4[5] = sixth.codeBox;
    Text4[5]->setEnabled(false);
    outOfKeyboardReach(Frame6[6]);
}
