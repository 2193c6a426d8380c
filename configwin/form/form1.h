// The utility's main window.
//
// Every control is a public member named as in the window's design and has the
// same objectName, so tests and tools can also find it by name. An element of
// a control array is a std::array element, Key1Mods4[3], whose objectName is
// the array's name, an underscore and the index: "Key1Mods4_3", "Frame6_0",
// "Text4_5". The index of the modifier arrays and of Label11/Label12 is the
// key slot.
//
// The constructor builds the controls (form1.cpp) and binds no handler
// (handlers/ does); the key lists are filled in form_key_lists.cpp, and
// Form_Load, which starts the program, is in run/form_load.cpp.
#ifndef CONFIGWIN_FORM1_H
#define CONFIGWIN_FORM1_H

#include "app/exit_status.h"
#include "dialogs/ui_seam.h"
#include "form/key_slots.h"
#include "widgets/key_list_box.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <optional>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;

using KeySlotCheckBoxes = std::array<QCheckBox*, kKeySlotCount>;

struct KeySlot {
    QGroupBox* frame;
    KeyListBox* list;
    QLineEdit* codeBox;
};

class Form1 : public QMainWindow {
public:
    explicit Form1(UiSeam& ui, QWidget* parent = nullptr);

    // Prepares the window, reads the command line and connects to the sensor.
    // Returns the program's exit status when the program ends without showing
    // the window (a wrong argument count, a missing library, or a run with a
    // settings file), and nothing when the window is to open.
    std::optional<ExitStatus> Form_Load();

    void FillComboList();
    void FillCombo2List();
    void FillCombo3List();
    void FillCombo4List();
    void FillCombo5List();

    const KeySlot& keySlot(int slot) const { return keySlots_.at(slot); }

    // Message boxes and the file dialog.
    UiSeam& ui;

    std::int16_t FirstLoad = 0;
    bool DeviceUpdated = false;
    // Set when "Disable keystrokes" could not stop or resume the keystrokes;
    // whoever needs to know clears it first.
    bool HaltRefused = false;
    // Set when a key delay's check put its 512 in place of a value out of
    // range; whoever needs to know clears it first.
    bool KeyDelayReplaced = false;

    // Menus.
    QMenu* File;
    QAction* Open;
    QAction* Save;
    QAction* SaveAs;
    QAction* Exit;
    QMenu* Help;
    QAction* About;

    QLabel* Label7;
    QTabWidget* SSTab1;

    // Bottom row.
    QCheckBox* CheckCnct;
    QLabel* Label10;
    QLineEdit* LastErr;
    QCheckBox* ConfigChanged;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;

    // "Initial Setup".
    QFrame* Shape1;
    QFrame* Shape2;
    QFrame* Shape3;
    QFrame* Shape4;
    QFrame* Shape5;
    QLabel* Label13;
    QLabel* Label2;
    QLineEdit* MaxDist;
    QPushButton* Command5;
    QLabel* Label19;
    QLineEdit* wCurrRange;
    QLabel* Label5;
    QLabel* Label3;
    QLineEdit* IRDBTm;
    QLabel* Label4;
    QLineEdit* ORDBTm;
    QPushButton* Command6;
    QLabel* Label18;
    QLineEdit* StartDly;
    QLabel* Label22;
    QCheckBox* bNoShowORLED;
    QCheckBox* bNoShowXtLED;
    QCheckBox* bNoShowIRLED;
    QLabel* Label23;
    QLabel* Label24;
    QCheckBox* Check1;
    QLabel* Label1;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QPushButton* Command1;

    // "Walk-Away Keystrokes".
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QGroupBox* Frame4;
    QGroupBox* Frame5;
    QLabel* Label9;
    QLineEdit* InterKeyDelay;
    QLabel* Label8;
    QLineEdit* KeyCount;
    QLineEdit* Key1Mods;
    QLineEdit* Key2Mods;
    QLineEdit* Key3Mods;
    QLineEdit* Key4Mods;
    QLineEdit* Key5Mods;

    // Frame6(0) is walk-away key 5, Frame6(1)-(5) walk-up keys 1-5,
    // Frame6(6) the sixth walk-up key below the client area.
    std::array<QGroupBox*, 7> Frame6;

    // "Walk-Up Keystrokes ".
    QLabel* Label21;
    QLineEdit* InterKeyDelayUp;
    QLabel* Label20;
    QLineEdit* KeyCountUp;

    // "About", and below its visible area the idle key's controls.
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* Label6;
    QLabel* FirmWare;
    QLabel* LibVersion;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Label16;
    QLabel* Label15;
    QLabel* Label17;
    QLineEdit* PressRate;
    QGroupBox* Frame7;
    QLineEdit* Key6Mods;

    // Hidden holders on the window, below the client area.
    QLineEdit* bInRange;
    QLineEdit* bInRangePend;
    QLineEdit* bOutRangePend;
    QLineEdit* Key6Code;

    // Key lists and key-code boxes of the slots.
    KeyListBox* Combo1;
    KeyListBox* Combo2;
    KeyListBox* Combo3;
    KeyListBox* Combo4;
    KeyListBox* Combo5;
    KeyListBox* Combo6;
    KeyListBox* Combo7;
    KeyListBox* Combo8;
    KeyListBox* Combo9;
    KeyListBox* Combo10;
    KeyListBox* Combo11;
    KeyListBox* Combo12;
    QLineEdit* Key1Code;
    QLineEdit* Key2Code;
    QLineEdit* Key3Code;
    QLineEdit* Key4Code;
    QLineEdit* Key5Code;
    std::array<QLineEdit*, 6> Text4;

    // Modifier boxes, indexed by slot.
    KeySlotCheckBoxes Key1Mods1;
    KeySlotCheckBoxes Key1Mods2;
    KeySlotCheckBoxes Key1Mods4;
    KeySlotCheckBoxes Key1Mods8;
    KeySlotCheckBoxes Key1Mods16;
    KeySlotCheckBoxes Key1Mods32;
    KeySlotCheckBoxes Key1Mods64;
    KeySlotCheckBoxes Key1Mods128;
    std::array<QLabel*, kKeySlotCount> Label11;
    std::array<QLabel*, kKeySlotCount> Label12;

private:
    void buildMenus();
    void buildBottomRow(QWidget* client);
    void buildInitialSetupTab(QWidget* page);
    void buildWalkAwayTab(QWidget* page);
    void buildWalkUpTab(QWidget* page);
    void buildAboutTab(QWidget* page);
    void buildHiddenHolders(QWidget* client);
    KeySlot& buildKeySlot(int slot, QGroupBox* frame, const char* listName, const QString& codeBoxName);

    std::array<KeySlot, kKeySlotCount> keySlots_{};
};

// One of the eight modifier check-box arrays with the bit of the USB HID
// modifier byte it stands for.
struct ModifierColumn {
    KeySlotCheckBoxes Form1::*boxes;
    const char* name;
    int bit;
};

// The arrays of kModifierKeys, in its order.
extern const std::array<ModifierColumn, kModifierKeys.size()> kModifierColumns;

// The slot's modifier byte: each box's value times its bit, summed.
int modifierByte(const Form1& form, int slot);

// The control that messages name `name`: "MaxDist", or a control array's
// element "Text4(0)", whose objectName is "Text4_0". Null when there is none.
QWidget* controlNamed(const Form1& form, const QString& name);

#endif
