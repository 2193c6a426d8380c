// The window's fields in one table. A row names the control, the record
// field it shows, how reading the configuration shows it, how writing
// converts it, how change detection compares it and the check of the user's
// edit. Reading, writing, change detection and the edit handlers walk the
// rows; where they treat like fields differently, the difference stands in a
// column. A check box a row names runs change detection when clicked.
#ifndef CONFIGWIN_WINDOW_FIELDS_H
#define CONFIGWIN_WINDOW_FIELDS_H

#include "Dravik.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class Form1;
class KeyListBox;
class QCheckBox;
class QLineEdit;

// The five records of one reading, writing or comparison, all zero at first.
struct WindowRecords {
    tsIdleParms idle{};
    tsTyvelParms sensing{};
    tsObjRangeInfo range{};
    tsWalkAwayParms away{};
    tsWalkUpParms up{};
};

enum class Record { Idle, Sensing, Range, WalkAway, WalkUp };

// How the library is asked for a record and given it, and the labels its
// failures are reported under.
struct RecordAccess {
    Record record;
    std::int32_t (*get)(WindowRecords&);
    // Null for the range reading, which is never written.
    std::int32_t (*set)(WindowRecords&);
    const char* readLabel;
    const char* compareLabel;
    void (*compareReporter)(Form1&, const QString&);
    // Null when writing builds the record from zeros instead of the library's copy.
    const char* writeGetLabel;
    const char* setLabel;
};

// In the order of the library calls.
extern const std::array<RecordAccess, 5> kRecords;

// Where a field is shown: a text box, a check box standing for one bit, the
// eight modifier boxes of a key slot, or a key list.
struct FieldControl {
    QLineEdit* text = nullptr;
    QCheckBox* box = nullptr;
    int bit = 0;
    int modifierSlot = -1;
    KeyListBox* list = nullptr;
};

// How reading the configuration shows the field.
enum class Shown {
    Decimal,        // the text box gets the field as decimal text
    Bit,            // the check box is ticked when its bit is set
    ModifierBoxes,  // the slot's boxes get the modifier word, bit by bit
    ListEntry,      // the key list selects the entries carrying the code
    ByItsList,      // not assigned: the key list's handler writes the box
    Kept,           // not assigned: the controls keep what a click or a settings file gave them
};

// How a control becomes a number, when written or compared.
enum class Rule {
    None,
    Strict,        // the whole text as a number
    Leading,       // the number the text's leading part gives, 0 for none
    Bit,           // the check box's value at its bit
    ModifierByte,  // the slot's eight boxes, each times its bit
    KeyCount,      // written only: the record's keys that have a modifier or a code
};

struct Range {
    int low;
    int high;
};
inline constexpr Range kWord{-32768, 32767};
// Delays and key codes travel to the sensor as one byte.
inline constexpr Range kByte{0, 255};

enum class Unconvertible {
    RefuseTheWrite,
    // For fields out of the user's sight.
    KeepTheFetchedValue,
};

struct Writing {
    Rule rule = Rule::None;
    Range range = kWord;
    Unconvertible unconvertible = Unconvertible::RefuseTheWrite;
    // How a refusal names the field.
    QString named;
};

// The check of the user's edit; the text put back when it fails.
struct FieldCheck {
    enum class When { Never, OnLeaving, OnEveryChange };
    When when = When::Never;
    double low = 0;
    double high = 0;
    const char* message = nullptr;
    const char* reset = nullptr;
};

struct WindowField {
    Record record;
    QString name;
    FieldControl control;
    std::function<std::int16_t&(WindowRecords&)> fieldIn;
    Shown shown;
    Writing writing;
    Rule compared;
    FieldCheck check;
};

// In the order reading assigns them, record after record; the rows of a
// record follow each other. Like fields differ in their columns: the
// detection range is written by its leading number but compared strictly,
// the walk-up key delay the other way round; the walk-away codes are written
// strictly, the walk-up codes by their leading number.
std::vector<WindowField> windowFields(Form1& form);

// The check boxes of a row: its box, or its slot's eight modifier boxes.
std::vector<QCheckBox*> checkBoxes(const Form1& form, const FieldControl& control);

#endif
