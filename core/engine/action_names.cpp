// The names of the 75 key actions, apart from the actions themselves: the
// skin tools print and draw them without running any.
#include "core/engine/engine.h"

namespace {

// The labels the built-in keypad images print, and short names for the
// actions that no built-in key carries.
const char16_t* const kActionLabels[kActionCount] = {
    u"+", u"\u2212", u"*", u"/", u"%", u"1/x", u"x\u02B8", u"\u02E3\u221Ay",           // 0..7
    u"x\u00B2", u"x\u00B3", u"\u221Ax", u"\u00B3\u221Ax", u"\u00B1", u"int", u"F-E",  // 8..14
    u"rd", u"gr", u"deg", u"C", u"CE",                                                // 15..19
    u"M+", u"M\u2212", u"M*", u"M/", u"MS", u"MC", u"MR",                               // 20..26
    u"2\u02E3", u"10\u02E3", u"e\u02E3", u"log\u2082", u"lg", u"ln",                    // 27..32
    u"sin", u"cos", u"tg", u"ctg", u"asin", u"acos", u"atg", u"actg",                 // 33..40
    u"sinh", u"cosh", u"tgh", u"ctgh", u"abs", u"x!", u"\u03C0", u"e",                 // 41..48
    u"or", u"and", u"xor", u"mod", u"not", u"<<", u">>",                              // 49..55
    u"dec", u"hex", u"bin",                                                           // 56..58
    u"conv1", u"conv2", u"conv3", u"conv4", u"conv5", u"conv6", u"conv",              // 59..65
    u"const1", u"const2", u"const3", u"const4", u"const5", u"const6", u"const",       // 66..72
    u"files", u"files+const",                                                         // 73..74
};

// The names a screen reader speaks for the actions: words only, no symbols
// or abbreviations a voice would spell out. One table, in action order.
const char16_t* const kActionSpokenNames[kActionCount] = {
    u"плюс", u"минус", u"умножить", u"разделить", u"процент",                         // 0..4
    u"обратное число", u"возвести в степень", u"корень степени", u"квадрат",         // 5..8
    u"куб", u"квадратный корень", u"кубический корень", u"сменить знак",              // 9..12
    u"целая часть", u"формат с порядком", u"радианы", u"грады", u"градусы",          // 13..17
    u"сбросить всё", u"сбросить число",                                              // 18..19
    u"прибавить к памяти", u"вычесть из памяти", u"умножить память",                 // 20..22
    u"разделить память", u"записать в память", u"очистить память",                   // 23..25
    u"вызвать из памяти", u"два в степени", u"десять в степени", u"е в степени",     // 26..29
    u"двоичный логарифм", u"десятичный логарифм", u"натуральный логарифм",           // 30..32
    u"синус", u"косинус", u"тангенс", u"котангенс",                                  // 33..36
    u"арксинус", u"арккосинус", u"арктангенс", u"арккотангенс",                      // 37..40
    u"гиперболический синус", u"гиперболический косинус",                            // 41..42
    u"гиперболический тангенс", u"гиперболический котангенс",                        // 43..44
    u"модуль", u"факториал", u"число пи", u"число е",                                // 45..48
    u"побитовое или", u"побитовое и", u"исключающее или", u"остаток от деления",     // 49..52
    u"побитовое не", u"сдвиг влево", u"сдвиг вправо",                                // 53..55
    u"десятичная система", u"шестнадцатеричная система", u"двоичная система",        // 56..58
    u"перевод валюты 1", u"перевод валюты 2", u"перевод валюты 3",                   // 59..61
    u"перевод валюты 4", u"перевод валюты 5", u"перевод валюты 6",                   // 62..64
    u"выбор валют",                                                                  // 65
    u"константа 1", u"константа 2", u"константа 3",                                  // 66..68
    u"константа 4", u"константа 5", u"константа 6",                                  // 69..71
    u"выбор константы", u"файл констант", u"файл констант и выбор константы",        // 72..74
};

}  // namespace

const char16_t* ActionLabel(int n) { return n >= 0 && n < kActionCount ? kActionLabels[n] : nullptr; }

const char16_t* ActionSpokenName(int n) { return n >= 0 && n < kActionCount ? kActionSpokenNames[n] : nullptr; }
