// The constant list and the currency table: what a folder's files give the
// menus and the keys, and what a dialog's steps leave in the file.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/lists/record_list.h"
#include "tests/core/support.h"

namespace {

// Cyrillic names in Windows-1251, as the files hold them.
const char kRub[] = "\xD0\xF3\xE1\xEB\xFC";              // Рубль
const char kUsd[] = "\xC4\xEE\xEB\xEB\xE0\xF0";          // Доллар
const std::string kCurrencies = std::string("; rates\n1,2,3\n") + kRub + "=1\n" + kUsd + "=80.25\nEUR=93.5\n";
const std::string kConstants = "; six of them\n1,2,3,4,5,9\nc=299792458\ng=9.80665\nh=6.62607015e-34\n"
                               "e=1.602176634e-19\nNA=6.02214076e23\n";

struct MenuRow {
    std::string currencies;  // currency.txt; "-": none
    std::string constants;   // constant.txt; "-": none
    const char* keys;
    const char* display;
    const char* menu = nullptr;  // the quick entries, then the six slot items
};

const MenuRow kMenuRows[] = {
    {kCurrencies, kConstants, "1 0 0 cmd:40022", "rd 1.25",
     "Рубль->Доллар|Рубль->EUR|Доллар->Рубль|Доллар->EUR|EUR->Рубль|EUR->Доллар|c|g|h|e|NA|6"},
    {kCurrencies, kConstants, "1 0 0 cmd:40027", "rd 116.51"}, {kCurrencies, kConstants, "1 0 0 act:60", "rd 1.07"},
    {kCurrencies, kConstants, "1 0 0 cmd:40022 5", "rd 5"},
    {kCurrencies, kConstants, "2 right 1 cmd:40042 ok", "rd 299792460"},
    {kCurrencies, kConstants, "act:67 right 1 0 ok", "rd 9.80665"}, {kCurrencies, kConstants, "5 cmd:40047", "rd 5"},
    {kCurrencies, kConstants, "1 0 0 cmd:40022", "H 3.19"},
    {"3,1,2\nA=1\nB=0\nC=2\n", "-", "5 cmd:40025", "rd ERROR", "C->A|C->B|A->C|A->B|B->C|B->A|1|2|3|4|5|6"},
    {"2,1,9\nA=1\nB=2\n", "-", "1 0 0 cmd:40022", "rd 200.00", "B->A|A->B|1|2|3|4|5|6"},
    {"9,2\nA=1\nB=2\n", "-", "3 cmd:40022", "rd 1.50", "A->B|B->A|1|2|3|4|5|6"},
    {"1,1,1\nA=1\nB=2\n", "-", "3 cmd:40022", "rd 3.00", "1|2|3|4|5|6"},
    {"1,1,2\nA=1\nB=2\nC=4\n", "-", "3 cmd:40023", "rd 6.00", "A->B|B->A|1|2|3|4|5|6"},
    {"1\nA=1\n", "-", "3 cmd:40022", "rd 3.00", "1|2|3|4|5|6"},
    {"1,2\nA=1e-30\nB=1e10\n", "-", "1 cmd:40023", "rd 1.000000e+40", "A->B|B->A|1|2|3|4|5|6"},
    {"1,2\nA=1\nB=2e38\n", "-", "1 cmd:40023", "rd 2.000000e+38"},
    {"-", "2,-3\nc=3\nLongConstantName=1\n", "5 cmd:40043", "rd 5", "LongConstantNa|2|c|c|c|c"},
    {"-", "; empty\n", "7 cmd:40042", "rd 7", "1|2|3|4|5|6"},
    {"-", "1,2\nOnly=7\n", "cmd:40042", "rd 7", "Only|2|Only|Only|Only|Only"},
    // Key actions 59 to 64 and 66 to 71 reach the six entries of each menu.
    {"1,2,3\nA=1\nB=2\nC=4\n", "1,2,3,4,5,6\na=1\nb=10\nc=100\nd=1000\ne=10000\nf=100000\n",
     "act:66 right 1 act:67 right 1 act:68 right 1 act:69 right 1 act:70 right 1 act:71 ok", "rd 111111"},
    {"1,2,3\nA=1\nB=2\nC=4\n", "-",
     "1 act:59 right 1 1 act:60 right 1 1 act:61 right 1 1 act:62 right 1 1 act:63 right 1 1 act:64 ok", "rd 9.25"},
};

// The menu items as the runner lists them, their texts joined by "|".
std::string MenuTexts(const KeySession& session)
{
    std::string texts;
    const std::string lines = MenuLines(session);
    for (size_t at = 0; at < lines.size();) {
        const size_t end = lines.find('\n', at);
        const int id = std::atoi(lines.substr(at, 5).c_str());
        if ((id >= 40022 && id <= 40027) || (id >= 40042 && id <= 40047))
            texts += (texts.empty() ? "" : "|") + lines.substr(at + 6, end - at - 6);
        at = end + 1;
    }
    return texts;
}

TEST(Lists, FilesGiveTheMenusAndTheKeys)
{
    for (const MenuRow& row : kMenuRows) {
        TestFolder folder;
        if (row.currencies != "-") folder.Write("currency.txt", row.currencies);
        if (row.constants != "-") folder.Write("constant.txt", row.constants);
        KeySession session;
        RunScript(session, row.display[0] == 'H' ? "hex" : "", "", folder.folder.c_str());
        RunKeyScript(session, row.keys);
        EXPECT_EQ(DisplayLine(session), row.display) << row.keys;
        if (row.menu != nullptr) {
            EXPECT_EQ(MenuTexts(session), row.menu) << row.currencies << row.constants;
        }
    }
}

// A dialog's steps on a list, as its controls would make them:
//   +Name=5     add          -2        delete row 2
//   ~1 Name=4   rename row 1 >2 7.5    move to row 2, the field showing 7.5
//   ok 0,2,1 9  Ok with the pick lists' selections and the field's number
//   cancel      Отмена
//   swap        the records replaced by kSwapped, with the head "; new"
//   lock        the list's file made read-only; unlock: writable again
struct EditRow {
    char kind;               // 'c' constants, 'u' currencies
    const char* before;      // the file; nullptr: none
    const char* steps;
    const char* after;       // the file afterwards
    const char* menu = nullptr;
    const char* refused = "";  // see RunSteps
};

const char kThree[] = "; rates\n1,2,3\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\n";
const std::string kCutShort = "1,2,3\nA=1\n;" + std::string(16 << 20, 'c') + "\nB=2\n";

const EditRow kEditRows[] = {
    {'u', kThree, "ok 0,1,2 1", kThree, nullptr, "ok "},
    {'u', kThree, "ok 0,1,2 1.0000001", "; rates\n1,2,3\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\n"},
    {'u', kThree, "ok 0,1,2 1.5", "; rates\n1,2,3\nUSD=1.500000\nEUR=1.080000\nGBP=1.270000\n"},
    {'u', kThree, "ok 2,-1,1 1", "; rates\n3,1,2\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\n"},
    {'u', kThree, ">2 7.5 >1 1.08 ok 0,1,2 2", "; rates\n1,2,3\nUSD=7.500000\nEUR=2.000000\nGBP=1.080000\n"},
    {'u', kThree, ">7 3 >-1 3 -3 ~-1 X=1 ok 0,1,2 1", kThree, nullptr, ">7 >-1 -3 ~-1 ok "},
    {'u', kThree, "+Швейцарский=0.9 ok 0,1,3 1",
     "; rates\n1,2,4\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\n\xD8\xE2\xE5\xE9\xF6\xE0=0.900000\n"},
    {'u', kThree, ">1 5 -1 ok 0,1,1 2", "; rates\n1,2,2\nUSD=2.000000\nGBP=1.270000\n", nullptr, "[010] "},
    {'u', kThree, "~1 Swissfranc=3 ok 0,1,2 1", "; rates\n1,2,3\nUSD=1.000000\nSwissf=3.000000\nGBP=1.270000\n"},
    {'u', kThree, "~1 Swissfranc=3 -0 cancel", kThree, "Swissf->GBP|GBP->Swissf|1|2|3|4|5|6", "[010] "},
    {'u', "; none\n", "+A=1 +B=2 ok -1,-1,-1 0", "; none\n1,1,1\nA=1.000000\nB=2.000000\n", "1|2|3|4|5|6"},
    {'u', "1,1,1\nA=1\nB=2\n", "-0 -0 ok 0,0,0 0", "1,1,1\nA=1\nB=2\n", "1|2|3|4|5|6", "[000] [000] ok "},

    {'u', "1,1,1\nA=1\nB=2\nC=3\n", "-0 -0 ok 0,0,0 7", "1,1,1\nC=7.000000\n", nullptr, "[000] [000] "},
    {'u', kThree, "+X=0 ok 0,1,2 1", "; rates\n1,2,3\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\nX=0.000000\n"},
    {'u', kThree, "+X=5 cancel begin ok 0,1,3 1", "; rates\n1,2,4\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\nX=0.000000\n"},
    {'u', "1,1,1\nA=1\nB=2\n", "-0 -0 cancel begin +X=5 ok 0,0,0 9", "1,1,1\nX=5.000000\n", nullptr,
     "[000] [000] "},
    {'c', "1,2,3,4,5,6\na=1\nb=2\n", "~0 AVeryLongConstantName=5 ok 0,1,0,0,0,0 5",
     "1,2,1,1,1,1\nAVeryLongConstantName=5.000000e+00\nb=2.000000e+00\n"},
    {'c', "1,2,3,4,5,6\na=1\nb=2\n", "+NewtonConstantG=6.674e-11 ok 2,1,0,0,0,0 1",
     "3,2,1,1,1,1\na=1.000000e+00\nb=2.000000e+00\nNewtonConstant=6.674000e-11\n", "NewtonConstant|b|a|a|a|a"},
    {'c', nullptr, "+x=1 ok 0,0,0,0,0,0 1", "1,1,1,1,1,1\nx=1.000000e+00\n"},
    // A file that cannot be written keeps the editing open: a later Ok
    // writes what the failed one had.
    {'u', kThree, "lock >1 5 ok 0,2,1 2 unlock ok 0,2,1 2",
     "; rates\n1,3,2\nUSD=5.000000\nEUR=2.000000\nGBP=1.270000\n", nullptr, "ok:read-only "},
    {'u', kThree, "lock +X=1 ok 2,1,3 7 cancel", kThree,
     "USD->EUR|USD->GBP|EUR->USD|EUR->GBP|GBP->USD|GBP->EUR|1|2|3|4|5|6", "ok:read-only "},
    // A list its file was not read into whole is never saved over it.
    {'u', kCutShort.c_str(), "+X=1 ok 0,0,0 1 cancel", kCutShort.c_str(), "1|2|3|4|5|6", "ok:line too long at 3 "},
    // Records replaced whole: Ok writes them under the new head, Отмена leaves the file.
    {'u', kThree, "swap ok 2,0,1 1", "; new\n3,1,2\nRUB=1.000000\nSwissf=0.900000\nCNY=11.500000\n", nullptr,
     "[200] "},
    {'u', kThree, "swap >2 3 cancel", kThree, nullptr, "[200] "},
    {'u', kThree, "swap +X=7 ok 0,1,3 1",
     "; new\n1,2,4\nRUB=1.000000\nSwissf=0.900000\nCNY=11.500000\nX=7.000000\n", nullptr, "[200] "},
    {'u', kThree, "lock swap ok 0,1,2 1 unlock ok 0,1,2 1",
     "; new\n1,2,3\nRUB=1.000000\nSwissf=0.900000\nCNY=11.500000\n", nullptr, "[200] ok:read-only "},
    {'u', kCutShort.c_str(), "swap ok 0,1,2 1", "; new\n1,2,3\nRUB=1.000000\nSwissf=0.900000\nCNY=11.500000\n",
     nullptr, "[200] "},
};

char16_t swapRub[] = u"RUB", swapChf[] = u"Swissfranc", swapCny[] = u"CNY";
char16_t* const kSwapped[] = {swapRub, swapChf, swapCny};
const double kSwappedValues[] = {1, 0.9, 11.5};
const int kSwappedPicks[] = {2, 0, 7};  // a pick past the table is its first entry
const char kNewHead[] = "; new\n";

bool Swap(RecordList& list)
{
    return ReplaceListRecords(list, kSwapped, kSwappedValues, 3, kSwappedPicks, kNewHead, sizeof kNewHead - 1);
}

RecordList& ListOf(KeySession& session, char kind)
{
    return kind == 'c' ? session.calculator.constants : session.calculator.currencies;
}

// Returns the steps the list refused (an Ok that saved nothing among them; one
// that could not save with ":" and why), and the working picks after each
// delete, each followed by a space.
std::string RunSteps(RecordList& list, const std::u16string& folder, const std::string& steps)
{
    std::string file;
    AppendUtf8(file, (folder + list.fileName + u".txt").c_str());
    std::string refused;
    size_t at = 0;
    auto word = [&] {
        while (at < steps.size() && steps[at] == ' ') ++at;
        const size_t end = std::min(steps.find(' ', at), steps.size());
        std::string w = steps.substr(at, end - at);
        at = end;
        return w;
    };
    // "Name=5" into a name and a value.
    auto record = [](const std::string& text, std::u16string& name) {
        const size_t equals = text.find('=');
        std::string utf8 = text.substr(0, equals);
        EXPECT_TRUE(Utf16FromUtf8(utf8, name));
        return std::strtod(text.c_str() + equals + 1, nullptr);
    };
    auto showPicks = [&] {  // the pick lists select the working picks again
        refused += "[";
        for (int k = 0; k < PickCount(list); ++k) refused += std::to_string(list.workPicks[k]);
        refused += "] ";
    };
    while (at < steps.size()) {
        const std::string step = word();
        std::u16string name;
        bool done = true;
        if (step[0] == '+') {
            const double value = record(step.substr(1), name);
            done = AddEntry(list, name.c_str(), value);
        } else if (step[0] == '-') {
            done = DeleteEntry(list, std::atoi(step.c_str() + 1));
            if (done) showPicks();
        } else if (step[0] == '~') {
            const int row = std::atoi(step.c_str() + 1);
            const double value = record(word(), name);
            done = ChangeEntry(list, row, name.c_str(), value);
        } else if (step[0] == '>') {
            const int row = std::atoi(step.c_str() + 1);
            done = MoveToRow(list, row, std::strtod(word().c_str(), nullptr));
        } else if (step == "ok") {
            int selections[kMaxPicks] = {};
            const std::string picks = word();
            for (int k = 0, p = 0; k < PickCount(list); ++k, p = static_cast<int>(picks.find(',', p)) + 1)
                selections[k] = std::atoi(picks.c_str() + p);
            const int saved = FinishEditing(list, selections, std::strtod(word().c_str(), nullptr), folder.c_str());
            const RecordFileError& error = list.saveError;
            if (saved < 0)
                refused += step + ":" + FaultName(error.fault) +
                           (error.line > 0 ? " at " + std::to_string(error.line) : "") + " ";
            done = saved != 0;
        } else if (step == "lock" || step == "unlock") {
            chmod(file.c_str(), step == "lock" ? 0444 : 0644);
        } else if (step == "cancel") {
            CancelEditing(list);
        } else if (step == "begin") {
            done = BeginEditing(list);
        } else if (step == "swap") {
            done = Swap(list);
            if (done) showPicks();
        }
        if (!done) refused += step + " ";
    }
    return refused;
}

TEST(Lists, DialogStepsLeaveTheFile)
{
    for (const EditRow& row : kEditRows) {
        TestFolder folder;
        const std::string file = row.kind == 'c' ? "constant.txt" : "currency.txt";
        if (row.before != nullptr) folder.Write(file, row.before);
        KeySession session;
        RunScript(session, "", "", folder.folder.c_str());
        RecordList& list = ListOf(session, row.kind);
        ASSERT_TRUE(BeginEditing(list));
        EXPECT_EQ(RunSteps(list, folder.folder, row.steps), row.refused) << row.steps;
        EXPECT_EQ(list.workValues, nullptr) << row.steps;  // the editing ended
        EXPECT_EQ(list.pendingHead, nullptr) << row.steps;
        EXPECT_EQ(folder.Read(file), row.after) << row.steps;
        if (row.menu != nullptr) {
            EXPECT_EQ(MenuTexts(session), row.menu) << row.steps;
        }
    }
}

TEST(Lists, EditingWithoutMemoryChangesNothing)
{
    TestFolder folder;
    folder.Write("currency.txt", kThree);
    KeySession session;
    RunScript(session, "", "", folder.folder.c_str());
    RecordList& list = session.calculator.currencies;
    ASSERT_TRUE(BeginEditing(list));
    for (int at = 0; !WithAllocationFailing(at, [&] { return Swap(list); }); ++at) {
        EXPECT_EQ(list.count, 3);
        EXPECT_EQ(list.pendingHead, nullptr);
        EXPECT_EQ(list.names[2], std::u16string(u"GBP"));
    }
    CancelEditing(list);
    LoadList(list, folder.folder.c_str(), u"currency");
    ASSERT_TRUE(BeginEditing(list));
    for (int at = 0; !WithAllocationFailing(at, [&] { return AddEntry(list, u"CHF", 0.9); }); ++at) {
        EXPECT_EQ(list.count, 3);
        EXPECT_EQ(list.workValues[2], 1.27);
    }
    EXPECT_EQ(list.count, 4);
    const int picks[] = {0, 1, 3};
    FinishEditing(list, picks, 1, folder.folder.c_str());
    EXPECT_EQ(folder.Read("currency.txt"), "; rates\n1,2,4\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\nCHF=0.900000\n");

    // No memory for the working values: the dialog still saves its choices
    // and what it adds.
    const int otherPicks[] = {3, 1, 0};
    EXPECT_FALSE(WithAllocationFailing(kEveryCall, [&] { return BeginEditing(list); }));
    FinishEditing(list, otherPicks, 1, folder.folder.c_str());
    EXPECT_EQ(folder.Read("currency.txt"), "; rates\n4,2,1\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\nCHF=0.900000\n");
    EXPECT_FALSE(
        WithAllocationFailing(kEveryCall, [&] { return BeginEditing(list) || ChangeEntry(list, 0, u"XYZ", 1); }));
    ASSERT_TRUE(AddEntry(list, u"JPY", 0.005));
    FinishEditing(list, picks, 1, folder.folder.c_str());
    EXPECT_EQ(folder.Read("currency.txt"),
              "; rates\n1,2,4\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\nCHF=0.900000\nJPY=0.005000000\n");
}

TEST(Lists, ShippedFilesLoadWholeAndSaveBackAsTheyWere)
{
    for (const char* name : {"constant", "currency"}) {
        TestFolder folder;
        std::string shipped = TestFolder::ReadPath(std::string(VELA_SAMPLES) + "/" + name + ".txt");
        ASSERT_NE(shipped, "(none)");
        folder.Write(std::string(name) + ".txt", shipped);
        KeySession session;
        RunScript(session, "", "", folder.folder.c_str());
        RecordList& list = ListOf(session, name[1] == 'o' ? 'c' : 'u');
        ASSERT_GT(list.count, 3);
        ASSERT_TRUE(BeginEditing(list));
        list.modified = 1;  // as an edit would: the save writes the file
        const int picks[kMaxPicks] = {list.picks[0], list.picks[1], list.picks[2], list.picks[3], list.picks[4],
                                      list.picks[5]};
        EXPECT_EQ(FinishEditing(list, picks, list.values[0], folder.folder.c_str()), 1);
        // Comments keep their own line ends; written lines end in LF here.
        std::string expected = shipped;
        const size_t records = expected.find("\n", expected.rfind(";")) + 1;
        for (size_t at = records; (at = expected.find("\r\n", at)) != std::string::npos;) expected.erase(at, 1);
        EXPECT_EQ(folder.Read(std::string(name) + ".txt"), expected) << name;
    }
}

TEST(Lists, WhatDialogFieldsTakeAndShow)
{
    const struct {
        const char16_t* name;
        RecordNameProblem problem;
        char16_t offending;
    } names[] = {{u"Доллар", kNameStorable, 0},
                 {u"Ёж ё", kNameStorable, 0}, {u"x;", kNameStorable, 0}, {u"", kNameEmpty, 0},
                 {u"a=b", kNameWithEquals, u'='}, {u";x", kNameStartingWithComment, u';'},
                 {u"a\tb", kNameWithControl, u'\t'}, {u"\u0402", kNameOutsideCodePage, u'\u0402'},
                 {u"ab\u00E9", kNameOutsideCodePage, u'\u00E9'}, {u"\u20AC", kNameOutsideCodePage, u'\u20AC'},
                 {u"\u0404", kNameOutsideCodePage, u'\u0404'},
                 {u"\u013B", kNameOutsideCodePage, u'\u013B'}};  // its low byte would read as ";"
    for (const auto& row : names) {
        char16_t offending = u'?';
        EXPECT_EQ(CheckRecordName(row.name, offending), row.problem) << ValueText(row.name[0]);
        EXPECT_EQ(offending, row.offending) << ValueText(row.name[0]);
    }

    const struct {
        double value;
        const char* format;
        const char* shown;
    } values[] = {{1.5, "%f", "1.500000"},       {1.5, "%.6e", "1.500000e+00"},
                  {1e31, "%f", "9999999999999999635896294965248.000000"}, {1e33, "%f", "1.000000e+33"},
                  {-1e32, "%f", "-1.000000e+32"},
                  {0.0000515151515, "%f", "0.00005151515"}, {0.1, "%f", "0.100000"}};
    for (const auto& row : values) {
        char16_t text[kFieldTextLimit + 1];
        std::string shown;
        AppendUtf8(shown, FormatFieldValue(text, kFieldTextLimit + 1, row.value, row.format));
        EXPECT_EQ(shown, row.shown) << row.value;
    }

    const struct {
        const char16_t* file;
        const char16_t* offered;
    } files[] = {{u"constant.txt", u"constant"}, {u"Физика.TXT", u"Физика"}, {u"a.b.txt", u"a.b"},
                 {u"currency.txt", u""}, {u"CURRENCY.txt", u""}, {u"currency2.txt", u"currency2"}, {u".txt", u""},
                 {u"notes.txt~", u""}, {u"fifteen_chars__.txt", u""}, {u"xurrency.txt", u"xurrency"}, {u"a_txt", u""},
                 {u"fourteen_chars.txt", u"fourteen_chars"}, {u"x..y.txt", u"x..y"}, {u"...txt", u""},
                 {u"curr.txt", u"curr"}};
    for (const auto& row : files) {
        char16_t bare[kListNameCapacity];
        EXPECT_EQ(OfferedConstantsFile(row.file, bare), row.offered[0] != 0);
        EXPECT_EQ(std::u16string(bare), row.offered);
    }

    Options options;
    DefaultOptions(options);
    char16_t name[kListNameCapacity];
    options.constantsFile[0] = 0;
    ConstantsFileName(options, name);
    EXPECT_EQ(std::u16string(name), u"constant");
    for (char16_t& unit : options.constantsFile) unit = u'x';
    ConstantsFileName(options, name);
    EXPECT_EQ(std::u16string(name), std::u16string(15, u'x'));
}

}  // namespace
