// Reading, loading and rewriting record files on disk, with injected failures.
#include "records/record_file.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// ---- Injected failures -----------------------------------------------------

struct Faults {
    bool failCreate = false;
    int failWriteAt = -1;  // 0-based number of the write call that fails
    int writes = 0;
    bool failClose = false;
    bool failReplace = false;
    int failReadAt = -1;   // 0-based number of the byte read that fails
    int reads = 0;
    size_t failAllocSize = 0;  // allocations of exactly this many bytes fail
};
Faults faults;

RecordStream* FaultyCreate(const char16_t* path)
{
    return faults.failCreate ? nullptr : SystemRecordPlatform().createWrite(path);
}
int FaultyReadByte(RecordStream* s)
{
    if (faults.reads++ == faults.failReadAt) return kRecordByteError;
    return SystemRecordPlatform().readByte(s);
}
bool FaultyWrite(RecordStream* s, const char* bytes, size_t size)
{
    if (faults.writes++ == faults.failWriteAt) {
        // Half of it got out, as a full disk would do.
        SystemRecordPlatform().write(s, bytes, size / 2);
        return false;
    }
    return SystemRecordPlatform().write(s, bytes, size);
}
bool FaultyClose(RecordStream* s)
{
    const bool ok = SystemRecordPlatform().close(s);
    return ok && !faults.failClose;
}
bool FaultyReplace(const char16_t* from, const char16_t* to)
{
    return !faults.failReplace && SystemRecordPlatform().replace(from, to);
}
void* FaultyReallocate(void* block, size_t size)
{
    if (size == faults.failAllocSize) return nullptr;
    return SystemRecordPlatform().reallocate(block, size);
}

const RecordPlatform& FaultyPlatform()
{
    static RecordPlatform platform = [] {
        RecordPlatform p = SystemRecordPlatform();
        p.createWrite = FaultyCreate;
        p.readByte = FaultyReadByte;
        p.write = FaultyWrite;
        p.close = FaultyClose;
        p.replace = FaultyReplace;
        p.reallocate = FaultyReallocate;
        return p;
    }();
    return platform;
}

std::u16string Widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

struct List {
    int count = 0;
    std::vector<std::u16string> names;
    std::vector<double> values;
    int header[6] = {-7, -7, -7, -7, -7, -7};
};

class RecordFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vela-records-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        folder = Widen(dir + "/");
        faults = Faults{};
        SetRecordPlatform(&FaultyPlatform());
    }
    void TearDown() override
    {
        SetRecordPlatform(nullptr);
        std::filesystem::remove_all(dir);
    }

    std::string PathOf(const std::string& name) const { return dir + "/" + name + ".txt"; }
    void Put(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }
    std::string Get(const std::string& name) const
    {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(PathOf(name)); }

    List Load(const std::string& name, const RecordFileKind& kind) const
    {
        List list;
        char16_t** names = nullptr;
        double* values = nullptr;
        list.count = LoadRecordList(folder.c_str(), Widen(name).c_str(), kind, list.header, &names, &values);
        for (int i = 0; i < list.count; ++i) {
            list.names.emplace_back(names[i]);
            list.values.push_back(values[i]);
        }
        ReleaseRecordList(&names, &values, nullptr, list.count);
        return list;
    }

    bool Save(const std::string& name, const RecordFileKind& kind, const std::vector<std::u16string>& names,
              const std::vector<double>& values, const std::vector<int>& header) const
    {
        std::vector<char16_t*> table;
        for (const std::u16string& n : names) table.push_back(const_cast<char16_t*>(n.c_str()));
        return SaveRecordFile(folder.c_str(), Widen(name).c_str(), kind, header.data(), table.data(),
                              values.data(), static_cast<int>(names.size()));
    }

    struct Line {
        int result;
        std::string text;
    };
    std::vector<Line> ReadLines(const std::string& name) const
    {
        std::vector<Line> lines;
        RecordStream* file = OpenRecordFile(folder.c_str(), Widen(name).c_str(), kRecordRead);
        if (file == nullptr) return lines;
        RecordLine line{};
        for (;;) {
            const int result = ReadRecordLine(file, line);
            if (result == kRecordLineEndOfFile) break;
            lines.push_back({result, std::string(line.text, line.size)});
        }
        ReleaseRecordLine(line);
        CloseRecordFile(file);
        return lines;
    }

    std::string dir;
    std::u16string folder;
};

