// The constants dialog's work on the list, without the dialog: the working
// values and slots, add, delete, rename, what Ok writes; and the helpers the
// list dialogs share (storable names, value texts, the files offered).
#include "constants/constants_editing.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/text16.h"
#include "tests/constants/list_files.h"

namespace {

const char kThree[] = "; my constants\n2,1,3,1,1,1\na=1\nb=2\nc=3\n";

// The value field as the dialog shows a working value and reads it back.
double ThroughField(double value)
{
    char16_t text[kNumberFieldCapacity];
    FormatFieldValue(text, kNumberFieldCapacity, value, "%.6e");
    std::string ascii;
    for (const char16_t* p = text; *p != 0; ++p) ascii += static_cast<char>(*p);
    return std::strtod(ascii.c_str(), nullptr);
}

struct Dialog {
    ProgramFolder folder;
    KeySession session;
    ConstantsEditing editing;
    ConstantList& list = session.constants;

    explicit Dialog(const std::string& file)
    {
        if (!file.empty()) folder.Write("constant", file);
        StartOn(session, folder);
        EXPECT_TRUE(BeginConstantsEditing(list, editing));
    }
    // The field as it shows the current row.
    double Field() const { return editing.currentRow >= 0 ? ThroughField(list.workValues[editing.currentRow]) : 0; }
    int Ok(const int (&pickers)[6], double field)
    {
        return FinishConstantsOk(list, editing, pickers, field, folder.folder(), session.options);
    }
    int Ok(double field) { return Ok(list.workSlots, field); }
    int Ok() { return Ok(Field()); }
    std::string File() const { return folder.Read("constant"); }
    std::string Name(int row) const { return Utf8(list.names[row]); }
};

TEST(ConstantsEditingOpen, WorkingCopiesOfValuesAndSlots)
{
    Dialog d(kThree);
    ASSERT_EQ(d.list.count, 3);
    ASSERT_NE(d.list.workValues, nullptr);
    EXPECT_NE(d.list.workValues, d.list.values);
    EXPECT_EQ(d.list.workValues[2], 3.0);
    const int slots[6] = {1, 0, 2, 0, 0, 0};
    EXPECT_EQ(std::memcmp(d.list.workSlots, slots, sizeof slots), 0);
    EXPECT_EQ(d.editing.currentRow, 0);
    EXPECT_EQ(d.editing.modified, 0);
    EndConstantsEditing(d.list);
    EXPECT_EQ(d.list.workValues, nullptr);
}

TEST(ConstantsEditingOpen, EmptyListHasNoCurrentRow)
{
    Dialog d("1,1,1,1,1,1\n");
    EXPECT_EQ(d.list.count, 0);
    EXPECT_EQ(d.list.workValues, nullptr);
    EXPECT_EQ(d.editing.currentRow, -1);
}

TEST(ConstantsEditingOk, WithoutChangeWritesNothing)
{
    Dialog d(kThree);
    EXPECT_EQ(d.Ok(), 0);
    EXPECT_EQ(d.File(), kThree);
    EXPECT_EQ(d.list.workValues, nullptr);
}

TEST(ConstantsEditingOk, ValueWithMoreDigitsThanTheFieldIsRewritten)
{
    Dialog d("1,2,1,1,1,1\npi=3.14159265358979\ne=2.718281828\n");
    EXPECT_EQ(d.Ok(), 1);  // the field holds seven significant digits
    EXPECT_EQ(d.list.values[0], 3.141593);
    EXPECT_EQ(d.list.values[1], 2.718281828);  // not shown, not rounded
    EXPECT_EQ(d.File(), "1,2,1,1,1,1\npi=3.141593e+00\ne=2.718282e+00\n");
}

TEST(ConstantsEditingOk, SlotChoiceAloneIsWritten)
{
    Dialog d(kThree);
    const int pickers[6] = {2, 2, -1, 0, 0, 0};  // -1: a picker without selection
    EXPECT_EQ(d.Ok(pickers, d.Field()), 1);
    const int slots[6] = {2, 2, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(d.list.slots, slots, sizeof slots), 0);
    EXPECT_EQ(d.File(), "; my constants\n3,3,1,1,1,1\na=1.000000e+00\nb=2.000000e+00\nc=3.000000e+00\n");
}

TEST(ConstantsEditingRows, MovingKeepsTheFieldInTheRowItShowed)
{
    Dialog d(kThree);
    ASSERT_TRUE(MoveToConstant(d.list, d.editing, 2, d.Field()));
    ASSERT_TRUE(MoveToConstant(d.list, d.editing, 0, 3.5));  // typed 3.5 into row 2's field
    EXPECT_EQ(d.list.workValues[2], 3.5);
    EXPECT_EQ(d.list.values[2], 3.0);
    EXPECT_EQ(d.editing.currentRow, 0);
    EXPECT_FALSE(MoveToConstant(d.list, d.editing, 3, 9));
    EXPECT_FALSE(MoveToConstant(d.list, d.editing, -1, 9));
    EXPECT_EQ(d.list.workValues[0], 1.0);
    EXPECT_EQ(d.Ok(), 1);
    EXPECT_EQ(d.list.values[2], 3.5);
}

TEST(ConstantsEditingAdd, IntoAnEmptyListThenOkWritesIt)
{
    Dialog d("; kept\n1,1,1,1,1,1\n");
    ASSERT_TRUE(AddConstant(d.list, d.editing, u"twenty-characters-xx", 42));
    EXPECT_EQ(d.list.count, 1);
    EXPECT_EQ(d.Name(0), "twenty-charact");  // 14
    EXPECT_EQ(d.list.values[0], 0.0);        // until Ok
    EXPECT_EQ(d.list.workValues[0], 42.0);
    EXPECT_EQ(d.editing.currentRow, -1);     // no row shown: the field is not read
    EXPECT_EQ(d.Ok(123.0), 1);
    EXPECT_EQ(d.list.values[0], 42.0);
    EXPECT_EQ(d.File(), "; kept\n1,1,1,1,1,1\ntwenty-charact=4.200000e+01\n");
}

TEST(ConstantsEditingAdd, LeavesSelectionAndCurrentRow)
{
    Dialog d(kThree);
    ASSERT_TRUE(MoveToConstant(d.list, d.editing, 1, d.Field()));
    ASSERT_TRUE(AddConstant(d.list, d.editing, u"d", 4));
    EXPECT_EQ(d.editing.currentRow, 1);
    EXPECT_EQ(d.editing.modified, 1);
    EXPECT_EQ(d.list.count, 4);
    EXPECT_EQ(d.list.workValues[3], 4.0);
    EXPECT_EQ(d.list.values[3], 0.0);
}

TEST(ConstantsEditingAdd, OutOfMemoryChangesNothing)
{
    Dialog d(kThree);
    {
        FailingSize failing(4 * sizeof(double));  // the grown value tables
        EXPECT_FALSE(AddConstant(d.list, d.editing, u"d", 4));
    }
    EXPECT_EQ(d.list.count, 3);
    EXPECT_EQ(d.editing.modified, 0);
    EXPECT_EQ(d.Ok(), 0);
    EXPECT_EQ(d.File(), kThree);
}

TEST(ConstantsEditingDelete, CurrentRowSelectsTheFirstAndOkStoresIntoIt)
{
    Dialog d(kThree);
    ASSERT_TRUE(MoveToConstant(d.list, d.editing, 1, d.Field()));
    ASSERT_TRUE(DeleteConstant(d.list, d.editing, 1));
    EXPECT_EQ(d.list.count, 2);
    EXPECT_EQ(d.Name(0), "a");
    EXPECT_EQ(d.Name(1), "c");
    EXPECT_EQ(d.list.workValues[1], 3.0);
    EXPECT_EQ(d.editing.currentRow, 0);
    // slots were (1, 0, 2, 0, 0, 0): index 2 is past the end now
    const int slots[6] = {1, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(d.list.workSlots, slots, sizeof slots), 0);
    EXPECT_EQ(d.Ok(7.0), 1);  // the field, now showing row 0, holds 7
    EXPECT_EQ(d.File(), "; my constants\n2,1,1,1,1,1\na=7.000000e+00\nc=3.000000e+00\n");
}

TEST(ConstantsEditingDelete, LastOneLeavesNoRowAndOkWritesNothing)
{
    Dialog d("1,1,1,1,1,1\nonly=5\n");
    ASSERT_TRUE(DeleteConstant(d.list, d.editing, 0));
    EXPECT_EQ(d.list.count, 0);
    EXPECT_EQ(d.editing.currentRow, -1);
    EXPECT_EQ(d.editing.modified, 1);
    EXPECT_FALSE(DeleteConstant(d.list, d.editing, 0));
    EXPECT_EQ(d.Ok(0.0), 0);
    EXPECT_EQ(d.File(), "1,1,1,1,1,1\nonly=5\n");
}

TEST(ConstantsEditingChange, LongNameIsStoredAndWrittenWhole)
{
    Dialog d(kThree);
    ASSERT_TRUE(ChangeConstant(d.list, d.editing, 2, u"a-name-of-twenty-cha", 9.5));
    EXPECT_EQ(d.Name(2), "a-name-of-twenty-cha");
    EXPECT_EQ(d.list.workValues[2], 9.5);
    EXPECT_EQ(d.list.values[2], 3.0);
    EXPECT_EQ(d.editing.modified, 1);
    EXPECT_FALSE(ChangeConstant(d.list, d.editing, 3, u"x", 1));
    EXPECT_EQ(d.Ok(), 1);
    EXPECT_EQ(d.File(),
              "; my constants\n2,1,3,1,1,1\na=1.000000e+00\nb=2.000000e+00\na-name-of-twenty-cha=9.500000e+00\n");
    // The next load cuts it to the file's limit.
    KeySession again;
    StartOn(again, d.folder);
    EXPECT_EQ(Utf8(again.constants.names[2]), "a-name-of-twen");
}

// ---- Names -------------------------------------------------------------------

TEST(StorableNames, OnlyNamesThatComeBackAsThemselves)
{
    const struct {
        const char16_t* name;
        bool storable;
    } cases[] = {
        {u"g", true},
        {u"Скорость света", true},
        {u"Ёж ё", true},
        {u"a;b", true},
        {u" spaced ", true},
        {u"", false},
        {u"a=b", false},
        {u"=", false},
        {u";comment", false},
        {u"tab\there", false},
        {u"\u0400", false},      // no byte of its own: ends the name in the file
        {u"\u00C0", false},      // its byte reads back as "А"
        {u"\u4E3D", false},      // its low byte is "="
        {u"\u013B", false},      // its low byte is ";"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StorableRecordName(c.name), c.storable) << Utf8(c.name);
        if (!c.storable || U16Len(c.name) > kConstantNameLimit) continue;
        // What is accepted survives a save and a load unchanged.
        ProgramFolder folder;
        char16_t* names[1] = {const_cast<char16_t*>(c.name)};
        const double values[1] = {1};
        const int header[6] = {};
        ASSERT_TRUE(SaveRecordFile(folder.folder(), u"constant", kConstantsKind, header, names, values, 1));
        KeySession session;
        StartOn(session, folder);
        ASSERT_EQ(session.constants.count, 1) << Utf8(c.name);
        EXPECT_EQ(Utf8(session.constants.names[0]), Utf8(c.name));
    }
    EXPECT_FALSE(StorableRecordName(nullptr));
}

TEST(StorableNames, RefusedNamesWouldVanishOrChange)
{
    const struct {
        const char16_t* name;
        int count;
        const char* loaded;
    } cases[] = {
        {u"", 0, ""},
        {u";x", 0, ""},
        {u"a=b", 1, "a"},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        char16_t* names[1] = {const_cast<char16_t*>(c.name)};
        const double values[1] = {5};
        const int header[6] = {};
        ASSERT_TRUE(SaveRecordFile(folder.folder(), u"constant", kConstantsKind, header, names, values, 1));
        KeySession session;
        StartOn(session, folder);
        ASSERT_EQ(session.constants.count, c.count) << Utf8(c.name);
        if (c.count == 1) {
            EXPECT_EQ(Utf8(session.constants.names[0]), c.loaded);
        }
    }
}

// ---- Value texts -------------------------------------------------------------

TEST(FieldValues, FormatFitsOrFallsBackToTheExponentForm)
{
    const struct {
        double value;
        const char* format;
        size_t capacity;
        const char* shown;  // nullptr: the value's own "%f" text
    } cases[] = {
        {2, "%f", 50, "2.000000"},
        {2, "%.6e", 50, "2.000000e+00"},
        {0.0015, "%.6e", 40, "1.500000e-03"},
        {-1.5, "%f", 40, "-1.500000"},
        {1e41, "%f", 50, nullptr},  // 49 characters: the editor's buffer holds it
        {1e42, "%f", 50, "1.000000e+42"},
        {-1e41, "%f", 50, "-1.000000e+41"},  // the sign is one more
        {1e91, "%f", 100, nullptr},
        {1e92, "%f", 100, "1.000000e+92"},
        {1e300, "%f", 100, "1.000000e+300"},
        {-1.7976931348623157e308, "%f", 15, "-1.797693e+308"},
    };
    for (const auto& c : cases) {
        char own[400];
        std::snprintf(own, sizeof own, "%f", c.value);
        char16_t out[128];
        FormatFieldValue(out, c.capacity, c.value, c.format);
        EXPECT_EQ(Utf8(out), c.shown != nullptr ? c.shown : own) << c.value << " " << c.format << " " << c.capacity;
        EXPECT_LT(U16Len(out), c.capacity);
    }
}

TEST(FieldValues, ShownTextReadsBackAsTheShownNumber)
{
    // A field is read back as its first 39 characters: a longer "%f" text
    // would come back as another number (1e40 as 1e38), so it is not shown.
    char plain[80];
    std::snprintf(plain, sizeof plain, "%f", 1e40);
    EXPECT_NE(std::strtod(std::string(plain, 39).c_str(), nullptr), 1e40);
    for (double value : {1.0, 12345.678, 1e20, 1e31, 1e32, 1e33, 1e38, 1e39, 1e40, 1e60, -1e31, -1e32}) {
        char16_t out[40];
        FormatFieldValue(out, 40, value, "%f");
        const std::string shown = Utf8(out);
        const double whole = std::strtod(shown.c_str(), nullptr);
        EXPECT_EQ(std::strtod(shown.substr(0, 39).c_str(), nullptr), whole) << shown;
        EXPECT_NEAR(whole / value, 1.0, 1e-6) << shown;
    }
}

// ---- Constants files -------------------------------------------------------------

TEST(ConstantsFiles, OfferedNames)
{
    const struct {
        const char16_t* file;
        const char* offered;  // nullptr: not offered
    } cases[] = {
        {u"constant.txt", "constant"},
        {u"Physics.TXT", "Physics"},
        {u"a.b.txt", "a.b"},
        {u"fourteen-chars.txt", "fourteen-chars"},
        {u"fifteen-charsXX.txt", nullptr},
        {u"currency.txt", nullptr},
        {u"Currency.txt", nullptr},
        {u"CURRENCY.TXT", nullptr},
        {u"currency2.txt", "currency2"},
        {u"currenc.txt", "currenc"},
        {u".txt", nullptr},
        {u"notes.txtx", nullptr},  // a short alias can match "*.txt"
        {u"txt", nullptr},
        {u"Константы.txt", "Константы"},
    };
    for (const auto& c : cases) {
        char16_t bare[16];
        const bool offered = OfferedConstantsFile(c.file, bare);
        EXPECT_EQ(offered, c.offered != nullptr) << Utf8(c.file);
        if (offered && c.offered != nullptr) {
            EXPECT_EQ(Utf8(bare), c.offered);
        }
    }
}

}  // namespace
