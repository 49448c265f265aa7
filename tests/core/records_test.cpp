// Record files as bytes on disk: what a file loads as, what a save writes,
// and that no failure of the system ever loses the old file.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/lists/record_file.h"
#include "core/lists/record_list.h"
#include "tests/core/support.h"

namespace {

const RecordFileKind& KindOf(char kind) { return kind == 'c' ? kConstantsKind.file : kCurrencyKind.file; }

// "" when nothing failed, else " " and why.
std::string Why(const RecordFileError& error)
{
    if (error.fault == kRecordNoFault) return "";
    return std::string(" ") + FaultName(error.fault) + (error.line > 0 ? " at " + std::to_string(error.line) : "");
}

// "count|header|name=value;..." with names in UTF-8 and values as "%.17g".
std::string Describe(int count, const int* header, int headerCount, char16_t** names, const double* values)
{
    std::string out = std::to_string(count);
    if (count <= 0) return out;
    out += '|';
    for (int k = 0; k < headerCount; ++k) out += (k > 0 ? "," : "") + std::to_string(header[k]);
    out += '|';
    for (int i = 0; i < count; ++i) {
        if (i > 0) out += ';';
        AppendUtf8(out, names[i]);
        out += '=' + ValueText(values[i]);
    }
    return out;
}

std::string Load(const TestFolder& folder, char kind, const char16_t* name = u"f")
{
    int header[kRecordMaxHeader] = {};
    char16_t** names = nullptr;
    double* values = nullptr;
    NameBlock block;
    RecordFileError error;
    const int count =
        LoadRecordList(folder.folder.c_str(), name, KindOf(kind), header, &names, &values, block, &error);
    std::string described = Describe(count, header, KindOf(kind).headerCount, names, values) + Why(error);
    ReleaseRecordTables(&names, &values, block, count);
    return described;
}

struct LoadRow {
    std::string bytes;  // "-": no file
    char kind;
    const char* loaded;
};

const LoadRow kLoadRows[] = {
    {"; rates\r\n2,3,1,9\r\n\r\nUSD=1\nEUR=1.08\r\n;x=5\nRUB=0.011", 'u', "3|1,2,0|USD=1;EUR=1.0800000000000001;RUB=0.010999999999999999"},
    {"", 'u', "0"}, {"; only\n\n\r\n", 'u', "0"}, {"3,2,1\n", 'u', "0"}, {"EUR=1\nUSD=2\n", 'u', "1|0,0,0|USD=2"},
    {"0,-5,99999999999\nA=1\n", 'u', "1|0,-6,2147483646|A=1"}, {"x,,-99999999999\nA=1\n", 'u', "1|0,0,-2147483648|A=1"},
    {"4\nA=1\n", 'c', "1|3,0,0,0,0,0|A=1"}, {"12,10,19\nA=1\n", 'c', "1|11,9,18,0,0,0|A=1"},
    {"1\n=5\n==5\na=\nab\na\na=b\na==5\na= 5\na=5xyz\nab\0=5\n", 'u', "4|0,0,0|a=0;a=0;a=5;a=5"},
    {"1\nABCDEFGH=1\n\xC0\xFF\xA8\xB8\x80 z=2\n", 'u', "2|0,0,0|ABCDEF=1;АяЁё\xC2\x80 =2"},
    {"1\nConstantOf15AB=1\n", 'c', "1|0,0,0,0,0,0|ConstantOf15AB=1"},
    {"1\na=0.1000000000000000055511151231257827021181583404541015625\nb=inf\nc=nan\nd=0x10\ne=1e999\nf=-1E-2\n",
     'u', "6|0,0,0|a=0.10000000000000001;b=0;c=0;d=0;e=inf;f=-0.01"},
    {"1\r\r\nA=1\r\r\nB=2\n\rC=3\n", 'u', "3|0,0,0|A=1;B=2;\rC=3"},
    {"1\nA=\r\nB=\r\r\nC=\rx\nD=5\nE=", 'u', "3|0,0,0|B=0;C=0;D=5"},
    {"\r\n\n2,3,1\nA=1\n\x01=5\n", 'u', "2|1,2,0|A=1;\x01=5"},
    {"-", 'u', "0"}, {std::string("\0\n2,3,1\nab\0=5\nc=1\n", 18), 'u', "1|1,2,0|c=1"},  // a line ends at its NUL
    // Lines longer than any buffer are read whole, comments included; up to 16 MiB, line end included.
    {"; " + std::string(70000, 'c') + "\n2,3,1\n" + std::string(300, 'A') + "=7\nB=1", 'u', "2|1,2,0|AAAAAA=7;B=1"},
    {"1\nA=1\n; " + std::string((16 << 20) - 3, 'c') + "\nB=2\n", 'u', "2|0,0,0|A=1;B=2"},
    {"1\nA=1\n;; " + std::string((16 << 20) - 3, 'c') + "\nB=2\n", 'u', "0 line too long at 3"},
};

TEST(RecordFiles, BytesLoadAs)
{
    for (const LoadRow& row : kLoadRows) {
        TestFolder folder;
        if (row.bytes != "-") folder.Write("f.txt", row.bytes);
        EXPECT_EQ(Load(folder, row.kind), row.loaded) << row.bytes.substr(0, 80);
    }
    TestFolder folder;
    folder.Write("Курсы.txt", "1\nA=1\n");
    EXPECT_EQ(Load(folder, 'u', u"Курсы"), "1|0,0,0|A=1");
}

struct SaveRow {
    const char* old;  // nullptr: no file yet
    char kind;
    std::vector<int> header;
    std::vector<std::u16string> names;
    std::vector<double> values;
    std::string saved;
    const char* head = nullptr;  // written in place of the old file's comments
    const char* fault = "";      // a refused head: why; the old file stays
};

// A head is whole comment lines, up to the longest line a load reads.
const std::string kLongestHead = ";" + std::string((16 << 20) - 2, 'c') + "\n";
const std::string kTooLongHead = ";" + kLongestHead;
const char kOld[] = "; old\n1\nX=1\n";

const SaveRow kSaveRows[] = {
    {"; top\n;second\r\n3,1,1\n; between\nX=1\n; after\nY=2\n", 'u', {0, 1, 2}, {u"A", u"Б"}, {1.5, 0},
     "; top\n;second\r\n1,2,3\n; between\nA=1.500000\n\xC1=0.000000\n"},
    {nullptr, 'c', {1, 0, 0, 0, 0, 1}, {u"pi", u"e"}, {3.14159265, 2.718281828},
     "2,1,1,1,1,2\npi=3.141593e+00\ne=2.718282e+00\n"},
    {"", 'u', {0, 0, 0}, {u"X"}, {2}, "1,1,1\nX=2.000000\n"},
    {"; no line end", 'u', {0, 0, 0}, {u"X"}, {2}, "; no line end\n1,1,1\nX=2.000000\n"},
    {"1,1,1\n; tail", 'u', {0, 1, 0}, {u"A", u"B"}, {1, 2}, "1,2,1\n; tail\nA=1.000000\nB=2.000000\n"},
    {"1\n", 'u', {-5, 0, INT_MAX - 1}, {}, {}, "-4,1,2147483647\n"},
    {"1\n", 'u', {0, 0, 0}, {u"Ёмкость ёж\u0410\u044F", u"a\u0400b", u"\u0402\u04FF\u2116x"}, {1, 2, 3},
     "1,1,1\n\xA8\xEC\xEA\xEE\xF1\xF2\xFC \xB8\xE6\xC0\xFF=1.000000\na=2.000000\n  \x16x=3.000000\n"},
    // A value whose "%f" text would make the line longer than 159 bytes is
    // written in the shortest exponent form that reads back exactly.
    {"1\n", 'u', {0, 0, 0}, {u"ABCDEF", u"ABCDEF", u"A", u"B", u"C", u"D"},
     {1e143, 1e144, HUGE_VAL, -HUGE_VAL, 0.1, -1.7976931348623157e308},
     "1,1,1\nABCDEF=1000000000000000023745432358651105357408657927828682187473464988670237429542020572568177628216083294"
     "12934596913384011607579341316989008157343744.000000\nABCDEF=1.000000e+144\nA=1e999\nB=-1e999\nC=0.100000\n"
     "D=-1.7976931348623157e+308\n"},
    {"1\n", 'u', {0, 0, 0}, {std::u16string(144, u'N'), std::u16string(144, u'N')}, {12345678.5, 123.25},
     "1,1,1\n" + std::string(144, 'N') + "=1.23456785e+07\n" + std::string(144, 'N') + "=123.250000\n"},
    {"1\n", 'c', {0, 0, 0, 0, 0, 0}, {u"c"}, {299792458}, "1,1,1,1,1,1\nc=2.997925e+08\n"},
    {"1\n", 'u', {0, 0, 0}, {std::u16string(148, u'N')}, {12345.5},  // no shorter exponent form
     "1,1,1\n" + std::string(148, 'N') + "=12345.500000\n"},
    // A head takes the place of every comment of the old file.
    {"; top\n3,1,1\n; between\nX=1\n; after\n", 'u', {0, 1, 2}, {u"A"}, {1}, "; mine\n;\n1,2,3\nA=1.000000\n",
     "; mine\n;\n"},
    {nullptr, 'u', {0, 0, 0}, {u"A"}, {1}, "; new\n1,1,1\nA=1.000000\n", "; new\n"},
    {"; top\n1\nX=1\n", 'c', {0, 0, 0, 0, 0, 0}, {u"A"}, {1}, "1,1,1,1,1,1\nA=1.000000e+00\n", ""},
    {kOld, 'u', {0, 1, 0}, {u"A"}, {1}, kLongestHead + "1,2,1\nA=1.000000\n", kLongestHead.c_str()},
    {kOld, 'u', {}, {}, {}, kOld, "; no line end", " write failed"}, {kOld, 'u', {}, {}, {}, kOld, "1,2,3\n", " write failed"},
    {kOld, 'u', {}, {}, {}, kOld, "; a\n\n", " write failed"}, {kOld, 'u', {}, {}, {}, kOld, "; a\nb=1\n", " write failed"},
    {kOld, 'u', {}, {}, {}, kOld, "\n", " write failed"}, {kOld, 'u', {}, {}, {}, kOld, kTooLongHead.c_str(), " write failed"},
};

TEST(RecordFiles, SavesWrite)
{
    for (const SaveRow& row : kSaveRows) {
        TestFolder folder;
        if (row.old != nullptr) folder.Write("f.txt", row.old);
        if (*row.fault == 0) folder.Write("~tmpcur~.txt", "stale");  // a refused head touches no file
        std::vector<char16_t*> names;
        for (const std::u16string& name : row.names) names.push_back(const_cast<char16_t*>(name.c_str()));
        const int count = static_cast<int>(row.names.size());
        const size_t headSize = row.head != nullptr ? std::strlen(row.head) : 0;
        RecordFileError error;
        const bool saved = SaveRecordFile(folder.folder.c_str(), u"f", KindOf(row.kind), row.header.data(),
                                          names.data(), row.values.data(), count, &error, row.head, headSize);
        const std::string what = row.saved.substr(0, 40);
        EXPECT_EQ(saved, *row.fault == 0) << what;
        EXPECT_EQ(Why(error), row.fault) << what;
        EXPECT_EQ(folder.Read("f.txt"), row.saved) << what;
        EXPECT_EQ(folder.Read("~tmpcur~.txt"), "(none)");
        if (row.old == nullptr || row.head != nullptr) {  // the text of a save that reads no old file
            EXPECT_EQ(RecordFileText(KindOf(row.kind), row.header.data(), names.data(), row.values.data(), count,
                                     row.head, headSize),
                      saved ? row.saved : "") << what;
        }
    }
}

char16_t longName[] = u"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", rub[] = u"RUB";
char16_t* const kNames[] = {longName, rub};
const double kValues[] = {1, 0.011};
const int kHeader[] = {0, 1, 0};

// The list above saved as "f" in `folder`: "saved", or "failed" and why.
std::string SaveTwo(const TestFolder& folder, const char16_t* name = u"f")
{
    RecordFileError error;
    const bool saved = SaveRecordFile(folder.folder.c_str(), name, KindOf('u'), kHeader, kNames, kValues, 2, &error);
    EXPECT_EQ(saved, error.fault == kRecordNoFault);
    return saved ? "saved" : "failed" + Why(error);
}

TEST(RecordFiles, NoFailureOfASaveLosesTheOldFile)
{
    // The comment is longer than a block of reading: it grows a buffer.
    const std::string comment = "; kept" + std::string(20000, '.') + "\n";
    const std::string old = comment + "1,2,3\nUSD=1.000000\nEUR=1.080000\n";
    const std::string written = comment + "1,2,1\n" + std::string(69, 'A') + "=1.000000\nRUB=0.01100000\n";
    const struct {
        const char* what;
        RecordFault told;
        const char* failed;  // the result of every save that failed
    } rows[] = {
        {"create", kRecordNoPermission, "failed no permission"}, {"read", kRecordNoFault, "failed unreadable"},
        {"write", kRecordDiskFull, "failed disk full"}, {"write", kRecordNoFault, "failed write failed"},
        {"close", kRecordTooLarge, "failed too large"}, {"replace", kRecordNoFault, "failed not replaced"},
        {"alloc", kRecordNoFault, "failed no memory"},
    };
    for (const auto& row : rows) {
        for (int at = 0; at < 12; ++at) {
            TestFolder folder;
            folder.Write("f.txt", old);
            std::string result;
            int calls;
            {
                InstalledFaults installed(row.what, at, row.told);
                result = SaveTwo(folder);
                calls = faults.calls;
            }
            if (at >= calls) break;  // every such call of this save has failed once
            // The file is the old one whole, or the new one whole, and the
            // result says which (a failed close of the old file is harmless).
            EXPECT_EQ(folder.Read("f.txt"), result == "saved" ? written : old) << row.what << " " << at;
            if (result != "saved") {
                EXPECT_EQ(result, row.failed) << row.what << " " << at;
            }
            EXPECT_EQ(folder.Read("~tmpcur~.txt"), "(none)") << row.what << " " << at;
        }
    }
}

// What the folder holds when a save runs, and what the save gives. Every row
// starts with f.txt holding "1\nX=1\n" and other.txt "other".
struct FolderRow {
    const char* holds;
    std::function<void(const TestFolder&)> prepare;
    const char* result;
    const char* temporary = "(none)";  // ~tmpcur~.txt afterwards
};

void Link(const TestFolder& folder, const char* to, const char* name)
{
    ASSERT_EQ(symlink(to, (folder.path / name).c_str()), 0);
}

const std::string kSaved = "1,2,1\n" + std::string(69, 'A') + "=1.000000\nRUB=0.01100000\n";

const FolderRow kFolderRows[] = {
    {"a read-only file", [](const TestFolder& f) { chmod((f.path / "f.txt").c_str(), 0444); }, "failed read-only"},
    {"a file with no write bit but the group's",
     [](const TestFolder& f) { chmod((f.path / "f.txt").c_str(), 0464); }, "saved"},
    {"a link to another file at the temporary name", [](const TestFolder& f) { Link(f, "other.txt", "~tmpcur~.txt"); },
     "saved"},
    {"a link to nowhere at the temporary name", [](const TestFolder& f) { Link(f, "gone.txt", "~tmpcur~.txt"); },
     "saved"},
    {"a folder at the temporary name", [](const TestFolder& f) { mkdir((f.path / "~tmpcur~.txt").c_str(), 0700); },
     "failed temporary name taken", "(folder)"},
    {"a folder at the file's name",
     [](const TestFolder& f) {
         unlink((f.path / "f.txt").c_str());
         mkdir((f.path / "f.txt").c_str(), 0700);
     },
     "failed unreadable"},
    {"a comment line too long to read",
     [](const TestFolder& f) { f.Write("f.txt", "; a\n;" + std::string(16 << 20, 'c') + "\n1\nX=1\n"); },
     "failed line too long at 2"},
    {"a file-size limit below the new file's size",
     [](const TestFolder&) {
         const rlimit limit{40, RLIM_INFINITY};
         setrlimit(RLIMIT_FSIZE, &limit);
     },
     "failed too large"},
};

TEST(RecordFiles, WhatTheFolderHoldsNeverLosesAFile)
{
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    // Past the limit a write fails with EFBIG instead of ending the process.
    const sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
    for (const FolderRow& row : kFolderRows) {
        TestFolder folder;
        folder.Write("f.txt", "1\nX=1\n");
        folder.Write("other.txt", "other");
        row.prepare(folder);
        const std::string before = folder.Read("f.txt");
        struct stat old{};
        stat((folder.path / "f.txt").c_str(), &old);
        const std::string result = SaveTwo(folder);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_EQ(result, row.result) << row.holds;
        EXPECT_EQ(folder.Read("f.txt"), result == "saved" ? kSaved : before) << row.holds;
        EXPECT_EQ(folder.Read("other.txt"), "other") << row.holds;
        std::error_code error;
        const bool isFolder = std::filesystem::is_directory(folder.path / "~tmpcur~.txt", error);
        EXPECT_EQ(isFolder ? "(folder)" : folder.Read("~tmpcur~.txt"), row.temporary) << row.holds;
        for (const char* name : {"f.txt", "~tmpcur~.txt"})
            EXPECT_FALSE(std::filesystem::is_symlink(folder.path / name, error)) << row.holds << " " << name;
        struct stat now{};
        stat((folder.path / "f.txt").c_str(), &now);
        if (result != "saved") {
            EXPECT_EQ(now.st_mode, old.st_mode) << row.holds;
        }
    }
    signal(SIGXFSZ, oldHandler);
    TestFolder folder;  // the temporary file's own name is no file to replace
    folder.Write("~tmpcur~.txt", "1\n");
    EXPECT_EQ(SaveTwo(folder, u"~tmpcur~"), "failed not replaced");
    EXPECT_EQ(folder.Read("~tmpcur~.txt"), "1\n");
    EXPECT_EQ(SaveTwo(folder, u"~x"), "saved");
}

TEST(RecordFiles, AFailedLoadGivesNoPartOfTheFile)
{
    TestFolder folder;
    folder.Write("f.txt", "1,2,3\nA=1\nB=2\nC=3\n");
    folder.Write("g.txt", "1,2,3\nA=1\nB=2\nC=3\nD=4\nE=5\n");  // the file grown, or gone, while it loads
    const std::string whole = "3|0,1,2|A=1;B=2;C=3";
    const struct {
        const char* what;
        const char16_t* opened;  // instead of f.txt by the failing open
        int at;
        std::string loaded;
    } rows[] = {
        {"read", u"", 0, "0 unreadable"}, {"read", u"", 3, "0 unreadable"}, {"read", u"", 4, whole},
        {"alloc", u"", 0, "0 no memory"}, {"alloc", u"", 3, "0 no memory"}, {"alloc", u"", 4, whole},
        {"open", u"g.txt", 0, whole}, {"open", u"g.txt", 1, "0 unreadable"}, {"open", u"gone.txt", 0, "0"},
        {"open", u"gone.txt", 1, "0 unreadable"},
    };
    for (const auto& row : rows) {
        grownFile = folder.folder + row.opened;
        InstalledFaults installed(row.what, row.at);
        EXPECT_EQ(Load(folder, 'u'), row.loaded) << row.what << " " << row.at;
    }
}

}  // namespace