// ---- Paths -------------------------------------------------------------------

TEST_F(RecordFiles, PathIsFolderNameAndTxt)
{
    char16_t* path = RecordFilePath(u"/prog/", u"currency");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(std::u16string(path), u"/prog/currency.txt");
    std::free(path);
    faults.failAllocSize = sizeof(char16_t) * (std::char_traits<char16_t>::length(u"/prog/currency.txt") + 1);
    EXPECT_EQ(RecordFilePath(u"/prog/", u"currency"), nullptr);
}

TEST_F(RecordFiles, NonAsciiFileNamesReachTheDisk)
{
    Put("Константы", "1\n\xEF\xE8=3\n");  // a UTF-8 file name on this disk
    EXPECT_EQ(LoadRecordFile(folder.c_str(), u"Константы", kConstantsKind, true, nullptr, nullptr, nullptr, 0), 1);
    ASSERT_TRUE(SaveRecordFile(folder.c_str(), u"Константы", kConstantsKind, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(Get("Константы"), "1,1,1,1,1,1\n");
}

TEST_F(RecordFiles, OpenReportsAMissingFile)
{
    bool missing = false;
    EXPECT_EQ(OpenRecordFile(folder.c_str(), u"nothing", kRecordRead, &missing), nullptr);
    EXPECT_TRUE(missing);
    std::filesystem::create_directory(PathOf("folder"));
    RecordStream* file = OpenRecordFile(folder.c_str(), u"folder", kRecordRead, &missing);
    if (file != nullptr) CloseRecordFile(file);
    EXPECT_FALSE(missing);
}

// ---- Lines -------------------------------------------------------------------

TEST_F(RecordFiles, LineKindsAndLineEnds)
{
    Put("f", "; c\r\n\r\n\n3,1\r\npi=3.14\nx\n\r\r\nab\r;not a comment\n;tail");
    const std::vector<Line> lines = ReadLines("f");
    const Line expected[] = {
        {-2, "; c\r\n"}, {0, ""}, {0, ""}, {3, "3,1"}, {7, "pi=3.14"}, {1, "x"},
        {1, "\r"},  // CR CR LF: only two line-end bytes go
        {17, "ab\r;not a comment"},  // a lone CR does not end a line
        {-2, ";tail"},
    };
    ASSERT_EQ(lines.size(), std::size(expected));
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].result, expected[i].result) << i;
        EXPECT_EQ(lines[i].text, expected[i].text) << i;
    }
}

TEST_F(RecordFiles, LongLinesAreReadWhole)
{
    const std::string comment = ";" + std::string(199, 'c') + "\r\n";
    const std::string record = "v=" + std::string(300, '1') + "\n";
    Put("f", comment + record);
    const std::vector<Line> lines = ReadLines("f");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].result, kRecordLineComment);
    EXPECT_EQ(lines[0].text, comment);
    EXPECT_EQ(lines[1].result, 302);
}

TEST_F(RecordFiles, ALineEndsForParsingAtANulByte)
{
    Put("f", std::string("ab\0cd=1\n", 8) + std::string("\0x=1\r\n", 6));
    const std::vector<Line> lines = ReadLines("f");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].result, 2);
    EXPECT_EQ(lines[0].text, "ab");
    EXPECT_EQ(lines[1].result, 0);
}

