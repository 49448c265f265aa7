// The currency table: loading "currency.txt", the quick-conversion entries of
// the "Валюта" menu, conversion of the current value and writing it back.
#include "currency/currency_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "resources/resource.h"
#include "tests/constants/list_files.h"

namespace {

constexpr int kMenu = kSessionCurrencyMenu;

// The "Валюта" sub-menu as "id text" lines joined by "|".
std::string CurrencyMenu(const KeySession& session)
{
    std::string menu;
    for (const SessionMenuItem& item : session.menus[kMenu]) {
        menu += std::to_string(item.id) + " ";
        AppendUtf8(menu, item.text.c_str());
        menu += "|";
    }
    return menu;
}

TEST(QuickEntries, LabelsFromTheHeader)
{
    const struct {
        const char* file;
        const char* menu;
    } cases[] = {
        {"1,2,3\nX=1\nY=2\nZ=3\n",
         "40022 X->Y|40023 X->Z|40024 Y->X|40025 Y->Z|40026 Z->X|40027 Z->Y|40028 Выбор...|"},
        {"3,1,2\nX=1\nY=2\nZ=3\n",
         "40022 Z->X|40023 Z->Y|40024 X->Z|40025 X->Y|40026 Y->Z|40027 Y->X|40028 Выбор...|"},
        // quick = (1, 1, 0)
        {"2,2\nX=1\nY=2\nZ=3\n", "40022 Y->X|40023 X->Y|40028 Выбор...|"},
        // only quick 1 and 2 count with two currencies, and both are Y
        {"2,2\nX=1\nY=2\n", "40028 Выбор...|"},
        // quick 1 is past the table and becomes the first: (0, 0, 1)
        {"5,1,2\nX=1\nY=2\nZ=3\n", "40022 X->Y|40023 Y->X|40028 Выбор...|"},
        // two currencies: quick 3 never counts
        {"1,2,3\nX=1\nY=2\n", "40022 X->Y|40023 Y->X|40028 Выбор...|"},
        {"2,1,2\nX=1\nY=2\n", "40022 Y->X|40023 X->Y|40028 Выбор...|"},
        {"1,1,2\nX=1\nY=2\nZ=3\n", "40022 X->Y|40023 Y->X|40028 Выбор...|"},
        {"3,3,3\nX=1\nY=2\nZ=3\n", "40028 Выбор...|"},
        {"-1,0,9\nX=1\nY=2\nZ=3\n", "40028 Выбор...|"},
        // the first non-comment line is the header even when it is a record:
        // it is lost, and every field reads 0: all quick currencies are EUR
        {"; rates\nUSD=1\nEUR=2\nGBP=3\n", "40028 Выбор...|"},
        {"; rates\nUSD=1\nEUR=2\nGBP=3\nJPY=4\n", "40028 Выбор...|"},
        // six-unit names make the longest labels
        {"1,2\nABCDEFGH=1\nabcdef=2\n", "40022 ABCDEF->abcdef|40023 abcdef->ABCDEF|40028 Выбор...|"},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        folder.Write("currency", c.file);
        KeySession session;
        StartOn(session, folder);
        EXPECT_EQ(CurrencyMenu(session), c.menu) << c.file;
    }
}

TEST(QuickEntries, QuickChoicesAfterLoad)
{
    const struct {
        const char* file;
        int count;
        int quick[3];
        int pairs;
    } cases[] = {
        {"2,2\nX=1\nY=2\nZ=3\n", 3, {1, 1, 0}, 2},
        {"5,1,2\nX=1\nY=2\nZ=3\n", 3, {0, 0, 1}, 2},
        {"; only a comment\nUSD=1\nEUR=2\nGBP=3\n", 2, {0, 0, 0}, 0},
        {"1,2,3\nX=1\nY=2\nZ=3\n", 3, {0, 1, 2}, 6},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        folder.Write("currency", c.file);
        KeySession session;
        StartOn(session, folder);
        EXPECT_EQ(session.currencies.count, c.count) << c.file;
        for (int k = 0; k < 3; ++k) EXPECT_EQ(session.currencies.quick[k], c.quick[k]) << c.file << " quick " << k;
        EXPECT_EQ(session.currencies.quickPairCount, c.pairs) << c.file;
    }
}

TEST(CurrencyLoad, FilesThatGiveAnEmptyTable)
{
    const struct {
        const char* name;
        const char* bytes;  // nullptr: no file
    } cases[] = {
        {"missing", nullptr},
        {"empty", ""},
        {"comments only", "; rates\n;\n\n"},
        {"header only", "1,2,3\n"},
        {"one record", "1,2,3\nUSD=1\n"},
        {"one record among broken lines", "1,2,3\nUSD=1\n=2\nEUR\nX=\n"},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        if (c.bytes != nullptr) folder.Write("currency", c.bytes);
        KeySession session;
        StartOn(session, folder);
        EXPECT_EQ(session.currencies.count, 0) << c.name;
        EXPECT_EQ(session.currencies.names, nullptr) << c.name;
        EXPECT_EQ(session.currencies.quickPairCount, 0) << c.name;
        EXPECT_EQ(CurrencyMenu(session), "40028 Выбор...|") << c.name;
        Press(session, "1 0 0 cmd:40022");
        EXPECT_EQ(DisplayLine(session), "rd 100.00") << c.name;  // nothing converted, shown all the same
    }
}

TEST(CurrencyLoad, NamesAreCutToSixAndRatesRead)
{
    ProgramFolder folder;
    folder.Write("currency", "1,2\r\nDOLLARUS=80.5\r\n\xD0\xF3\xE1\xEB\xFC=1\r\ntiny=0.0000001\r\n");
    KeySession session;
    StartOn(session, folder);
    ASSERT_EQ(session.currencies.count, 3);
    EXPECT_EQ(Utf8(session.currencies.names[0]), "DOLLAR");
    EXPECT_EQ(Utf8(session.currencies.names[1]), "Рубль");
    EXPECT_EQ(session.currencies.rates[0], 80.5);
    EXPECT_EQ(session.currencies.rates[2], 1e-7);
    EXPECT_EQ(CurrencyMenu(session), "40022 DOLLAR->Рубль|40023 Рубль->DOLLAR|40028 Выбор...|");
}

TEST(CurrencyLoad, OutOfMemoryWhileFillingKeepsTheNamesRead)
{
    // The name "sixsix" alone needs a block of 14 bytes (6 units and the NUL).
    const struct {
        const char* file;
        int count;
        const char* menu;
    } cases[] = {
        {"1,2,3\nA=1\nB=2\nsixsix=3\nD=4\n", 2, "40022 A->B|40023 B->A|40028 Выбор...|"},
        // one name read is no table
        {"1,2,3\nA=1\nsixsix=3\nD=4\n", 0, "40028 Выбор...|"},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        folder.Write("currency", c.file);
        KeySession session;
        {
            FailingSize failing(14);
            StartOn(session, folder);
        }
        EXPECT_EQ(session.currencies.count, c.count) << c.file;
        EXPECT_EQ(CurrencyMenu(session), c.menu) << c.file;
        for (int i = 0; i < session.currencies.count; ++i) EXPECT_NE(session.currencies.names[i], nullptr);
    }
}

TEST(CurrencyLoad, NoMemoryForTheTablesGivesAnEmptyTable)
{
    ProgramFolder folder;
    folder.Write("currency", "1,2,3\nA=1\nB=2\nC=3\n");
    KeySession session;
    {
        FailingSize failing(24);  // three pointers, or three doubles
        StartOn(session, folder);
    }
    EXPECT_EQ(session.currencies.count, 0);
    EXPECT_EQ(session.currencies.names, nullptr);
    EXPECT_EQ(session.currencies.rates, nullptr);
    EXPECT_EQ(CurrencyMenu(session), "40028 Выбор...|");
}

TEST(QuickEntries, RebuildInsertsMissingItemsInSlotOrder)
{
    ProgramFolder folder;
    folder.Write("currency", "1,2\nX=1\nY=2\n");
    KeySession session;
    StartOn(session, folder);
    ASSERT_EQ(CurrencyMenu(session), "40022 X->Y|40023 Y->X|40028 Выбор...|");

    // The currencies dialog added a third currency and made it quick 3.
    CurrencyTable& table = session.currencies;
    table.names = static_cast<char16_t**>(std::realloc(table.names, 3 * sizeof(char16_t*)));
    table.rates = static_cast<double*>(std::realloc(table.rates, 3 * sizeof(double)));
    table.names[2] = CopyRecordName(u"Z", 6);
    table.rates[2] = 3;
    table.count = 3;
    table.quick[2] = 2;
    BuildCurrencyMenu(table, kSessionMainWindow);
    EXPECT_EQ(CurrencyMenu(session),
              "40022 X->Y|40023 X->Z|40024 Y->X|40025 Y->Z|40026 Z->X|40027 Z->Y|40028 Выбор...|");
    EXPECT_EQ(table.quickPairCount, 6);
    EXPECT_EQ(table.quickPairs[3][0], 1);
    EXPECT_EQ(table.quickPairs[3][1], 2);

    // And back to two entries: the rest are deleted.
    table.quick[0] = 2;
    table.quick[1] = 2;
    table.quick[2] = 0;
    BuildCurrencyMenu(table, kSessionMainWindow);
    EXPECT_EQ(CurrencyMenu(session), "40022 Z->X|40023 X->Z|40028 Выбор...|");
}

TEST(QuickEntries, WindowWithoutTheMenuGetsNoEntries)
{
    ProgramFolder folder;
    folder.Write("currency", "1,2,3\nX=1\nY=2\nZ=3\n");
    KeySession session;
    StartOn(session, folder);
    const std::string before = CurrencyMenu(session);
    const uintptr_t dialog = 2;
    BuildCurrencyMenu(session.currencies, dialog);
    EXPECT_EQ(session.currencies.quickPairCount, 0);  // the first item could be neither set nor inserted
    EXPECT_EQ(CurrencyMenu(session), before);
}

TEST(Conversion, QuickEntryConvertsAndShowsTwoDecimals)
{
    ProgramFolder folder;
    folder.Write("currency", "1,2,3\nA=2\nB=4\nC=0\n");
    const struct {
        const char* keys;
        const char* display;
        int repr;
    } cases[] = {
        {"1 0 0 cmd:40022", "rd 50.00", kReprDecimal},      // A->B: 100 * 2 / 4
        {"1 0 0 cmd:40024", "rd 200.00", kReprDecimal},     // B->A
        {"1 0 0 act:59", "rd 50.00", kReprDecimal},         // key action 59 posts the first entry
        {"1 0 0 act:61", "rd 200.00", kReprDecimal},
        {"1 0 0 cmd:40023", "rd ERROR", kReprDecimal},      // A->C: rate 0
        {"0 cmd:40023", "rd ERROR", kReprDecimal},          // 0 * infinity
        {"1 0 0 cmd:40026", "rd 0.00", kReprDecimal},       // C->A: 0 / 2
        {"1 0 0 cmd:40022 5", "rd 5", kReprDecimal},        // the entry ended: 5 starts anew
        {"2 right 1 1 0 0 cmd:40022 ok", "rd 52", kReprDecimal},  // the pending + stays
        {"up cmd:40022", "rd 0.00", kReprDecimal},
        {"6 4 cmd:40022", "H 50.00", kReprHex},             // decimal text in every mode
        {"1 0 0 cmd:40022", "B 2.00", kReprBinary},
    };
    for (const auto& c : cases) {
        KeySession session;
        Options options;
        DefaultOptions(options);
        options.reprMode = c.repr;
        StartSession(session, options, folder.folder());
        Press(session, c.keys);
        EXPECT_EQ(DisplayLine(session), c.display) << c.keys;
        EXPECT_EQ(session.keypad.keyLayer, kLayerNone) << c.keys;
        if (c.keys[std::strlen(c.keys) - 1] != '5') {
            EXPECT_EQ(session.engine.entryState, kEntryNone) << c.keys;
        }
    }
}

TEST(Conversion, ValueKeepsItsPrecision)
{
    ProgramFolder folder;
    folder.Write("currency", "1,2\nA=1\nB=3\n");
    KeySession session;
    StartOn(session, folder);
    Press(session, "1 0 cmd:40022");
    EXPECT_EQ(DisplayLine(session), "rd 3.33");
    EXPECT_EQ(session.engine.value, (1.0 / 3.0) * 10.0);  // quotient first, then the product
}

TEST(Conversion, EntriesThatAreNotThereChangeNothing)
{
    ProgramFolder folder;
    folder.Write("currency", "1,2,3\nA=1\nB=2\nC=4\n");
    KeySession session;
    StartOn(session, folder);
    session.engine.value = 10;
    ConvertQuick(session.currencies, session.engine, 6);
    ConvertQuick(session.currencies, session.engine, -1);
    EXPECT_EQ(session.engine.value, 10.0);

    // A cancelled dialog can leave a pair naming a currency that is gone.
    session.currencies.count = 2;
    ConvertQuick(session.currencies, session.engine, 1);  // A->C
    EXPECT_EQ(session.engine.value, 10.0);
    session.currencies.count = 3;
    ConvertQuick(session.currencies, session.engine, 1);
    EXPECT_EQ(session.engine.value, 2.5);
    ConvertCurrency(session.currencies, session.engine, 0, 3);
    ConvertCurrency(session.currencies, session.engine, -1, 0);
    EXPECT_EQ(session.engine.value, 2.5);
}

TEST(Conversion, TwoDecimalsThatDoNotFitTheDisplay)
{
    Options options;
    DefaultOptions(options);
    EngineState engine;
    InitEngine(engine, options);
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {50, "50.00"},
        {-0.001, "-0.00"},
        {1.005, "1.00"},  // the double lies just below 1.005
        {1e37, "9999999999999999538762658202121142272.00"},
        {1e38, "99999999999999997748809823456034029568.00"},  // 41 units: the last that fits
        {-1e37, "-9999999999999999538762658202121142272.00"},
        {2e38, "2.000000e+38"},                                // the engine's own format
        {-1e38, "-1.000000e+38"},                              // 42 units with two decimals
        {1.7976931348623157e308, "1.797693e+308"},
        {inf, "ERROR"},
        {-inf, "ERROR"},
        {std::nan(""), "ERROR"},
    };
    for (const auto& c : cases) {
        engine.value = c.value;
        ShowConvertedValue(engine);
        std::string text;
        AppendUtf8(text, engine.text);
        EXPECT_EQ(text, c.text) << c.value;
        EXPECT_LT(text.size(), size_t{kTextCapacity});
    }
}

