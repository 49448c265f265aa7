// The currencies dialog's work on the table, without the dialog: working
// rates and quick choices, add, delete, rename, and what Ok saves.
#include "currency/currency_editing.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "constants/constants_editing.h"
#include "tests/constants/list_files.h"

namespace {

const char kThree[] = "; rates\n1,2,3\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\n";

// The rate box as the dialog shows a working rate and reads it back.
double ThroughBox(double rate)
{
    char16_t text[40];
    FormatFieldValue(text, 40, rate, "%f");
    return std::strtod(Utf8(text).c_str(), nullptr);
}

struct Dialog {
    ProgramFolder folder;
    KeySession session;
    CurrenciesEditing editing;
    CurrencyTable& table = session.currencies;

    explicit Dialog(const std::string& file)
    {
        folder.Write("currency", file);
        StartOn(session, folder);
        EXPECT_TRUE(BeginCurrenciesEditing(table, editing));
    }
    double Box() const { return editing.currentRow >= 0 ? ThroughBox(table.workRates[editing.currentRow]) : 0; }
    int Ok(const int (&lists)[3], double box) { return FinishCurrenciesOk(table, editing, lists, box, folder.folder()); }
    int Ok(double box) { return Ok(table.workQuick, box); }
    int Ok() { return Ok(Box()); }
    std::string File() const { return folder.Read("currency"); }
    std::string Name(int row) const { return Utf8(table.names[row]); }
};

TEST(CurrenciesEditingOpen, WorkingCopies)
{
    Dialog d("2,3,1\nA=1\nB=2\nC=4\n");
    ASSERT_EQ(d.table.count, 3);
    ASSERT_NE(d.table.workRates, nullptr);
    EXPECT_EQ(d.table.workRates[2], 4.0);
    const int quick[3] = {1, 2, 0};
    EXPECT_EQ(std::memcmp(d.table.workQuick, quick, sizeof quick), 0);
    EXPECT_EQ(d.editing.currentRow, 0);
    EXPECT_EQ(d.editing.modified, 0);
}

TEST(CurrenciesEditingOpen, EmptyTableHasNoCurrentRow)
{
    Dialog d("; nothing yet\n");
    EXPECT_EQ(d.table.count, 0);
    EXPECT_EQ(d.table.workRates, nullptr);
    EXPECT_EQ(d.editing.currentRow, -1);
}

TEST(CurrenciesEditingOk, WithoutChangeSavesNothing)
{
    Dialog d(kThree);
    EXPECT_EQ(d.Ok(), 0);
    EXPECT_EQ(d.File(), kThree);
    EXPECT_EQ(d.table.workRates, nullptr);
}

TEST(CurrenciesEditingOk, QuickChoiceAloneIsSaved)
{
    Dialog d(kThree);
    const int lists[3] = {2, 0, -1};  // -1: a list without selection
    EXPECT_EQ(d.Ok(lists, d.Box()), 1);
    const int quick[3] = {2, 0, 0};
    EXPECT_EQ(std::memcmp(d.table.quick, quick, sizeof quick), 0);
    EXPECT_EQ(d.File(), "; rates\n3,1,1\nUSD=1.000000\nEUR=1.080000\nGBP=1.270000\n");
}

TEST(CurrenciesEditingRows, MovingKeepsTheBoxInTheRowItShowed)
{
    Dialog d(kThree);
    ASSERT_TRUE(MoveToCurrency(d.table, d.editing, 2, d.Box()));
    ASSERT_TRUE(MoveToCurrency(d.table, d.editing, 0, 3.5));
    EXPECT_EQ(d.table.workRates[2], 3.5);
    EXPECT_EQ(d.table.rates[2], 1.27);
    EXPECT_EQ(d.table.workRates[0], 1.0);
    EXPECT_FALSE(MoveToCurrency(d.table, d.editing, 3, 0));
    EXPECT_EQ(d.editing.currentRow, 0);
    EXPECT_EQ(d.Ok(), 1);
    EXPECT_EQ(d.File(), "; rates\n1,2,3\nUSD=1.000000\nEUR=1.080000\nGBP=3.500000\n");
}

TEST(CurrenciesEditingAdd, IntoAnEmptyTableThenOk)
{
    Dialog d("; nothing yet\n");
    ASSERT_TRUE(AddCurrency(d.table, d.editing, u"AAA", 2));
    EXPECT_EQ(d.table.count, 1);
    EXPECT_EQ(d.table.rates[0], 0.0);
    EXPECT_EQ(d.table.workRates[0], 2.0);
    EXPECT_EQ(d.Ok(0.0), 1);  // no current row: the box is not read
    EXPECT_EQ(d.table.rates[0], 2.0);
    EXPECT_EQ(d.File(), "; nothing yet\n1,1,1\nAAA=2.000000\n");
}

TEST(CurrenciesEditingAdd, NineCharactersKeepSix)
{
    Dialog d(kThree);
    ASSERT_TRUE(AddCurrency(d.table, d.editing, u"ABCDEFGHI", 0.5));
    EXPECT_EQ(d.Name(3), "ABCDEF");
    EXPECT_EQ(d.editing.currentRow, 0);
    EXPECT_EQ(d.editing.modified, 1);
}

TEST(CurrenciesEditingAdd, OutOfMemoryChangesNothing)
{
    Dialog d(kThree);
    {
        FailingSize failing(4 * sizeof(double));
        EXPECT_FALSE(AddCurrency(d.table, d.editing, u"JPY", 0.007));
    }
    EXPECT_EQ(d.table.count, 3);
    EXPECT_EQ(d.editing.modified, 0);
    EXPECT_EQ(d.Ok(), 0);
}

TEST(CurrenciesEditingDelete, SelectedMiddleRowThenOkStoresIntoTheFirst)
{
    Dialog d(kThree);
    ASSERT_TRUE(MoveToCurrency(d.table, d.editing, 1, d.Box()));
    ASSERT_TRUE(DeleteCurrency(d.table, d.editing, 1));
    EXPECT_EQ(d.table.count, 2);
    EXPECT_EQ(d.Name(1), "GBP");
    EXPECT_EQ(d.editing.currentRow, 0);
    // quick was (0, 1, 2): index 2 is past the end and becomes 0; index 1 now
    // names GBP, the currency that moved up.
    const int quick[3] = {0, 1, 0};
    EXPECT_EQ(std::memcmp(d.table.workQuick, quick, sizeof quick), 0);
    EXPECT_EQ(d.Ok(0.9), 1);
    EXPECT_EQ(d.File(), "; rates\n1,2,1\nUSD=0.900000\nGBP=1.270000\n");
}

TEST(CurrenciesEditingDelete, LastRemainingLeavesNoRowAndOkSavesNothing)
{
    Dialog d("1,2\nA=1\nB=2\n");
    ASSERT_TRUE(DeleteCurrency(d.table, d.editing, 1));
    ASSERT_TRUE(DeleteCurrency(d.table, d.editing, 0));
    EXPECT_EQ(d.table.count, 0);
    EXPECT_EQ(d.editing.currentRow, -1);
    EXPECT_FALSE(DeleteCurrency(d.table, d.editing, 0));
    EXPECT_EQ(d.Ok(0.0), 0);
    EXPECT_EQ(d.File(), "1,2\nA=1\nB=2\n");
}

TEST(CurrenciesEditingChange, NameCutToSixWithTheNewRate)
{
    Dialog d(kThree);
    ASSERT_TRUE(ChangeCurrency(d.table, d.editing, 1, u"EUROPEAN", 1.1));
    EXPECT_EQ(d.Name(1), "EUROPE");
    EXPECT_EQ(d.table.workRates[1], 1.1);
    EXPECT_EQ(d.table.rates[1], 1.08);
    EXPECT_FALSE(ChangeCurrency(d.table, d.editing, -1, u"X", 1));
    EXPECT_EQ(d.Ok(), 1);
    EXPECT_EQ(d.File(), "; rates\n1,2,3\nUSD=1.000000\nEUROPE=1.100000\nGBP=1.270000\n");
}

TEST(CurrenciesEditingCancel, ChangesOfTheTableStayWithOldRates)
{
    Dialog d(kThree);
    ASSERT_TRUE(ChangeCurrency(d.table, d.editing, 0, u"US", 5));
    ASSERT_TRUE(AddCurrency(d.table, d.editing, u"JPY", 0.007));
    EndCurrenciesEditing(d.table);
    EXPECT_EQ(d.table.workRates, nullptr);
    EXPECT_EQ(d.Name(0), "US");
    EXPECT_EQ(d.table.rates[0], 1.0);
    EXPECT_EQ(d.table.rates[3], 0.0);
    EXPECT_EQ(d.File(), kThree);
}

}  // namespace
