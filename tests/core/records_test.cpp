// Record files as bytes on disk: what a file loads as, what a save writes,
// and that no failure of the system ever loses the old file.
#include <sys/stat.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/lists/record_file.h"
#include "core/lists/record_list.h"
#include "tests/core/support.h"

namespace {

const RecordFileKind& KindOf(char kind) { return kind == 'c' ? kConstantsKind.file : kCurrencyKind.file; }

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
    const int count = LoadRecordList(folder.folder.c_str(), name, KindOf(kind), header, &names, &values, block);
    std::string described = Describe(count, header, KindOf(kind).headerCount, names, values);
    ReleaseRecordTables(&names, &values, block, count);
    return described;
}

struct LoadRow {
    const char* bytes;
    char kind;
    const char* loaded;
};

const LoadRow kLoadRows[] = {
    {"; rates\r\n2,3,1,9\r\n\r\nUSD=1\nEUR=1.08\r\n;x=5\nRUB=0.011", 'u', "3|1,2,0|USD=1;EUR=1.0800000000000001;RUB=0.010999999999999999"},
    {"", 'u', "0"}, {"; only\n\n\r\n", 'u', "0"}, {"3,2,1\n", 'u', "0"}, {"EUR=1\nUSD=2\n", 'u', "1|0,0,0|USD=2"},
    {"0,-5,99999999999\nA=1\n", 'u', "1|0,-6,2147483646|A=1"}, {"x,,-99999999999\nA=1\n", 'u', "1|0,0,-2147483648|A=1"},
    {"4\nA=1\n", 'c', "1|3,0,0,0,0,0|A=1"},
    {"1\n=5\n==5\na=\nab\na\na=b\na==5\na= 5\na=5xyz\nab\0=5\n", 'u', "4|0,0,0|a=0;a=0;a=5;a=5"},
    {"1\nABCDEFGH=1\n\xC0\xFF\xA8\xB8\x80 z=2\n", 'u', "2|0,0,0|ABCDEF=1;АяЁё\xC2\x80 =2"},
    {"1\nConstantOf15AB=1\n", 'c', "1|0,0,0,0,0,0|ConstantOf15AB=1"},
    {"1\na=0.1000000000000000055511151231257827021181583404541015625\nb=inf\nc=nan\nd=0x10\ne=1e999\nf=-1E-2\n",
     'u', "6|0,0,0|a=0.10000000000000001;b=0;c=0;d=0;e=inf;f=-0.01"},
    {"1\r\r\nA=1\r\r\nB=2\n\rC=3\n", 'u', "3|0,0,0|A=1;B=2;\rC=3"},
    {"1\nA=\r\nB=\r\r\nC=\rx\nD=5\nE=", 'u', "3|0,0,0|B=0;C=0;D=5"},
    {"\r\n\n2,3,1\nA=1\n\x01=5\n", 'u', "2|1,2,0|A=1;\x01=5"},
};

TEST(RecordFiles, BytesLoadAs)
{
    for (const LoadRow& row : kLoadRows) {
        TestFolder folder;
        folder.Write("f.txt", row.bytes);
        EXPECT_EQ(Load(folder, row.kind), row.loaded) << row.bytes;
    }
    TestFolder folder;
    EXPECT_EQ(Load(folder, 'u'), "0");  // no file
    folder.Write("f.txt", std::string("\0\n2,3,1\nab\0=5\nc=1\n", 18));
    EXPECT_EQ(Load(folder, 'u'), "1|1,2,0|c=1");  // a line ends at its NUL byte
    // Lines longer than any buffer are read whole, comments included.
    folder.Write("f.txt", "; " + std::string(70000, 'c') + "\n2,3,1\n" + std::string(300, 'A') + "=7\nB=1");
    EXPECT_EQ(Load(folder, 'u'), "2|1,2,0|AAAAAA=7;B=1");
    // Up to 16 MiB, line end included; a longer line ends the file there.
    const std::string longest = "; " + std::string((16 << 20) - 3, 'c') + "\n";
    folder.Write("f.txt", "1\nA=1\n" + longest + "B=2\n");
    EXPECT_EQ(Load(folder, 'u'), "2|0,0,0|A=1;B=2");
    folder.Write("f.txt", "1\nA=1\n;" + longest + "B=2\n");
    EXPECT_EQ(Load(folder, 'u'), "1|0,0,0|A=1");
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
};

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
};

TEST(RecordFiles, SavesWrite)
{
    for (const SaveRow& row : kSaveRows) {
        TestFolder folder;
        if (row.old != nullptr) folder.Write("f.txt", row.old);
        folder.Write("~tmpcur~.txt", "stale");
        std::vector<char16_t*> names;
        for (const std::u16string& name : row.names) names.push_back(const_cast<char16_t*>(name.c_str()));
        EXPECT_TRUE(SaveRecordFile(folder.folder.c_str(), u"f", KindOf(row.kind), row.header.data(), names.data(),
                                   row.values.data(), static_cast<int>(row.names.size())));
        EXPECT_EQ(folder.Read("f.txt"), row.saved) << (row.old != nullptr ? row.old : "(none)");
        EXPECT_EQ(folder.Read("~tmpcur~.txt"), "(none)");
    }
}

// ---- Injected failures ----------------------------------------------------------

