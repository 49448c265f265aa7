// The options record in the registry: read once at start, written once at a
// normal end, with the user's key as the fallback.
#include <cstring>

#include "resources/resource.h"
#include "settings/options_registry.h"
#include "tests/wine/harness.h"
#include "ui/main_window.h"

#include <gtest/gtest.h>

namespace {

class OptionsStore : public ::testing::Test {
protected:
    void SetUp() override { DeleteStoredOptions(); }
    void TearDown() override
    {
        if (mainWindowState.mainWindow != nullptr) EndVela(false);
        DeleteStoredOptions();
    }
};

Options Defaults()
{
    Options options;
    DefaultOptions(options);
    std::memcpy(options.constantsFile, u"constant", sizeof u"constant");
    return options;
}

TEST_F(OptionsStore, FirstRunGivesTheDefaults)
{
    ASSERT_NE(StartVela(), nullptr);
    Options defaults = Defaults();
    EXPECT_EQ(std::memcmp(&programOptions, &defaults, sizeof(Options)), 0);
    EXPECT_EQ(WindowTitle(), L"Vela Skin");
}

TEST_F(OptionsStore, StoredRecordIsUsedAtStart)
{
    Options stored = Defaults();
    stored.reprMode = kReprHex;
    stored.angleUnit = kAngleDegree;
    stored.groupDigits = 1;
    stored.precision = 3;
    StoreOptions(HKEY_LOCAL_MACHINE, stored);
    ASSERT_NE(StartVela(), nullptr);
    EXPECT_EQ(DisplayText(), L"H 0");
    EXPECT_TRUE(MenuChecked(IDM_FUNCTIONS_BUTTON, IDM_REPR_HEX));
    EXPECT_FALSE(MenuChecked(IDM_FUNCTIONS_BUTTON, IDM_REPR_DECIMAL));
    EXPECT_TRUE(MenuChecked(IDM_SETTINGS_BUTTON, IDM_ANGLE_DEGREE));
    EXPECT_FALSE(MenuChecked(IDM_SETTINGS_BUTTON, IDM_ANGLE_RADIAN));
    EXPECT_TRUE(MenuChecked(IDM_SETTINGS_BUTTON, IDM_GROUP_DIGITS));
    EXPECT_STREQ(programEngine.fixedFormat, "%.3f");
}

TEST_F(OptionsStore, UserKeyIsReadBeforeMachineKey)
{
    Options machine = Defaults();
    machine.reprMode = kReprHex;
    Options user = Defaults();
    user.reprMode = kReprBinary;
    StoreOptions(HKEY_LOCAL_MACHINE, machine);
    StoreOptions(HKEY_CURRENT_USER, user);
    ASSERT_NE(StartVela(), nullptr);
    EXPECT_EQ(programOptions.reprMode, kReprBinary);
}

TEST_F(OptionsStore, BrokenRecordsGiveDefaults)
{
    uint8_t tooLong[100] = {};
    tooLong[8] = 1;
    StoreOptionsBytes(HKEY_LOCAL_MACHINE, tooLong, sizeof tooLong);
    ASSERT_NE(StartVela(), nullptr);
    EXPECT_EQ(programOptions.reprMode, 0);
    EXPECT_EQ(programOptions.precision, 6);
    EndVela(false);

    Options wild = Defaults();
    wild.reprMode = 77;
    wild.angleUnit = -3;
    wild.fontSize = 99;
    for (char16_t& c : wild.skinName) c = u'x';  // no terminator
    StoreOptions(HKEY_LOCAL_MACHINE, wild);
    ASSERT_NE(StartVela(), nullptr);
    EXPECT_EQ(programOptions.reprMode, 0);
    EXPECT_EQ(programOptions.angleUnit, 0);
    EXPECT_EQ(programOptions.fontSize, 2);
    EXPECT_EQ(programOptions.skinName[15], 0);
}

TEST_F(OptionsStore, EmptyConstantsFileLoadsAsConstant)
{
    Options stored = Defaults();
    std::memset(stored.constantsFile, 0, sizeof stored.constantsFile);
    StoreOptions(HKEY_LOCAL_MACHINE, stored);
    ASSERT_NE(StartVela(), nullptr);
    EXPECT_EQ(Widen(programOptions.constantsFile), L"constant");
}

TEST_F(OptionsStore, ExitSavesTheRecordAndTheNextStartRestoresIt)
{
    ASSERT_NE(StartVela(), nullptr);
    Command(IDM_REPR_BINARY);
    Command(IDM_ANGLE_GRAD);
    Command(IDM_GROUP_DIGITS);
    Options before;
    EXPECT_FALSE(ReadStoredOptions(HKEY_LOCAL_MACHINE, before));  // nothing is saved while running
    Command(IDM_EXIT);
    EXPECT_FALSE(IsWindow(mainWindowState.mainWindow));
    EndVela(true);

    Options saved;
    DWORD size = 0;
    ASSERT_TRUE(ReadStoredOptions(HKEY_LOCAL_MACHINE, saved, &size));
    EXPECT_EQ(size, 88u);
    EXPECT_EQ(saved.reprMode, kReprBinary);
    EXPECT_EQ(saved.angleUnit, kAngleGrad);
    EXPECT_EQ(saved.groupDigits, 1);
    EXPECT_EQ(Widen(saved.constantsFile), L"constant");

    ASSERT_NE(StartVela(), nullptr);
    EXPECT_EQ(DisplayText(), L"B 0");
    EXPECT_TRUE(MenuChecked(IDM_FUNCTIONS_BUTTON, IDM_REPR_BINARY));
    EXPECT_TRUE(MenuChecked(IDM_SETTINGS_BUTTON, IDM_ANGLE_GRAD));
    EXPECT_TRUE(MenuChecked(IDM_SETTINGS_BUTTON, IDM_GROUP_DIGITS));
}

TEST_F(OptionsStore, SavingKeepsAnExistingUserRecordCurrent)
{
    Options user = Defaults();
    user.reprMode = kReprHex;
    StoreOptions(HKEY_CURRENT_USER, user);
    ASSERT_NE(StartVela(), nullptr);
    Command(IDM_REPR_EXPONENT);
    Command(IDM_EXIT);
    EndVela(true);
    Options machine, current;
    ASSERT_TRUE(ReadStoredOptions(HKEY_LOCAL_MACHINE, machine));
    ASSERT_TRUE(ReadStoredOptions(HKEY_CURRENT_USER, current));
    EXPECT_EQ(machine.reprMode, kReprExponent);
    EXPECT_EQ(current.reprMode, kReprExponent);
}

// Keys that cannot be written stand in for a machine key without rights.
const HKEY kUnwritable = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7654321));

TEST_F(OptionsStore, FallsBackToTheUserKeySilently)
{
    recordedBoxes.clear();
    Options options = Defaults();
    options.precision = 9;
    const HKEY roots[] = {kUnwritable, HKEY_CURRENT_USER};
    EXPECT_EQ(SaveOptionsTo(options, roots, 2), HKEY_CURRENT_USER);
    EXPECT_TRUE(recordedBoxes.empty());
    Options saved;
    ASSERT_TRUE(ReadStoredOptions(HKEY_CURRENT_USER, saved));
    EXPECT_EQ(saved.precision, 9);
}

TEST_F(OptionsStore, ErrorMessageOnlyWhenNoKeyCanBeWritten)
{
    recordedBoxes.clear();
    Options options = Defaults();
    const HKEY roots[] = {kUnwritable, kUnwritable};
    EXPECT_EQ(SaveOptionsTo(options, roots, 2), nullptr);
    ASSERT_EQ(recordedBoxes.size(), 1u);
    EXPECT_EQ(recordedBoxes[0].text, L"Ошибка записи в Registry");
    EXPECT_EQ(recordedBoxes[0].caption, L"Ошибка");
}

}  // namespace
