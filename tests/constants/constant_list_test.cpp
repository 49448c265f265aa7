// The constant list: loading a constants file, the six menu slots, recalling
// a slot, and the "Константы" menu the list leaves behind.
#include "constants/constant_list.h"

#include <cstring>

#include "resources/resource.h"
#include "tests/constants/list_files.h"

namespace {

constexpr int kMenu = kSessionConstantsMenu;

const char kFive[] =
    "; five constants\n"
    "1,2,3,4,5,6\n"
    "one=1\n"
    "two=2\n"
    "three=3\n"
    "four=4\n"
    "five=5\n";

std::string SlotTexts(const KeySession& session)
{
    std::string texts;
    for (int id = IDM_CONSTANT_SLOT1; id <= IDM_CONSTANT_SLOT6; ++id) texts += MenuText(session, kMenu, id) + "|";
    return texts;
}

TEST(ConstantLoad, SlotsNameTheirConstants)
{
    ProgramFolder folder;
    folder.Write("constant", "3,1,5,2,4,1\nc=299792458\ng=9.80665\nh=6.62607015e-34\nkB=1.380649e-23\nNA=6.02214076e23\n");
    KeySession session;
    StartOn(session, folder);
    ASSERT_EQ(session.constants.count, 5);
    EXPECT_EQ(SlotTexts(session), "h|c|NA|g|kB|c|");
    EXPECT_EQ(MenuText(session, kMenu, IDM_CONSTANT_PI), "π");
    EXPECT_EQ(MenuText(session, kMenu, IDM_CONSTANT_E), "e");
    EXPECT_EQ(MenuText(session, kMenu, IDM_CONSTANT_CHOICE), "Выбор...");
    EXPECT_EQ(session.constants.values[2], 6.62607015e-34);
}

TEST(ConstantLoad, OneConstantOnAllSixSlots)
{
    ProgramFolder folder;
    folder.Write("constant", "2,2,2,2,2,2\na=1\nsecond=2\nc=3\n");
    KeySession session;
    StartOn(session, folder);
    EXPECT_EQ(SlotTexts(session), "second|second|second|second|second|second|");
    for (int slot = 0; slot < 6; ++slot) {
        session.engine.value = 0;
        RecallConstantSlot(session.constants, session.engine, slot);
        EXPECT_EQ(session.engine.value, 2.0) << "slot " << slot + 1;
    }
}

TEST(ConstantLoad, SlotPastTheListRecallsNothing)
{
    ProgramFolder folder;
    folder.Write("constant", kFive);
    KeySession session;
    StartOn(session, folder);
    ASSERT_EQ(session.constants.count, 5);
    EXPECT_EQ(session.constants.slots[5], 5);
    // It keeps its number rather than showing a name it cannot recall.
    EXPECT_EQ(SlotTexts(session), "one|two|three|four|five|6|");
    Press(session, "7 cmd:40047");
    EXPECT_EQ(session.engine.value, 7.0);
    EXPECT_EQ(DisplayLine(session), "rd 7");
    Press(session, "cmd:40046");
    EXPECT_EQ(DisplayLine(session), "rd 5");
}

TEST(ConstantLoad, NegativeAndZeroHeaderNumbers)
{
    ProgramFolder folder;
    folder.Write("constant", "-3,0,,x,2\na=1\nb=2\n");
    KeySession session;
    StartOn(session, folder);
    EXPECT_EQ(session.constants.slots[0], -4);
    EXPECT_EQ(SlotTexts(session), "1|a|a|a|b|a|");
    session.engine.value = 9;
    RecallConstantSlot(session.constants, session.engine, 0);
    EXPECT_EQ(session.engine.value, 9.0);
}

TEST(ConstantLoad, FilesThatGiveNoList)
{
    const struct {
        const char* name;
        const char* bytes;  // nullptr: no file
    } cases[] = {
        {"missing", nullptr},
        {"empty", ""},
        {"comments and blanks", "; a\n\n;b\r\n\r\n"},
        {"header, no records", "1,2,3,4,5,6\n; nothing\nnot a record\n=5\nx=\n"},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        if (c.bytes != nullptr) folder.Write("constant", c.bytes);
        KeySession session;
        StartOn(session, folder);
        EXPECT_EQ(session.constants.count, 0) << c.name;
        EXPECT_EQ(session.constants.names, nullptr) << c.name;
        EXPECT_EQ(MenuText(session, kMenu, IDM_CONSTANT_PI), "π") << c.name;
        EXPECT_EQ(SlotTexts(session), "1|2|3|4|5|6|") << c.name;
        Press(session, "4 cmd:40042");
        EXPECT_EQ(DisplayLine(session), "rd 4") << c.name;
    }
}

TEST(ConstantLoad, EmptyReloadKeepsTheOldMenuTexts)
{
    ProgramFolder folder;
    folder.Write("constant", kFive);
    folder.Write("bare", "2,2,2,2,2,2\n");
    KeySession session;
    StartOn(session, folder);
    const int slotsBefore[6] = {0, 1, 2, 3, 4, 5};

    Options options = session.options;
    std::memcpy(options.constantsFile, u"bare", sizeof u"bare");
    EXPECT_EQ(LoadConstants(session.constants, folder.folder(), options, kSessionMainWindow), 0);
    EXPECT_EQ(session.constants.count, 0);
    EXPECT_EQ(SlotTexts(session), "one|two|three|four|five|6|");
    EXPECT_EQ(0, std::memcmp(session.constants.slots, slotsBefore, sizeof slotsBefore));
    Press(session, "8 cmd:40042");
    EXPECT_EQ(DisplayLine(session), "rd 8");
}

TEST(ConstantLoad, ReloadReplacesTheWholeList)
{
    ProgramFolder folder;
    folder.Write("constant", kFive);
    folder.Write("pair", "2,1\nx=10\ny=20\n");
    KeySession session;
    StartOn(session, folder);

    Options options = session.options;
    std::memcpy(options.constantsFile, u"pair", sizeof u"pair");
    EXPECT_EQ(LoadConstants(session.constants, folder.folder(), options, kSessionMainWindow), 2);
    EXPECT_EQ(Utf8(session.constants.names[0]), "x");
    EXPECT_EQ(SlotTexts(session), "y|x|x|x|x|x|");  // missing header numbers are index 0
}

TEST(ConstantLoad, NamedFileAndUnterminatedName)
{
    ProgramFolder folder;
    folder.Write("physics", "1\nc=3e8\n");
    folder.Write("abcdefghijklmno", "1\nlong=15\n");
    KeySession session;
    StartOn(session, folder, u"physics");
    ASSERT_EQ(session.constants.count, 1);
    EXPECT_EQ(MenuText(session, kMenu, IDM_CONSTANT_SLOT1), "c");

    // A broken options record may fill all sixteen units: the name is taken
    // up to fifteen, never read past the field.
    Options options = session.options;
    for (int i = 0; i < 16; ++i) options.constantsFile[i] = static_cast<char16_t>(u'a' + i);
    EXPECT_EQ(LoadConstants(session.constants, folder.folder(), options, kSessionMainWindow), 1);
    EXPECT_EQ(MenuText(session, kMenu, IDM_CONSTANT_SLOT1), "long");
}

TEST(ConstantLoad, CyrillicNamesCutToFourteenBytes)
{
    ProgramFolder folder;
    // "Скорость света" is 14 letters, "Постоянная Планка" 17.
    folder.Write("constant",
                 "1,2\n"
                 "\xD1\xEA\xEE\xF0\xEE\xF1\xF2\xFC \xF1\xE2\xE5\xF2\xE0=299792458\n"
                 "\xCF\xEE\xF1\xF2\xEE\xFF\xED\xED\xE0\xFF \xCF\xEB\xE0\xED\xEA\xE0=6.62607015e-34\n");
    KeySession session;
    StartOn(session, folder);
    EXPECT_EQ(MenuText(session, kMenu, IDM_CONSTANT_SLOT1), "Скорость света");
    EXPECT_EQ(MenuText(session, kMenu, IDM_CONSTANT_SLOT1 + 1), "Постоянная Пла");
}

TEST(ConstantLoad, OutOfMemoryWhileFillingKeepsTheNamesRead)
{
    ProgramFolder folder;
    // The third name alone needs a block of 28 bytes (13 units and the NUL).
    folder.Write("constant", "3,2,1,4,1,1\na=1\nb=2\nthirteen_long=3\nd=4\n");
    KeySession session;
    {
        FailingSize failing(28);
        StartOn(session, folder);
    }
    ASSERT_EQ(session.constants.count, 2);
    EXPECT_EQ(Utf8(session.constants.names[0]), "a");
    EXPECT_EQ(Utf8(session.constants.names[1]), "b");
    EXPECT_EQ(SlotTexts(session), "1|b|a|4|a|a|");
    Press(session, "cmd:40042");
    EXPECT_EQ(DisplayLine(session), "rd 0");
    Press(session, "cmd:40043");
    EXPECT_EQ(DisplayLine(session), "rd 2");
}

TEST(ConstantLoad, NoMemoryForTheTablesGivesAnEmptyList)
{
    ProgramFolder folder;
    folder.Write("constant", "2,2,2,2,2,2\na=1\nb=2\nc=3\n");
    KeySession session;
    {
        FailingSize failing(24);  // three pointers, or three doubles
        StartOn(session, folder);
    }
    EXPECT_EQ(session.constants.count, 0);
    EXPECT_EQ(session.constants.names, nullptr);
    EXPECT_EQ(session.constants.values, nullptr);
    EXPECT_EQ(SlotTexts(session), "1|2|3|4|5|6|");
}

TEST(ConstantMenu, WindowWithoutTheMenuIsLeftAlone)
{
    ProgramFolder folder;
    folder.Write("constant", kFive);
    KeySession session;
    StartSession(session);  // no folder: the menu as the resource holds it, π set
    const uintptr_t dialog = 2;
    EXPECT_EQ(LoadConstants(session.constants, folder.folder(), session.options, dialog), 5);
    EXPECT_EQ(SlotTexts(session), "1|2|3|4|5|6|");
    RebuildConstantMenu(session.constants, kSessionMainWindow);
    EXPECT_EQ(SlotTexts(session), "one|two|three|four|five|6|");
}

TEST(ConstantMenu, PiAndEArePutExactly)
{
    KeySession session;
    StartSession(session);
    EXPECT_EQ(MenuText(session, kMenu, IDM_CONSTANT_PI), "π");
    Press(session, "1 2 cmd:40040");
    EXPECT_EQ(session.engine.value, 3.141592653589793);
    EXPECT_EQ(DisplayLine(session), "rd 3.141593");
    Press(session, "cmd:40041");
    EXPECT_EQ(session.engine.value, 2.718281828459045);
    EXPECT_EQ(DisplayLine(session), "rd 2.718282");
}

TEST(ConstantCommands, RecallEndsEntryAndKeepsThePendingOperation)
{
    ProgramFolder folder;
    folder.Write("constant", "2,1,1,1,1,1\nhalf=0.5\nten=10\n");
    const struct {
        const char* keys;
        const char* display;
    } cases[] = {
        {"1 2 cmd:40042", "rd 10"},
        {"1 2 cmd:40042 3", "rd 3"},             // the next digit starts a new number
        {"2 right 1 cmd:40043 ok", "rd 2.5"},    // 2 + half
        {"3 right 7 act:66 ok", "rd 0.3"},       // key action 66 posts slot 1
        {"3 right * act:67 ok", "rd 1.5"},       // 67: slot 2
        {"up cmd:40042", "rd 10"},               // the layer is dropped
        {"1 act:71", "rd 0.5"},                  // 71: slot 6
    };
    for (const auto& c : cases) {
        KeySession session;
        StartOn(session, folder);
        Press(session, c.keys);
        EXPECT_EQ(DisplayLine(session), c.display) << c.keys;
        EXPECT_EQ(session.keypad.keyLayer, kLayerNone) << c.keys;
    }
}

TEST(ConstantCommands, RecallOutsideTheSlotsDoesNothing)
{
    ProgramFolder folder;
    folder.Write("constant", kFive);
    KeySession session;
    StartOn(session, folder);
    for (int slot : {-1, 6, 1000}) {
        session.engine.value = 42;
        RecallConstantSlot(session.constants, session.engine, slot);
        EXPECT_EQ(session.engine.value, 42.0) << slot;
    }
    ConstantList empty;
    RecallConstantSlot(empty, session.engine, 0);
    EXPECT_EQ(session.engine.value, 42.0);
}

TEST(ConstantRelease, ReleasesTheWorkingCopyToo)
{
    ProgramFolder folder;
    folder.Write("constant", kFive);
    KeySession session;
    StartOn(session, folder);
    session.constants.workValues = static_cast<double*>(std::malloc(5 * sizeof(double)));
    ReleaseConstants(session.constants);
    EXPECT_EQ(session.constants.count, 0);
    EXPECT_EQ(session.constants.names, nullptr);
    EXPECT_EQ(session.constants.values, nullptr);
    EXPECT_EQ(session.constants.workValues, nullptr);
}

}  // namespace