struct Faults {
    int failCallAt = -1;  // 0-based number of the counted call that fails
    int calls = 0;
    const char* what = "";  // "create", "read", "write", "close", "replace", "alloc", "open"
};
Faults faults;
std::u16string grownFile;  // what a faulty open opens instead

bool Fails(const char* what)
{
    if (std::strcmp(faults.what, what) != 0) return false;
    return faults.calls++ == faults.failCallAt;
}

const RecordPlatform& FaultyPlatform()
{
    static RecordPlatform platform = [] {
        RecordPlatform p = SystemRecordPlatform();
        p.openRead = [](const char16_t* path, bool* missing) {
            return SystemRecordPlatform().openRead(Fails("open") ? grownFile.c_str() : path, missing);
        };
        p.createWrite = [](const char16_t* path) {
            return Fails("create") ? nullptr : SystemRecordPlatform().createWrite(path);
        };
        p.read = [](RecordStream* s, char* buffer, size_t size) {
            return Fails("read") ? -1L : SystemRecordPlatform().read(s, buffer, size);
        };
        p.write = [](RecordStream* s, const char* bytes, size_t size) {
            if (!Fails("write")) return SystemRecordPlatform().write(s, bytes, size);
            SystemRecordPlatform().write(s, bytes, size / 2);  // half of it reached the disk
            return false;
        };
        p.close = [](RecordStream* s) {
            const bool ok = SystemRecordPlatform().close(s);
            return !Fails("close") && ok;
        };
        p.replace = [](const char16_t* from, const char16_t* to) {
            return !Fails("replace") && SystemRecordPlatform().replace(from, to);
        };
        p.reallocate = [](void* block, size_t size) {
            return Fails("alloc") ? nullptr : SystemRecordPlatform().reallocate(block, size);
        };
        return p;
    }();
    return platform;
}

struct InstalledFaults {
    InstalledFaults(const char* what, int at)
    {
        faults = Faults{at, 0, what};
        SetRecordPlatform(&FaultyPlatform());
    }
    ~InstalledFaults() { SetRecordPlatform(nullptr); }
};

TEST(RecordFiles, NoFailureOfASaveLosesTheOldFile)
{
    // The comment is longer than a block of reading: it grows a buffer.
    const std::string comment = "; kept" + std::string(20000, '.') + "\n";
    const std::string old = comment + "1,2,3\nUSD=1.000000\nEUR=1.080000\n";
    char16_t a[] = u"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", b[] = u"RUB";
    char16_t* names[] = {a, b};
    const double values[] = {1, 0.011};
    const int header[] = {0, 1, 0};
    const std::string written = comment + "1,2,1\n" + std::string(69, 'A') + "=1.000000\nRUB=0.011000\n";
    for (const char* what : {"create", "read", "write", "close", "replace", "alloc"}) {
        for (int at = 0; at < 12; ++at) {
            TestFolder folder;
            folder.Write("f.txt", old);
            bool saved;
            int calls;
            {
                InstalledFaults installed(what, at);
                saved = SaveRecordFile(folder.folder.c_str(), u"f", KindOf('u'), header, names, values, 2);
                calls = faults.calls;
            }
            if (at >= calls) break;  // every such call of this save has failed once
            // The file is the old one whole, or the new one whole, and the
            // result says which (a failed close of the old file is harmless).
            EXPECT_EQ(folder.Read("f.txt"), saved ? written : old) << what << " " << at;
            EXPECT_EQ(folder.Read("~tmpcur~.txt"), "(none)") << what << " " << at;
        }
    }
    TestFolder folder;  // an old file that cannot be read is no file to replace
    mkdir((folder.path / "f.txt").c_str(), 0700);
    EXPECT_FALSE(SaveRecordFile(folder.folder.c_str(), u"f", KindOf('u'), header, names, values, 2));
    folder.Write("~tmpcur~.txt", "1\n");  // nor is the temporary file's own name
    EXPECT_FALSE(SaveRecordFile(folder.folder.c_str(), u"~tmpcur~", KindOf('u'), header, names, values, 2));
    EXPECT_EQ(folder.Read("~tmpcur~.txt"), "1\n");
    EXPECT_TRUE(SaveRecordFile(folder.folder.c_str(), u"~x", KindOf('u'), header, names, values, 2));
}

TEST(RecordFiles, AFailedLoadKeepsWhatWasReadBeforeIt)
{
    TestFolder folder;
    folder.Write("f.txt", "1,2,3\nA=1\nB=2\nC=3\n");
    folder.Write("g.txt", "1,2,3\nA=1\nB=2\nC=3\nD=4\nE=5\n");  // the file grown, or gone, while it loads
    const std::string whole = "3|0,1,2|A=1;B=2;C=3";
    for (const auto& [what, other] : {std::pair{"read", u""}, {"alloc", u""}, {"open", u"g.txt"}, {"open", u"gone.txt"}}) {
        grownFile = folder.folder + other;
        for (int at = 0;; ++at) {
            std::string loaded;
            int calls;
            {
                InstalledFaults installed(what, at);
                loaded = Load(folder, 'u');
                calls = faults.calls;
            }
            if (at >= calls) break;
            // Nothing, or the first records whole: never a list with holes.
            const bool prefix = loaded == "0" || loaded == "1|0,1,2|A=1" ||
                                loaded == "2|0,1,2|A=1;B=2" || loaded == whole;
            EXPECT_TRUE(prefix) << what << " " << at << ": " << loaded;
        }
    }
}

}  // namespace
