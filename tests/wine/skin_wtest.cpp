// Loading the skin at start-up: built-in, missing file, short file.
#include <cstdio>
#include <cstring>

#include "tests/wine/harness.h"
#include "ui/main_window.h"

#include <gtest/gtest.h>

namespace {

class SkinStart : public ::testing::Test {
protected:
    void SetUp() override { DeleteStoredOptions(); }
    void TearDown() override
    {
        if (mainWindowState.mainWindow != nullptr) EndVela(false);
        DeleteStoredOptions();
        if (!skinFile.empty()) DeleteFileW(skinFile.c_str());
    }
    void UseSkinName(const char16_t* name)
    {
        Options options;
        DefaultOptions(options);
        std::memcpy(options.skinName, name, (std::char_traits<char16_t>::length(name) + 1) * 2);
        StoreOptions(HKEY_LOCAL_MACHINE, options);
    }
    void WriteSkinFile(const wchar_t* name, size_t size)
    {
        skinFile = TestFolder() + name + L".skin";
        FILE* file = _wfopen(skinFile.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        for (size_t i = 0; i < size; ++i) std::fputc(i < 48 ? 5 : 0x40, file);  // key map: all action 5
        std::fclose(file);
    }
    std::wstring skinFile;
};

TEST_F(SkinStart, BuiltinSkinWithoutName)
{
    ASSERT_NE(StartVela(), nullptr);
    EXPECT_EQ(WindowTitle(), L"Vela Skin");
    EXPECT_EQ(programSkin.builtinSkin, 1);
    EXPECT_TRUE(recordedBoxes.empty());
    // The display sits right above the 153 rows of the keypad image.
    RECT client;
    GetClientRect(mainWindowState.mainWindow, &client);
    EXPECT_EQ(client.right, 176);
    EXPECT_EQ(mainWindowState.displayBottom, client.bottom - 153);
    EXPECT_NE(programSkin.backColor, 0u);  // sampled from the image at the first paint
}

TEST_F(SkinStart, MissingSkinFileShowsItsMessageAndKeepsTheTitle)
{
    UseSkinName(u"nosuch");
    ASSERT_NE(StartVela(), nullptr);
    ASSERT_EQ(recordedBoxes.size(), 1u);
    EXPECT_EQ(recordedBoxes[0].text, L"Скин не найден");
    EXPECT_EQ(recordedBoxes[0].caption, L"Ошибка");
    EXPECT_EQ(WindowTitle(), L"Vela - nosuch");
    EXPECT_EQ(programSkin.builtinSkin, 1);
}

TEST_F(SkinStart, FiftySixByteSkinFallsBackWhole)
{
    WriteSkinFile(L"short56", 56);
    UseSkinName(u"short56");
    ASSERT_NE(StartVela(), nullptr);
    ASSERT_EQ(recordedBoxes.size(), 1u);
    EXPECT_EQ(recordedBoxes[0].text, L"Загрузка скина");
    EXPECT_EQ(WindowTitle(), L"Vela - short56");
    EXPECT_EQ(programSkin.builtinSkin, 1);
    // The built-in key map came back too: Right 1 adds.
    Keys("2 right 1 3 action");
    EXPECT_EQ(DisplayText(), L"rd 5");
}

}  // namespace