TEST_F(RecordFiles, AReadErrorEndsReadingAndIsFlagged)
{
    Put("f", "1,2\nab=1\n");
    RecordStream* file = OpenRecordFile(folder.c_str(), u"f", kRecordRead);
    ASSERT_NE(file, nullptr);
    faults.failReadAt = 6;
    RecordLine line{};
    EXPECT_EQ(ReadRecordLine(file, line), 3);
    EXPECT_FALSE(line.failed);
    EXPECT_EQ(ReadRecordLine(file, line), kRecordLineEndOfFile);
    EXPECT_TRUE(line.failed);
    ReleaseRecordLine(line);
    CloseRecordFile(file);
}

// ---- Loading -----------------------------------------------------------------

TEST_F(RecordFiles, LoadsHeaderNamesAndValuesInFileOrder)
{
    Put("currency", "; rates\n2,3,1\nUSD=1\r\n=5\nbad\nEUR=1.08 (May)\n; late\n\nRUB=0.011\n");
    const List list = Load("currency", kCurrencyKind);
    ASSERT_EQ(list.count, 3);
    EXPECT_EQ(list.names, (std::vector<std::u16string>{u"USD", u"EUR", u"RUB"}));
    EXPECT_EQ(list.values, (std::vector<double>{1.0, 1.08, 0.011}));
    EXPECT_EQ(list.header[0], 1);
    EXPECT_EQ(list.header[1], 2);
    EXPECT_EQ(list.header[2], 0);
    EXPECT_EQ(list.header[3], -7) << "only the kind's three indices are written";
}

TEST_F(RecordFiles, CrLfAndLfFilesLoadAlike)
{
    Put("lf", "1,2\nпи=3.5\nЁж=2\n");
    Put("crlf", "1,2\r\nпи=3.5\r\nЁж=2\r\n");
    const List lf = Load("lf", kConstantsKind);
    const List crlf = Load("crlf", kConstantsKind);
    ASSERT_EQ(lf.count, 2);
    EXPECT_EQ(lf.names, crlf.names);
    EXPECT_EQ(lf.values, crlf.values);
}

TEST_F(RecordFiles, FilesWithoutAHeaderLoadAsMinusOne)
{
    Put("empty", "");
    Put("comments", "; one\n\n;two\r\n\r\n");
    EXPECT_EQ(Load("empty", kCurrencyKind).count, -1);
    EXPECT_EQ(Load("comments", kCurrencyKind).count, -1);
    EXPECT_EQ(Load("missing", kCurrencyKind).count, -1);
}

TEST_F(RecordFiles, AHeaderWithoutRecordsLoadsAsZeroAndKeepsTheIndices)
{
    Put("f", "; c\n1,2,3\n\n");
    const List list = Load("f", kCurrencyKind);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.header[0], -7);
}

TEST_F(RecordFiles, TheFirstRecordIsTakenAsTheHeader)
{
    Put("currency", "USD=1\nEUR=2\nRUB=3\n");
    const List list = Load("currency", kCurrencyKind);
    ASSERT_EQ(list.count, 2);
    EXPECT_EQ(list.names[0], u"EUR");
    EXPECT_EQ(list.header[0], 0);
    EXPECT_EQ(list.header[1], 0);
    EXPECT_EQ(list.header[2], 0);
}

TEST_F(RecordFiles, CountingPassCountsAndLeavesTheIndicesAlone)
{
    Put("f", "4,5\na=1\nb=2\nnot one\nc=3\n");
    int header[3] = {9, 9, 9};
    EXPECT_EQ(LoadRecordFile(folder.c_str(), u"f", kCurrencyKind, true, header, nullptr, nullptr, 0), 3);
    EXPECT_EQ(header[0], 9);
}

TEST_F(RecordFiles, FillingPassStopsAtTheCapacity)
{
    Put("f", "1\na=1\nb=2\nc=3\n");  // grew since it was counted as 2
    int header[3];
    char16_t* names[3] = {nullptr, nullptr, nullptr};
    double values[3] = {0, 0, -1};
    EXPECT_EQ(LoadRecordFile(folder.c_str(), u"f", kCurrencyKind, false, header, names, values, 2), 2);
    EXPECT_EQ(names[2], nullptr);
    EXPECT_EQ(values[2], -1);
    std::free(names[0]);
    std::free(names[1]);
}

