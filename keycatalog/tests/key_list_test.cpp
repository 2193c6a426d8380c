#include "fill_key_list.h"
#include "key_list.h"

#include <QComboBox>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <set>
#include <string>

using keycatalog::KeyList;
using keycatalog::KeyListVariant;
using keycatalog::keyList;

namespace {

std::set<int> codesOf(const KeyList& list)
{
    std::set<int> codes;
    for (const auto& entry : list)
        codes.insert(entry.code);
    return codes;
}

std::set<int> range(int first, int last)
{
    std::set<int> codes;
    for (int code = first; code <= last; ++code)
        codes.insert(code);
    return codes;
}

std::set<int> expectedCodes(int backslashCode)
{
    std::set<int> codes{0, backslashCode, 255};
    for (const auto& part : {range(4, 48), range(51, 56), range(58, 71), range(73, 82), range(84, 88), range(158, 167),
                             range(173, 177), range(179, 184)})
        codes.insert(part.begin(), part.end());
    return codes;
}

}  // namespace

TEST(KeyList, EveryEntryHasAShortPrintableTextAndItsOwnCode)
{
    for (KeyListVariant variant : {KeyListVariant::Common, KeyListVariant::WalkUp5}) {
        const KeyList& list = keyList(variant);
        EXPECT_EQ(codesOf(list).size(), list.size());
        for (const auto& entry : list) {
            const size_t length = std::strlen(entry.text);
            EXPECT_GE(length, 1u);
            EXPECT_LE(length, 12u);
            for (size_t i = 0; i < length; ++i)
                EXPECT_TRUE(entry.text[i] >= 0x20 && entry.text[i] < 0x7f) << entry.text;
        }
    }
}

TEST(KeyList, CarriesExactlyTheCatalogueCodes)
{
    EXPECT_EQ(codesOf(keyList(KeyListVariant::Common)), expectedCodes(49));
    EXPECT_EQ(codesOf(keyList(KeyListVariant::WalkUp5)), expectedCodes(50));
}

TEST(KeyList, GroupsStandInCatalogueOrder)
{
    const KeyList& list = keyList(KeyListVariant::Common);
    EXPECT_STREQ(list[1].text, "a");
    EXPECT_STREQ(list[26].text, "z");
    EXPECT_EQ(list[26].code, 29);
    EXPECT_STREQ(list[27].text, "1");
    EXPECT_STREQ(list[36].text, "0");
    EXPECT_EQ(list[36].code, 39);
    EXPECT_STREQ(list[37].text, "!");
    EXPECT_EQ(list[37].code, 158);
    EXPECT_STREQ(list[47].text, "ENTER");
    EXPECT_STREQ(list[74].text, "F1");
    EXPECT_STREQ(list[85].text, "F12");
    EXPECT_STREQ(list[86].text, "PRNTSCRN");
    EXPECT_STREQ(list[88].text, "INSERT");
    EXPECT_EQ(list[88].code, 73);
    EXPECT_STREQ(list[97].text, "UP");
    EXPECT_STREQ(list[98].text, "KP /");
    EXPECT_STREQ(list[102].text, "KP ENTER");
    EXPECT_EQ(list[102].code, 88);
}

TEST(KeyList, WalkUp5VariantDiffersOnlyAroundTheBackslash)
{
    const KeyList& common = keyList(KeyListVariant::Common);
    const KeyList& walkUp5 = keyList(KeyListVariant::WalkUp5);
    for (int position = 0; position < keycatalog::kKeyListSize; ++position) {
        if (position >= 56 && position <= 61)
            continue;
        EXPECT_STREQ(walkUp5[position].text, common[position].text) << position;
        EXPECT_EQ(walkUp5[position].code, common[position].code) << position;
    }
    EXPECT_STREQ(walkUp5[56].text, "; SEMICOLON");
    EXPECT_STREQ(walkUp5[60].text, ". PERIOD");
    EXPECT_STREQ(walkUp5[61].text, "\\\\");
    EXPECT_EQ(walkUp5[61].code, 50);
    EXPECT_STREQ(walkUp5[62].text, "/");
    EXPECT_EQ(walkUp5[62].code, 56);
}

struct Lookup {
    int code;
    int commonPosition;  // -1: no entry carries it
    int walkUp5Position;
    const char* text;  // of the entry found, when one is
};

void PrintTo(const Lookup& lookup, std::ostream* out)
{
    *out << "code " << lookup.code;
}