TEST(CurrencySave, WritesHeaderAndRatesKeepingTheHeadComments)
{
    ProgramFolder folder;
    folder.Write("currency",
                 "; rates of 2026\n\n1,2,3\n; among the records\nUSD=1\n\nEURO12=0.9\nbroken\nGBP=0.8\n; trailer\n");
    KeySession session;
    StartOn(session, folder);
    CurrencyTable& table = session.currencies;
    ASSERT_EQ(table.count, 3);
    EXPECT_EQ(Utf8(table.names[1]), "EURO12");

    table.workRates = static_cast<double*>(std::malloc(3 * sizeof(double)));
    table.workRates[0] = 1.5;
    table.workRates[1] = 0.0000001;
    table.workRates[2] = 80.25;
    table.workQuick[0] = 2;
    table.workQuick[1] = 7;   // out of the table: the first currency
    table.workQuick[2] = -1;
    EXPECT_TRUE(SaveCurrencies(table, folder.folder()));
    EXPECT_EQ(table.rates[1], 0.0000001);  // memory keeps the full value
    EXPECT_EQ(table.quick[0], 2);
    EXPECT_EQ(table.quick[1], 0);
    EXPECT_EQ(table.quick[2], 0);
    EXPECT_EQ(folder.Read("currency"),
              "; rates of 2026\n3,1,1\n; among the records\nUSD=1.500000\nEURO12=0.000000\nGBP=80.250000\n");
    EXPECT_FALSE(folder.Exists("~tmpcur~"));

    KeySession reloaded;
    StartOn(reloaded, folder);
    ASSERT_EQ(reloaded.currencies.count, 3);
    EXPECT_EQ(reloaded.currencies.rates[1], 0.0);  // "%f" kept nothing of 1e-7
    EXPECT_EQ(CurrencyMenu(reloaded), "40022 GBP->USD|40023 USD->GBP|40028 Выбор...|");
}

