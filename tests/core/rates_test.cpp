// Central banks' daily files into currency.txt: the whole file an import
// writes, the message a broken file gets, and that nothing but a good import
// ever changes the old file.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/lists/rates_import.h"
#include "core/lists/record_list.h"
#include "tests/core/support.h"

namespace {

// Test texts are UTF-8; the currency file and the Bank of Russia's files are
// Windows-1251.
std::string Cp1251(const std::string& utf8)
{
    std::u16string text;
    EXPECT_TRUE(Utf16FromUtf8(utf8, text));
    std::string bytes;
    for (char16_t unit : text) bytes += static_cast<char>(EncodeNameUnit(unit));
    return bytes;
}

std::string Readable(const std::string& cp1251)
{
    std::u16string text;
    for (char byte : cp1251) text += DecodeNameByte(static_cast<unsigned char>(byte));
    std::string utf8;
    AppendUtf8(utf8, text.c_str());
    return utf8;
}

std::string Valute(const std::string& code, const std::string& nominal, const std::string& value,
                   const std::string& name = "X")
{
    return "<Valute ID=\"R01\"><NumCode>1</NumCode><CharCode>" + code + "</CharCode><Nominal>" + nominal +
           "</Nominal><Name>" + name + "</Name><Value>" + value + "</Value></Valute>\n";
}

std::string Cbr(const std::string& valutes, const std::string& encoding = "windows-1251",
                const std::string& date = "15.01.2026")
{
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n<ValCurs Date=\"" + date + "\" name=\"Market\">\n" +
           valutes + "</ValCurs>\n";
}

std::string Ecb(const std::string& cubes)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gesmes:Envelope xmlns:gesmes=\"http://www.gesmes.org\">\n"
           "\t<gesmes:subject>Reference rates</gesmes:subject>\n\t<Cube>\n\t\t<Cube time='2026-01-15'>\n" +
           cubes + "\t\t</Cube>\n\t</Cube>\n</gesmes:Envelope>\n";
}

std::string CrLf(std::string text)
{
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) text.insert(at, "\r");
    return text;
}