class KeyListLookup : public ::testing::TestWithParam<Lookup> {};

// The window turns a code into a selection by scanning the filled list's item data.
TEST_P(KeyListLookup, CodeFindsItsEntryInTheFilledList)
{
    const Lookup& lookup = GetParam();
    for (auto [variant, position] : {std::pair{KeyListVariant::Common, lookup.commonPosition},
                                     std::pair{KeyListVariant::WalkUp5, lookup.walkUp5Position}}) {
        QComboBox list;
        list.setEditable(true);
        keycatalog::appendKeyList(list, variant);
        const int found = list.findData(lookup.code);
        EXPECT_EQ(found, position) << "code " << lookup.code;
        if (found >= 0) {
            EXPECT_EQ(list.itemText(found).toStdString(), lookup.text);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, KeyListLookup,
    ::testing::Values(Lookup{0, 0, 0, "NONE"}, Lookup{255, 103, 103, "NULL"}, Lookup{166, 45, 45, "("},
                      Lookup{175, 65, 65, "("}, Lookup{167, 46, 46, ")"}, Lookup{176, 66, 66, ")"},
                      Lookup{49, 56, -1, "\\\\"}, Lookup{50, -1, 61, "\\\\"}, Lookup{51, 57, 56, "; SEMICOLON"},
                      Lookup{52, 58, 57, "' SNGLQUOTE"}, Lookup{53, 59, 58, "`"}, Lookup{54, 60, 59, ", COMMA"},
                      Lookup{55, 61, 60, ". PERIOD"}, Lookup{56, 62, 62, "/"}, Lookup{44, 51, 51, "SPACE5"},
                      Lookup{180, 69, 69, " DBLQUOTE"}, Lookup{14, 11, 11, "k"}, Lookup{41, 48, 48, "ESC"},
                      Lookup{76, 91, 91, "DELETE"}),
    [](const ::testing::TestParamInfo<Lookup>& info) { return "Code" + std::to_string(info.param.code); });

TEST(KeyListLookup, CodesTheCatalogueDoesNotCarryFindNoEntry)
{
    std::set<int> absent{57, 72, 83, 178, 1, 2, 3, 256, -1};
    for (int code : range(132, 157))
        absent.insert(code);
    for (int code : range(89, 127))
        absent.insert(code);
    for (int code : range(185, 254))
        absent.insert(code);
    for (KeyListVariant variant : {KeyListVariant::Common, KeyListVariant::WalkUp5}) {
        QComboBox list;
        keycatalog::appendKeyList(list, variant);
        for (int code : absent)
            EXPECT_EQ(list.findData(code), -1) << code;
    }
}

TEST(AppendKeyList, LeavesAnEmptyListUnselectedWithItsTextAndEmitsNothing)
{
    QComboBox list;
    list.setEditable(true);
    list.setEditText("Combo5");
    QSignalSpy indexChanges(&list, &QComboBox::currentIndexChanged);
    QSignalSpy textChanges(&list, &QComboBox::editTextChanged);
    QSignalSpy activations(&list, &QComboBox::activated);

    keycatalog::appendKeyList(list, KeyListVariant::Common);

    EXPECT_EQ(list.count(), 104);
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(list.currentText(), "Combo5");
    EXPECT_EQ(indexChanges.count(), 0);
    EXPECT_EQ(textChanges.count(), 0);
    EXPECT_EQ(activations.count(), 0);
}

TEST(AppendKeyList, StoresEachCodeAsTheItemDatum)
{
    QComboBox list;
    keycatalog::appendKeyList(list, KeyListVariant::WalkUp5);
    const KeyList& entries = keyList(KeyListVariant::WalkUp5);
    for (int position = 0; position < keycatalog::kKeyListSize; ++position) {
        EXPECT_EQ(list.itemText(position).toStdString(), entries[position].text);
        EXPECT_EQ(list.itemData(position).toInt(), entries[position].code);
    }
}

TEST(AppendKeyList, AppendsAfterEntriesAlreadyThereAndKeepsTheSelection)
{
    QComboBox list;
    list.addItem("first", 7);
    list.setCurrentIndex(0);

    keycatalog::appendKeyList(list, KeyListVariant::Common);

    EXPECT_EQ(list.count(), 105);
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_EQ(list.itemText(1), "NONE");
    EXPECT_EQ(list.itemText(104), "NULL");
    EXPECT_EQ(list.findData(0), 1);
}