TEST(CurrencySave, LongNameIsWrittenCut)
{
    ProgramFolder folder;
    folder.Write("currency", "1,2\nDOLLARUS=80\nEURO=90\n");
    KeySession session;
    StartOn(session, folder);
    CurrencyTable& table = session.currencies;
    table.workQuick[0] = 1;
    table.workQuick[1] = 0;
    EXPECT_TRUE(SaveCurrencies(table, folder.folder()));  // no working rates: the rates stay
    EXPECT_EQ(folder.Read("currency"), "2,1,1\nDOLLAR=80.000000\nEURO=90.000000\n");
}

TEST(CurrencySave, CommentsOnlyFileGetsHeaderAndRecords)
{
    ProgramFolder folder;
    folder.Write("currency", "; rates\n; more\n");
    KeySession session;
    StartOn(session, folder);
    CurrencyTable& table = session.currencies;
    ASSERT_EQ(table.count, 0);

    // What the currencies dialog leaves after adding two currencies.
    table.names = static_cast<char16_t**>(std::malloc(2 * sizeof(char16_t*)));
    table.rates = static_cast<double*>(std::malloc(2 * sizeof(double)));
    table.workRates = static_cast<double*>(std::malloc(2 * sizeof(double)));
    table.names[0] = CopyRecordName(u"\u0420\u0443\u0431", 6);  // "Руб"
    table.names[1] = CopyRecordName(u"USD", 6);
    table.rates[0] = table.workRates[0] = 1;
    table.rates[1] = table.workRates[1] = 80;
    table.count = 2;
    table.workQuick[0] = 1;
    table.workQuick[1] = 0;
    table.workQuick[2] = 0;
    EXPECT_TRUE(SaveCurrencies(table, folder.folder()));
    EXPECT_EQ(folder.Read("currency"), "; rates\n; more\n2,1,1\n\xD0\xF3\xE1=1.000000\nUSD=80.000000\n");
}