// The text in UTF-16 with its byte order mark, little or big endian.
std::string Utf16(const std::string& utf8, bool bigEndian)
{
    std::u16string text;
    EXPECT_TRUE(Utf16FromUtf8(utf8, text));
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

const std::string kUsd = Valute("USD", "1", "80,2500");
// What an import of the dollar alone from the Bank of Russia writes.
std::string UsdOn(const std::string& date) { return "; Курсы ЦБ РФ на " + date + "\n1,2,1\nРубль=1.000000\nДоллар=80.250000\n"; }
const std::string kOld = "; мои курсы\n3,1,2\nДоллар=70\nРубль=1\nЕвро=90\nФунт=100\n";

struct ImportRow {
    std::string old;       // currency.txt before, UTF-8; "-": none
    std::string bank;      // the downloaded file, as its bytes
    std::string imported;  // currency.txt after, UTF-8; or the line and message of a refusal
};

const ImportRow kImportRows[] = {
    // Nominals divided out, a decimal comma, references in a name; without an old table the quick
    // currencies are the base, the dollar, the euro as far as the file has them.
    {"-",
     Cbr(kUsd + Valute("TRY", "10", "18,70", "&#1058;&#x443;&#x44a;рецких &quot;лир&quot; &amp; &lt;&gt;&apos;") +
         Valute("JPY", "100", "51,5") + Valute("VND", "10000", "30,5000") + Valute("BYN", "1", "27.2")),
     "; Курсы ЦБ РФ на 15.01.2026\n1,2,3\nРубль=1.000000\nДоллар=80.250000\nЛира=1.870000\nИена=0.515000\n"
     "Донг=0.003050000\nРуб.бл=27.200000\n"},
    // UTF-8 with its byte order mark, CR LF, comments, spaces and both quotes around everything.
    {"-",
     CrLf("\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8' ?>\n<!-- курсы -->\n<ValCurs  Date = '15.01.2026'\n>"
          "<Valute ID=\"R1\">\n <CharCode> EUR </CharCode><!-- - -->\n <Nominal>1</Nominal> <Name>Евро</Name>\n"
          " <Value>\n93,4\n</Value>\n</Valute\n>\n</ValCurs>\n<!-- end -->\n"),
     "; Курсы ЦБ РФ на 15.01.2026\n1,2,1\nРубль=1.000000\nЕвро=93.400000\n"},
    // The European Central Bank: units per euro.
    {"-", Ecb("<Cube currency='USD' rate='1.25'/><Cube currency=\" SEK\" rate=\"11.2 \" /><Cube currency='INR' rate='90'/>"
              "<Cube currency='IDR' rate='18000'/>"),
     "; Курсы ЕЦБ на 15.01.2026\n1,2,3\nЕвро=1.000000\nДоллар=0.800000\nКр.шв.=0.08928571\nРуп.ин=0.01111111\nРуп.ид=0.00005555556\n"},
    {"-", CrLf("Date, USD, JPY, GBP, RON, MDL, \n15 January 2026, 1.0875, 160, N/A, 5, 20, \n"),
     "; Курсы ЕЦБ на 15.01.2026\n1,2,3\nЕвро=1.000000\nДоллар=0.919540\nИена=0.006250000\nЛей.рм=0.200000\nЛей.мд=0.05000000\n"},
    // Quick currencies stay on theirs by name or ISO code; the pound the file lacks stays, marked;
    // the user's comments stay.
    {kOld, Cbr(kUsd + Valute("EUR", "1", "93,4")),
     "; Курсы ЦБ РФ на 15.01.2026\n; Нет в файле ЦБ РФ, курсы прежние: Фунт\n; мои курсы\n3,2,1\nРубль=1.000000\n"
     "Доллар=80.250000\nЕвро=93.400000\nФунт=100.000000\n"},
    {"1,3,2\nUSD=70\nЕвро=90\nRUB=1\n", Cbr(kUsd),
     "; Курсы ЦБ РФ на 15.01.2026\n; Нет в файле ЦБ РФ, курсы прежние: Евро\n2,1,3\nРубль=1.000000\n"
     "Доллар=80.250000\nЕвро=90.000000\n"},
    // Old rates in roubles come over in euros, through the euro both tables hold; the last import's
    // lines go, the other comments stay, all before the header.
    {"; Курсы ЦБ РФ на 01.01.2026\n; Нет в файле ЦБ РФ, курсы прежние: A\n; своё\n1,2,3\n; под\nРубль=1\nЕвро=90\n"
     "Юань=12\n",
     Ecb("<Cube currency='USD' rate='1.25'/>"),
     "; Курсы ЕЦБ на 15.01.2026\n; Нет в файле ЕЦБ, курсы прежние: Рубль, Юань\n; своё\n; под\n3,1,4\n"
     "Евро=1.000000\nДоллар=0.800000\nРубль=0.01111111\nЮань=0.133333\n"},
    // Names earlier versions gave follow their currency: codes, and the shipped "Крона" for SEK.
    {"1,2,3\nРубль=1\nКрона=8\nBYN=27\nINR=1\nПесо=4\n",
     Cbr(Valute("SEK", "1", "8,5") + Valute("NOK", "1", "7,5") + Valute("BYN", "1", "27,5") +
         Valute("INR", "100", "95") + Valute("CUP", "1", "3,5")),
     "; Курсы ЦБ РФ на 15.01.2026\n1,2,4\nРубль=1.000000\nКр.шв.=8.500000\nКр.нор=7.500000\nРуб.бл=27.500000\n"
     "Руп.ин=0.950000\nПес.кб=3.500000\n"},
    // The shipped sentence naming the base currency follows the file; the user's own comments stay.
    {"; Курсы ЦБ РФ на 01.01.2026\n; Курсы валют для Vela: стоимость одной единицы валюты в рублях.\n; мои\n"
     "1,1,1\nРубль=1\nЕвро=100\n",
     Ecb("<Cube currency='USD' rate='1.25'/>"),
     "; Курсы ЕЦБ на 15.01.2026\n; Нет в файле ЕЦБ, курсы прежние: Рубль\n"
     "; Курсы валют для Vela: стоимость одной единицы валюты в евро.\n; мои\n3,3,3\nЕвро=1.000000\n"
     "Доллар=0.800000\nРубль=0.01000000\n"},
    {"1,2,3\nA=2\nB=3\n", Cbr(kUsd),
     "; Курсы ЦБ РФ на 15.01.2026\n; Нет в файле ЦБ РФ, курсы прежние, не пересчитаны: A, B\n3,4,3\nРубль=1.000000\n"
     "Доллар=80.250000\nA=2.000000\nB=3.000000\n"},

    // Refused: the line and what is wrong.
    {kOld, Cbr(kUsd).substr(0, Cbr(kUsd).find("</ValCurs>")), "4: файл обрывается: нет </ValCurs>"},
    {kOld, Cbr(kUsd).substr(0, Cbr(kUsd).find(" ID=")), "3: файл обрывается в теге <Valute>"},
    {kOld, Cbr(kUsd).substr(0, Cbr(kUsd).find("R01")), "3: значение не закрыто кавычкой"},
    {kOld, Cbr(kUsd).substr(0, Cbr(kUsd).find("SD<")), "3: файл обрывается: нет </CharCode>"},
    {kOld, Cbr(kUsd).substr(0, Cbr(kUsd).find("Code><N")), "3: файл обрывается"},
    {kOld, "<ValCurs name='x'>" + kUsd + "</ValCurs>", "1: у ValCurs нет даты (Date)"},
    {kOld, Cbr(kUsd + Valute("EUR", "1", "0,0")), "4: курс EUR не больше нуля"},
    {kOld, Cbr(Valute("EUR", "1", "-93,4")), "3: неверный курс «-93,4»"},
    {kOld, Cbr(Valute("EUR", "0", "93,4")), "3: неверный номинал «0»"},
    {kOld, Cbr(Valute("EUR", "1", std::string(1 << 20, '9'))), "3: значение длиннее 256 байт"},
    {kOld, Cbr(kUsd, "koi8-r"), "1: кодировка «koi8-r» не поддерживается, только windows-1251 и utf-8"},
    {kOld, "\xEF\xBB\xBF" + Cbr(kUsd), "1: метка UTF-8 в начале, а кодировка windows-1251"},
    {kOld, Cbr(""), "0: в файле нет ни одной валюты"}, {kOld, Cbr(kUsd + kUsd), "4: валюта USD уже была в файле"},
    {kOld, Cbr(Valute("RUB", "1", "1")), "3: курс базовой валюты RUB в файле"},
    {kOld, Cbr(Valute("usd", "1", "1")), "3: неверный код валюты «usd»"},
    {kOld, Cbr("<Valute><CharCode>USD</CharCode><Value>1</Value></Valute>"), "3: у Valute нет элемента Nominal"},
    {kOld, Cbr(Valute("USD", "1", "1", "&nbsp;")), "3: неизвестная сущность «&nbsp;»"},
    {kOld, Cbr(Valute("USD", "1", "1", "&#0;")), "3: неверная ссылка на символ «&#0;»"},
    {kOld, Cbr(Valute("USD", "1", "1", "&#xD800;")), "3: неверная ссылка на символ «&#xD800;»"},
    {kOld, Cbr(Valute("USD", "1", "1", "a & b")), "3: «&» без «;»: «& b</Name><V»"},
    {kOld, Cbr(Valute("USD", "1", "1", Cp1251("Доллар")), "utf-8"), "3: неверный UTF-8: байт 0xC4"},
    {kOld, Cbr(Valute("USD", "1", "1", "\x01")), "3: недопустимый управляющий символ 0x01"},
    {kOld, "<!DOCTYPE ValCurs>" + Cbr(kUsd), "1: «<!DOCTYPE» не поддерживается"},
    {kOld, Cbr(Valute("USD", "1", "<![CDATA[1]]>")), "3: «<![CDATA[» не поддерживается"},
    {kOld, Cbr(kUsd + "<?pi?>"), "4: инструкции <?…?> не поддерживаются"},
    {kOld, Cbr(kUsd + "</Valute>"), "4: тег </Valute> не к месту"},
    {kOld, Cbr(kUsd) + "<ValCurs/>", "5: второй корневой элемент <ValCurs>"},
    {kOld, Cbr(kUsd) + "x", "5: текст вне корневого элемента: «x»"},
    {kOld, Cbr("<Valute ID=R1/>"), "3: неожиданное «R1/></Va»"},
    {kOld, Cbr(std::string(20, '<') + "a>"), "3: неожиданное «<<<<<<<<»"},
    {kOld, Cbr(std::string("<a>") + "<a><a><a><a><a><a><a><a><a><a><a><a><a><a><a>"), "3: вложенность глубже 16 элементов"},
    {kOld, "<Rates/>", "1: корневой элемент <Rates>: нужен ValCurs (ЦБ РФ) или gesmes:Envelope (ЕЦБ)"},
    {kOld, Ecb("<Cube currency='USD'/>"), "6: у Cube нет атрибута rate"},
    {kOld, Ecb("<Cube currency='USD' rate='1e3'/>"), "6: неверный курс «1e3»"},
    {kOld, Ecb("</Cube><Cube time='2026-01-14'>"), "6: в файле курсы за несколько дней: нужен дневной файл"},
    {kOld, Ecb("").replace(Ecb("").find("2026-01-15"), 10, "2026-02-30"), "5: неверная дата «2026-02-30»"},
    {kOld, "<gesmes:Envelope><Cube currency='USD' rate='1'/></gesmes:Envelope>", "1: курс вне Cube с датой (time)"},
    {kOld, "Date, USD\n15 January 2026, 1, 2\n", "2: число полей не то, что в строке 1"},
    {kOld, "Date, USD\n15 January 2026, 1\n16 January 2026, 1\n", "3: в файле курсы за несколько дней: нужен дневной файл"},
    // The ECB's history: ISO dates, a day a line.
    {kOld, "Date,USD,JPY,\n2026-01-20,1.0875,162.34,\n2026-01-19,1.0880,162.1,\n",
     "3: в файле курсы за несколько дней: нужен дневной файл"},
    {"-", "Date,USD,\n2026-01-20,1.25,\n", "; Курсы ЕЦБ на 20.01.2026\n1,2,1\nЕвро=1.000000\nДоллар=0.800000\n"},
    // A web page saved or served instead of the file.
    {kOld, "<html><body>Not found</body></html>", "0: это веб-страница, а не файл курсов"},
    {kOld, "\r\n<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">\n<title>404 Not Found</title>",
     "0: это веб-страница, а не файл курсов"},
    {kOld, "<?xml version=\"1.0\"?>\n<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\"/>",
     "0: это веб-страница, а не файл курсов"},
    // UTF-16, as editors save files now and then: read whatever the declaration says.
    {"-", Utf16(Cbr(Valute("USD", "1", "80,25", "Доллар США")), false), UsdOn("15.01.2026")},
    {"-", Utf16(Ecb("<Cube currency='USD' rate='1.25'/>"), true).substr(2),
     "; Курсы ЕЦБ на 15.01.2026\n1,2,1\nЕвро=1.000000\nДоллар=0.800000\n"},
    {kOld, Utf16(Cbr(kUsd), false) + std::string("\x00\xD8", 2), "5: неверный UTF-16: 0xD800"},
    {kOld, Utf16(Cbr(kUsd), false) + "<", "5: файл обрывается"},
    {kOld, "Date, USD\n15 Januar 2026, 1\n", "2: неверная дата «15 Januar 2026»"},
    {kOld, "Date, USD\n", "1: нет строки курсов"},
    {kOld, "PK\x03\x04zip", "0: это zip-архив: распакуйте из него eurofxref.csv"},
    {kOld, "\n\n{\"rates\":1}", "3: это не файл курсов ЦБ РФ или ЕЦБ: «{\"rates\":1}»"},
    {kOld, " \r\n", "0: файл пуст"},
    // Dates: leap years by the calendar's rules; codes of three letters; a value of 256 bytes at most.
    {"-", Cbr(kUsd, "windows-1251", "29.02.2000"), UsdOn("29.02.2000")},
    {"-", Cbr(kUsd, "windows-1251", "29.02.2024"), UsdOn("29.02.2024")},
    {kOld, Cbr(kUsd, "windows-1251", "29.02.2100"), "2: неверная дата «29.02.2100»"},
    {"-", Cbr(kUsd, "windows-1251", "01.01.1000"), UsdOn("01.01.1000")},
    {kOld, Cbr(kUsd, "windows-1251", "31.12.0999"), "2: неверная дата «31.12.0999»"},
    {kOld, Cbr(kUsd, "windows-1251", "29.02.2025"), "2: неверная дата «29.02.2025»"},
    {kOld, Cbr(kUsd, "windows-1251", "00.01.2026"), "2: неверная дата «00.01.2026»"},
    {kOld, Cbr(kUsd, "windows-1251", "31.04.2026"), "2: неверная дата «31.04.2026»"},
    {kOld, Cbr(kUsd, "windows-1251", "32.05.2026"), "2: неверная дата «32.05.2026»"},
    {kOld, Ecb("").replace(Ecb("").find("2026-01-15"), 10, "2026/01/15"), "5: неверная дата «2026/01/15»"},
    {kOld, Cbr(Valute("USDX", "1", "1")), "3: неверный код валюты «USDX»"},
    {kOld, Cbr("<Valute><Nominal>1</Nominal><Value>1</Value></Valute>"), "3: у Valute нет элемента CharCode"},
    {kOld, Ecb("<Cube currency='USD' rate='0'/>"), "6: курс USD не больше нуля"},
    {kOld, "Date,EUR,\n2026-01-20,1,\n", "1: курс базовой валюты EUR в файле"},
    {kOld, "Date,USD\n2026-01-20,1\x01\n", "2: недопустимый байт 0x01"},
    {"-", Cbr(Valute("&#x4A;PY", "100", "50")), "; Курсы ЦБ РФ на 15.01.2026\n1,2,1\nРубль=1.000000\nИена=0.500000\n"},
    {kOld, Cbr(Valute("USD", "0000000001", "1")), "3: неверный номинал «0000000001»"},
    // A rate of 39 characters is read; one of 40 is no rate a bank writes.
    {"-", Cbr(Valute("USD", "1", "80,25" + std::string(34, '0'))), UsdOn("15.01.2026")},
    {kOld, Cbr(Valute("USD", "1", "80,25" + std::string(35, '0'))),
     "3: неверный курс «80,2500000000000000000000000000000000000»"},
    {"-", Cbr(Valute("USD", "1", "80,25", std::string(256, 'x'))), UsdOn("15.01.2026")},
    {kOld, std::string(kRatesFileLimit + 1, ' '), "0: файл больше 2 МБ: это не дневной файл курсов"},
};

TEST(Rates, BankFilesWriteTheCurrencyFile)
{
    for (const ImportRow& row : kImportRows) {
        TestFolder folder;
        const std::string old = row.old == "-" ? "(none)" : Cp1251(row.old);
        if (row.old != "-") folder.Write("currency.txt", old);
        RatesProblem problem;
        RatesImport import;
        const RatesOutcome prepared =
            PrepareRatesImport(row.bank.data(), row.bank.size(), folder.folder.c_str(), import, problem);
        EXPECT_EQ(folder.Read("currency.txt"), old);
        EXPECT_EQ(folder.Read("~tmpcur~.txt"), "(none)");
        const RatesOutcome outcome =
            prepared == kRatesWritten ? SaveRatesImport(import, folder.folder.c_str(), problem) : prepared;
        std::string message = std::to_string(problem.line) + ": ";
        AppendUtf8(message, RatesProblemText(problem).c_str());
        EXPECT_EQ(outcome == kRatesWritten ? Readable(folder.Read("currency.txt")) : message, row.imported)
            << row.bank.substr(0, 300);
        EXPECT_EQ(folder.Read("currency.txt"), outcome == kRatesWritten ? RatesImportText(import) : old);
        if (outcome == kRatesWritten) {  // the date the first line gives
            std::string date;
            AppendUtf8(date, import.date);
            EXPECT_EQ(row.imported.substr(row.imported.find('\n') - 10, 10), date);
        }
    }
}

TEST(Rates, ACurrencyFileThatCannotBeReadOrReplacedIsKept)
{
    const std::string bank = Cbr(kUsd);
    // Records past a line too long to read would be lost by a rewrite.
    const std::string tooLong = "1\nA=1\n;" + std::string((16 << 20) + 1, 'x') + "\nB=2\n";
    const struct {
        const char* holds;
        RecordFault fault;
    } rows[] = {{"a folder", kRecordUnreadable}, {"too long", kRecordLineTooLong}, {"read-only", kRecordReadOnly}};
    for (const auto& row : rows) {
        TestFolder folder;
        const std::string old = row.fault == kRecordLineTooLong ? tooLong : "1\nA=1\n";
        if (row.fault == kRecordUnreadable) std::filesystem::create_directory(folder.path / "currency.txt");
        else folder.Write("currency.txt", old);
        if (row.fault == kRecordReadOnly)
            std::filesystem::permissions(folder.path / "currency.txt", std::filesystem::perms::owner_read);
        RatesProblem problem;
        EXPECT_EQ(ImportRates(bank.data(), bank.size(), folder.folder.c_str(), problem), kRatesNotWritten) << row.holds;
        EXPECT_EQ(problem.file.fault, row.fault) << row.holds;
        if (row.fault != kRecordUnreadable) {
            EXPECT_EQ(folder.Read("currency.txt"), old) << row.holds;
        }
    }
}

// Every currency of the banks' daily files (the Bank of Russia's of 2025 and
// the ECB's, the lev of its older files too) gets a Russian name of its own.
const char* const kCbrCodes[] = {
    "AUD", "AZN", "DZD", "GBP", "AMD", "BHD", "BYN", "BGN", "BOB", "BRL", "HUF", "VND", "HKD", "GEL",
    "DKK", "AED", "USD", "EUR", "EGP", "INR", "IDR", "IRR", "KZT", "CAD", "QAR", "KGS", "CNY", "CUP",
    "MDL", "MNT", "NGN", "NZD", "NOK", "OMR", "PLN", "SAR", "RON", "XDR", "SGD", "TJS", "THB", "BDT",
    "TRY", "TMT", "UZS", "UAH", "CZK", "SEK", "CHF", "ETB", "RSD", "ZAR", "KRW", "JPY", "MMK"};
const char* const kEcbCodes[] = {"USD", "JPY", "BGN", "CZK", "DKK", "GBP", "HUF", "PLN", "RON", "SEK",
                                 "CHF", "ISK", "NOK", "TRY", "AUD", "BRL", "CAD", "CNY", "HKD", "IDR",
                                 "ILS", "INR", "KRW", "MXN", "MYR", "NZD", "PHP", "SGD", "THB", "ZAR"};

TEST(Rates, EveryCurrencyOfTheBanksHasAFixedRussianName)
{
    std::string cbr, ecb;
    for (const char* code : kCbrCodes) cbr += Valute(code, "1", "2,5");
    for (const char* code : kEcbCodes) ecb += std::string("<Cube currency='") + code + "' rate='2.5'/>";
    std::vector<std::u16string> all;
    const struct {
        std::string bank;
        size_t count;
    } banks[] = {{Cbr(cbr), std::size(kCbrCodes)}, {Ecb(ecb), std::size(kEcbCodes)}};
    for (const auto& [bank, count] : banks) {
        TestFolder folder;
        RatesProblem problem;
        RatesImport import;
        ASSERT_EQ(PrepareRatesImport(bank.data(), bank.size(), folder.folder.c_str(), import, problem), kRatesWritten);
        EXPECT_EQ(import.names.size(), 1 + count);
        for (size_t i = 0; i < import.names.size(); ++i) {
            const std::u16string& name = import.names[i];
            std::string shown;
            AppendUtf8(shown, name.c_str());
            EXPECT_LE(name.size(), 6u) << shown;
            char16_t offending = 0;
            EXPECT_EQ(CheckRecordName(name.c_str(), offending), kNameStorable) << shown;
            EXPECT_GE(name[0], u'\u0400') << shown << ": a code, not a Russian name";
            for (size_t j = 0; j < i; ++j) EXPECT_NE(import.names[j], name) << shown;
            all.push_back(name);
        }
    }
    // A whole day imported into the shipped table: every old record is one of the day's currencies.
    const std::string day = Cbr(cbr);
    TestFolder shipped;
    shipped.Write("currency.txt", TestFolder::ReadPath(std::string(VELA_SAMPLES) + "/currency.txt"));
    RatesProblem problem;
    RatesImport import;
    ASSERT_EQ(PrepareRatesImport(day.data(), day.size(), shipped.folder.c_str(), import, problem), kRatesWritten);
    EXPECT_EQ(import.names.size(), 1 + std::size(kCbrCodes));
    EXPECT_EQ(import.head.find(Cp1251("Нет в файле")), std::string::npos) << Readable(import.head);

    // Both banks name a currency alike: the kronor, the rupees, the dollars.
    for (const char16_t* name : {u"Кр.шв.", u"Кр.нор", u"Кр.дат", u"Кр.чеш", u"Кр.исл", u"Руп.ин", u"Руп.ид"})
        EXPECT_EQ(std::count(all.begin(), all.end(), name), name[3] == u'и' && name[4] == u'с' ? 1 : 2);
}

// Rates keep seven significant digits whatever their size: in the file an
// import writes, through a save from the dialog and a reload, and in what
// 100 euros convert into.
const struct {
    const char* code;
    const char* perEuro;  // in the bank's file
    const char* written;  // the worth of one unit, in currency.txt
} kDigitRows[] = {
    {"XAU", "0.0001", "10000.000000"}, {"KWD", "0.3345", "2.989537"}, {"USD", "1.0875", "0.919540"},
    {"JPY", "162.34", "0.006159911"}, {"KRW", "1600.25", "0.0006249024"}, {"IDR", "19412.55", "0.00005151307"},
    {"XBT", "100000", "0.00001000000"}, {"XXB", "10.0000001", "0.100000"},
};

TEST(Rates, RatesKeepSevenDigits)
{
    std::string cubes;
    for (const auto& row : kDigitRows)
        cubes += std::string("<Cube currency='") + row.code + "' rate='" + row.perEuro + "'/>";
    const std::string bank = Ecb(cubes);
    TestFolder folder;
    RatesProblem problem;
    ASSERT_EQ(ImportRates(bank.data(), bank.size(), folder.folder.c_str(), problem), kRatesWritten);
    const std::string imported = folder.Read("currency.txt");

    RecordList table;
    InitList(table, kCurrencyKind);
    ASSERT_EQ(LoadList(table, folder.folder.c_str(), u"currency"), 1 + static_cast<int>(std::size(kDigitRows)));
    ASSERT_TRUE(BeginEditing(table));
    table.modified = 1;
    EXPECT_EQ(FinishEditing(table, table.picks, table.values[0], folder.folder.c_str()), 1);
    EXPECT_EQ(folder.Read("currency.txt"), imported);
    LoadList(table, folder.folder.c_str(), u"currency");
    for (size_t i = 0; i < std::size(kDigitRows); ++i) {
        const auto& row = kDigitRows[i];
        EXPECT_NE(imported.find(std::string("=") + row.written + "\n"), std::string::npos)
            << row.code << " in " << imported;
        EngineState engine{};
        engine.value = 100;
        ConvertCurrency(table, engine, 0, static_cast<int>(i) + 1);
        const double exact = 100 * std::strtod(row.perEuro, nullptr);
        EXPECT_NEAR(engine.value / exact, 1, 5e-7) << row.code;
    }
    ReleaseList(table);
}

const struct {
    const char* file;  // currency.txt, UTF-8; nullptr: none
    const char* date;  // "": none
} kDateRows[] = {
    {"; Курсы ЦБ РФ на 15.01.2026\n1,2,3\nA=1\n", "15.01.2026"}, {"\r\n; курсы на 01.02.2026 \r\n1\n", "01.02.2026"},
    {"; Rates\n; Курсы ЦБ РФ на 15.01.2026\n1\n", ""}, {"1,2,3\n; Курсы ЦБ РФ на 15.01.2026\n", ""},
    {"; на 15.01.20266\n", ""}, {"; на15.01.2026\n", ""}, {"; 15-01-2026\n", ""}, {nullptr, ""},
};

TEST(Rates, TheDateComesFromTheFirstComment)
{
    for (const auto& row : kDateRows) {
        TestFolder folder;
        if (row.file != nullptr) folder.Write("currency.txt", Cp1251(row.file));
        char16_t date[kRatesDateCapacity] = u"x";
        const bool found = ReadRatesDate(folder.folder.c_str(), date);
        std::string shown;
        AppendUtf8(shown, date);
        EXPECT_EQ(found, *row.date != 0) << row.file;
        EXPECT_EQ(shown, row.date) << row.file;
    }
}

}  // namespace
