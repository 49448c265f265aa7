// The constants and currency files that ship beside the program: they load
// whole, respect the name limits, and are exactly what a save writes back.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "resources/resource.h"
#include "tests/constants/list_files.h"

namespace {

std::filesystem::path SamplesFolder()
{
    const char* data = std::getenv("VELA_TEST_DATA");  // <source>/tests/data
    std::filesystem::path root = data != nullptr ? std::filesystem::path(data).parent_path().parent_path()
                                                 : std::filesystem::path(".");
    return root / "samples";
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The files use the Windows line end; a native save writes LF after the
// comments, which keep their own.
std::string WithoutCr(std::string text)
{
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

TEST(SampleFiles, UseCrLfAndWindows1251)
{
    for (const char* name : {"constant.txt", "currency.txt"}) {
        const std::string bytes = ReadFile(SamplesFolder() / name);
        ASSERT_FALSE(bytes.empty()) << name;
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " byte " << i;
            }
        }
        // No UTF-8: the Cyrillic letters are single bytes 0xC0..0xFF (and Ё, ё).
        EXPECT_EQ(bytes.find("\xD0\x9A"), std::string::npos) << name;
    }
}

TEST(SampleFiles, LoadWholeAndSaveBackUnchanged)
{
    const struct {
        const char* file;
        const RecordFileKind* kind;
        int records;
    } cases[] = {
        {"constant", &kConstantsKind, 26},
        {"currency", &kCurrencyKind, 6},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        const std::string original = ReadFile(SamplesFolder() / (std::string(c.file) + ".txt"));
        folder.Write(c.file, original);

        char16_t** names = nullptr;
        double* values = nullptr;
        int header[kRecordMaxHeader] = {};
        const int count = LoadRecordList(folder.folder(), c.kind->fileName, *c.kind, header, &names, &values);
        ASSERT_EQ(count, c.records) << c.file;
        for (int k = 0; k < c.kind->headerCount; ++k) {
            EXPECT_GE(header[k], 0) << c.file;
            EXPECT_LT(header[k], count) << c.file;
        }
        // No name was cut on the way in: each is shorter than the limit allows.
        const std::string text = WithoutCr(original);
        for (int i = 0; i < count; ++i) {
            char encoded[64];
            const size_t size = EncodeName(names[i], encoded, sizeof encoded);
            EXPECT_NE(text.find("\n" + std::string(encoded, size) + "="), std::string::npos) << c.file << " " << i;
        }
        ASSERT_TRUE(SaveRecordFile(folder.folder(), c.kind->fileName, *c.kind, header, names, values, count));
        EXPECT_EQ(WithoutCr(folder.Read(c.file)), text) << c.file;
        ReleaseRecordList(&names, &values, nullptr, count);
    }
}

TEST(SampleFiles, MenusAsTheProgramBuildsThem)
{
    ProgramFolder folder;
    folder.Write("constant", ReadFile(SamplesFolder() / "constant.txt"));
    folder.Write("currency", ReadFile(SamplesFolder() / "currency.txt"));
    KeySession session;
    StartOn(session, folder);
    EXPECT_EQ(MenuText(session, kSessionCurrencyMenu, IDM_CURRENCY_QUICK1), "Рубль->Доллар");
    EXPECT_EQ(MenuText(session, kSessionCurrencyMenu, IDM_CURRENCY_QUICK6), "Евро->Доллар");
    EXPECT_EQ(MenuText(session, kSessionConstantsMenu, IDM_CONSTANT_SLOT1), "Скор. света");
    EXPECT_EQ(MenuText(session, kSessionConstantsMenu, IDM_CONSTANT_SLOT6), "Больцман");
    Press(session, "cmd:40042");
    EXPECT_EQ(session.engine.value, 2.997925e8);
    Press(session, "1 0 0 cmd:40024");  // Доллар->Рубль
    EXPECT_EQ(DisplayLine(session), "rd 8025.00");
}

}  // namespace