TEST_F(RecordFiles, RunningOutOfMemoryForANameShortensTheList)
{
    Put("f", "1\naa=1\nbbb=2\ncccc=3\n");
    faults.failAllocSize = 4 * sizeof(char16_t);  // "bbb" and its terminator
    const List list = Load("f", kCurrencyKind);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.names[0], u"aa");

    int header[3];
    char16_t* names[3] = {nullptr, reinterpret_cast<char16_t*>(1), nullptr};
    double values[3];
    EXPECT_EQ(LoadRecordFile(folder.c_str(), u"f", kCurrencyKind, false, header, names, values, 3), 1);
    EXPECT_EQ(names[1], nullptr);
    std::free(names[0]);
}

TEST_F(RecordFiles, NoMemoryForTheTablesLoadsNothing)
{
    Put("f", "1\naa=1\nbbb=2\ncccc=3\n");
    faults.failAllocSize = 3 * sizeof(double);
    EXPECT_EQ(Load("f", kCurrencyKind).count, -1);
}

// ---- Saving ------------------------------------------------------------------

TEST_F(RecordFiles, SaveKeepsTheHeadCommentsAndRewritesTheRest)
{
    Put("currency", "; top\n\n;second\r\n5,5,5\n; between\n\nUSD=1\n; after first\nEUR=2\n");
    ASSERT_TRUE(Save("currency", kCurrencyKind, {u"A", u"Б"}, {1.5, 0.0000001}, {0, 1, 2}));
    EXPECT_EQ(Get("currency"), "; top\n;second\r\n1,2,3\n; between\nA=1.500000\n\xC1=0.000000\n");
    EXPECT_FALSE(Exists("~tmpcur~"));
}