TEST(CurrencySave, MissingFileIsCreated)
{
    ProgramFolder folder;
    KeySession session;
    StartOn(session, folder);
    CurrencyTable& table = session.currencies;
    table.names = static_cast<char16_t**>(std::malloc(2 * sizeof(char16_t*)));
    table.rates = static_cast<double*>(std::malloc(2 * sizeof(double)));
    table.names[0] = CopyRecordName(u"A", 6);
    table.names[1] = CopyRecordName(u"B", 6);
    table.rates[0] = 1;
    table.rates[1] = 2;
    table.count = 2;
    EXPECT_TRUE(SaveCurrencies(table, folder.folder()));
    EXPECT_EQ(folder.Read("currency"), "1,1,1\nA=1.000000\nB=2.000000\n");
}

TEST(CurrencyFree, ReleasesEverythingAndEmptiesTheTable)
{
    ProgramFolder folder;
    folder.Write("currency", "1,2\nA=1\nB=2\n");
    KeySession session;
    StartOn(session, folder);
    CurrencyTable& table = session.currencies;
    table.workRates = static_cast<double*>(std::malloc(2 * sizeof(double)));
    FreeCurrencies(table);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(table.names, nullptr);
    EXPECT_EQ(table.rates, nullptr);
    EXPECT_EQ(table.workRates, nullptr);
    FreeCurrencies(table);  // twice is harmless
}

}  // namespace