TEST_F(RecordFiles, SaveIntoAMissingFileCreatesIt)
{
    ASSERT_TRUE(Save("constant", kConstantsKind, {u"pi", u"e"}, {3.14159265, 2.718281828}, {1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Get("constant"), "2,1,1,1,1,2\npi=3.141593e+00\ne=2.718282e+00\n");
    EXPECT_FALSE(Exists("~tmpcur~"));
}

TEST_F(RecordFiles, SaveIntoAnEmptyOrCommentOnlyFile)
{
    Put("empty", "");
    Put("comment", "\n; no line end");
    ASSERT_TRUE(Save("empty", kCurrencyKind, {u"X"}, {2}, {0, 0, 0}));
    ASSERT_TRUE(Save("comment", kCurrencyKind, {u"X"}, {2}, {0, 0, 0}));
    EXPECT_EQ(Get("empty"), "1,1,1\nX=2.000000\n");
    EXPECT_EQ(Get("comment"), "; no line end\n1,1,1\nX=2.000000\n");
}

TEST_F(RecordFiles, ALastCommentWithoutLineEndDoesNotSwallowARecord)
{
    Put("currency", "1,2\n; tail");
    ASSERT_TRUE(Save("currency", kCurrencyKind, {u"A", u"B"}, {1, 2}, {0, 1, 0}));
    EXPECT_EQ(Get("currency"), "1,2,1\n; tail\nA=1.000000\nB=2.000000\n");
    EXPECT_EQ(Load("currency", kCurrencyKind).count, 2);
}

TEST_F(RecordFiles, ALongCommentSurvivesARewrite)
{
    const std::string comment = "; " + std::string(500, 'x') + "\n";
    Put("currency", comment + "1,2\nUSD=1\n");
    ASSERT_TRUE(Save("currency", kCurrencyKind, {u"USD", u"EUR"}, {1, 2}, {0, 1, 0}));
    EXPECT_EQ(Get("currency"), comment + "1,2,1\nUSD=1.000000\nEUR=2.000000\n");
    EXPECT_EQ(Load("currency", kCurrencyKind).count, 2);
}

TEST_F(RecordFiles, HeaderIndicesAreWrittenOneBased)
{
    ASSERT_TRUE(Save("f", kCurrencyKind, {}, {}, {-5, 0, 2147483646}));
    EXPECT_EQ(Get("f"), "-4,1,2147483647\n");
    EXPECT_EQ(Load("f", kCurrencyKind).count, 0);
}

TEST_F(RecordFiles, CyrillicNamesWithYoRoundTripThroughTheFile)
{
    const std::vector<std::u16string> names = {u"Ёмкость ёж", u"Постоянная", u"ЁЁЁЁЁЁЁёёёёёёё"};
    ASSERT_TRUE(Save("constant", kConstantsKind, names, {1, 2, 3}, {0, 1, 2, 0, 0, 0}));
    const std::string bytes = Get("constant");
    EXPECT_NE(bytes.find("\xA8\xEC\xEA\xEE\xF1\xF2\xFC \xB8\xE6="), std::string::npos);
    const List list = Load("constant", kConstantsKind);
    EXPECT_EQ(list.names, names);
}

TEST_F(RecordFiles, SaveAndLoadGiveTheSameList)
{
    Put("constant", "; my constants\n1\nold=1\n");
    const std::vector<std::u16string> names = {u"c", u"h", u"Na", u"g"};
    const std::vector<double> values = {299792458, 6.62607015e-34, 6.02214076e23, -9.80665};
    ASSERT_TRUE(Save("constant", kConstantsKind, names, values, {3, 2, 1, 0, 3, 3}));
    const List list = Load("constant", kConstantsKind);
    ASSERT_EQ(list.count, 4);
    EXPECT_EQ(list.names, names);
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(list.values[i], values[i], std::fabs(values[i]) * 1e-6);
    EXPECT_EQ(list.header[0], 3);
    EXPECT_EQ(list.header[5], 3);
}

TEST_F(RecordFiles, LargeValuesAreWrittenInAFormThatFitsAndReadsBack)
{
    const std::vector<double> values = {1e143, 1e144, -1e143, DBL_MAX, -DBL_MAX, 123456.5};
    const std::vector<std::u16string> names(values.size(), u"ABCDEF");
    ASSERT_TRUE(Save("currency", kCurrencyKind, names, values, {0, 1, 2}));
    const std::string bytes = Get("currency");
    size_t start = bytes.find('\n') + 1;
    std::vector<std::string> lines;
    while (start < bytes.size()) {
        const size_t end = bytes.find('\n', start);
        lines.push_back(bytes.substr(start, end - start + 1));
        start = end + 1;
    }
    ASSERT_EQ(lines.size(), values.size());
    for (const std::string& line : lines) EXPECT_LE(line.size(), kRecordLineLimit) << line;
    EXPECT_EQ(lines[0].size(), 159u) << "1e143 still fits with six decimals";
    EXPECT_NE(lines[0].find(".000000\n"), std::string::npos);
    EXPECT_EQ(lines[1], "ABCDEF=1.000000e+144\n");
    EXPECT_EQ(lines[5], "ABCDEF=123456.500000\n");
    const List list = Load("currency", kCurrencyKind);
    EXPECT_EQ(list.values, values);
}

TEST_F(RecordFiles, InfinitiesReadBackAsTheSameInfinity)
{
    ASSERT_TRUE(Save("currency", kCurrencyKind, {u"a", u"b"}, {HUGE_VAL, -HUGE_VAL}, {0, 1, 0}));
    const List list = Load("currency", kCurrencyKind);
    ASSERT_EQ(list.count, 2);
    EXPECT_EQ(list.values[0], HUGE_VAL);
    EXPECT_EQ(list.values[1], -HUGE_VAL);
}

TEST_F(RecordFiles, AStaleTemporaryFileIsOverwritten)
{
    Put("~tmpcur~", "garbage from an earlier run\n");
    ASSERT_TRUE(Save("f", kCurrencyKind, {u"a"}, {1}, {0, 0, 0}));
    EXPECT_EQ(Get("f"), "1,1,1\na=1.000000\n");
    EXPECT_FALSE(Exists("~tmpcur~"));
}

TEST_F(RecordFiles, TheTemporaryNameCannotBeSavedInto)
{
    Put("~tmpcur~", "1\n");
    EXPECT_FALSE(Save("~tmpcur~", kCurrencyKind, {u"a"}, {1}, {0, 0, 0}));
    EXPECT_EQ(Get("~tmpcur~"), "1\n");
}

// Every way a rewrite can fail leaves the old file byte for byte and no
// temporary file behind.
constexpr char kOld[] = "; keep me\r\n2,1,3\r\nUSD=1.000000\r\nEUR=1.080000\r\n; end";

struct FailureCase {
    const char* what;
    void (*arm)();
};

TEST_F(RecordFiles, AFailedRewriteLeavesTheOldFileAsItWas)
{
    const FailureCase cases[] = {
        {"create", [] { faults.failCreate = true; }},
        {"close", [] { faults.failClose = true; }},
        {"replace", [] { faults.failReplace = true; }},
        {"read", [] { faults.failReadAt = 4; }},
        {"memory for the temporary path", nullptr},
    };
    for (const FailureCase& c : cases) {
        Put("currency", kOld);
        faults = Faults{};
        if (c.arm != nullptr) c.arm();
        else faults.failAllocSize = sizeof(char16_t) * (folder.size() + std::size(u"~tmpcur~.txt"));
        EXPECT_FALSE(Save("currency", kCurrencyKind, {u"RUB"}, {0.011}, {0, 0, 0})) << c.what;
        EXPECT_EQ(Get("currency"), kOld) << c.what;
        EXPECT_FALSE(Exists("~tmpcur~")) << c.what;
    }
}

TEST_F(RecordFiles, AFailedWriteAnywhereLeavesTheOldFileAsItWas)
{
    const std::vector<std::u16string> names = {u"RUB", u"USD", u"EUR"};
    const std::vector<double> values = {0.011, 1, 1.08};
    Put("currency", kOld);
    faults = Faults{};
    ASSERT_TRUE(Save("currency", kCurrencyKind, names, values, {0, 1, 2}));
    const int writes = faults.writes;
    ASSERT_GT(writes, 5);
    for (int at = 0; at < writes; ++at) {
        Put("currency", kOld);
        faults = Faults{};
        faults.failWriteAt = at;
        EXPECT_FALSE(Save("currency", kCurrencyKind, names, values, {0, 1, 2})) << "write " << at;
        EXPECT_EQ(Get("currency"), kOld) << "write " << at;
        EXPECT_FALSE(Exists("~tmpcur~")) << "write " << at;
    }
}

TEST_F(RecordFiles, AnUnreadableOldFileIsNotReplaced)
{
    std::filesystem::create_directory(PathOf("currency"));
    EXPECT_FALSE(Save("currency", kCurrencyKind, {u"a"}, {1}, {0, 0, 0}));
    EXPECT_TRUE(std::filesystem::is_directory(PathOf("currency")));
    EXPECT_FALSE(Exists("~tmpcur~"));
}

// ---- Releasing ---------------------------------------------------------------

TEST_F(RecordFiles, ReleaseClearsWhatItReleases)
{
    char16_t** names = static_cast<char16_t**>(std::malloc(2 * sizeof(char16_t*)));
    names[0] = CopyRecordName(u"a", 6);
    names[1] = nullptr;
    double* values = static_cast<double*>(std::malloc(2 * sizeof(double)));
    double* work = static_cast<double*>(std::malloc(2 * sizeof(double)));
    ReleaseRecordList(&names, &values, &work, 2);
    EXPECT_EQ(names, nullptr);
    EXPECT_EQ(values, nullptr);
    EXPECT_EQ(work, nullptr);
    ReleaseRecordList(&names, &values, nullptr, 5);  // already released, no working copy
    ReleaseRecordList(nullptr, nullptr, nullptr, 0);
}

}  // namespace
