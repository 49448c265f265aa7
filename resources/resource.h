/* Resource, command and control identifiers of Vela, in numbered blocks that
 * do not interleave: commands with their soft-key label strings (1 and
 * 40001..40099), menus, bars, dialogs, bitmaps and strings of the program
 * (100..199), further strings (200..299), the program's own icon (300..399),
 * the texts of the rates problems (500..599, numbered in
 * core/lists/rates_texts.inc), and the dialogs' controls (1000..1099).
 *
 * Plain #defines only: this header is read by the resource compiler and by
 * the native key-script runner alike, so it never includes <windows.h>. The
 * numbers are fixed: menu commands arrive by number from the soft-key menus,
 * from key actions 59 to 74 and from the runner's "cmd:N". */
#ifndef VELA_RESOURCE_H
#define VELA_RESOURCE_H

/* --- Commands, and the strings that label their soft keys ----------------- */
#define IDM_EXIT                1
#define IDM_SETTINGS_BUTTON     40001 /* right soft key, popup "Настройки" */
#define IDS_SETTINGS            40002
#define IDM_ABOUT               40003
#define IDM_FONT                40004
#define IDS_OK                  40006 /* soft key "Ok" */
#define IDS_CANCEL              40008 /* soft key "Отмена" */
#define IDM_PRECISION           40009
#define IDM_SKIN                40010
#define IDM_GROUP_DIGITS        40011
#define IDM_ANGLE_RADIAN        40013 /* 40013 + angle unit */
#define IDM_ANGLE_GRAD          40014
#define IDM_ANGLE_DEGREE        40015
#define IDM_FUNCTIONS_BUTTON    40016 /* left soft key, popup "Функции" */
#define IDM_REPR_DECIMAL        40018 /* 40018 + representation */
#define IDM_REPR_HEX            40019
#define IDM_REPR_BINARY         40020
#define IDM_REPR_EXPONENT       40021
#define IDM_CURRENCY_QUICK1     40022 /* 40022..40027: quick conversions */
#define IDM_CURRENCY_QUICK2     40023
#define IDM_CURRENCY_QUICK3     40024
#define IDM_CURRENCY_QUICK4     40025
#define IDM_CURRENCY_QUICK5     40026
#define IDM_CURRENCY_QUICK6     40027
#define IDM_CURRENCY_CHOICE     40028
#define IDM_CURRENCIES          40029
#define IDM_DLG_OK              40030
#define IDM_DLG_CANCEL          40031
#define IDM_DLG_MENU            40032 /* right soft key of bar 119, popup "Меню" */
#define IDS_MENU                40033 /* soft key "Меню" of bar 119 */
#define IDM_DLG_MENU_LOAD       40036 /* right soft key of bar 124, popup "Меню" */
#define IDS_MENU_LOAD           40037 /* soft key "Меню" of bar 124 */
#define IDM_DLG_ADD             40038
#define IDM_CONSTANT_PI         40040
#define IDM_CONSTANT_E          40041
#define IDM_CONSTANT_SLOT1      40042 /* 40042..40047: constant slots */
#define IDM_CONSTANT_SLOT2      40043
#define IDM_CONSTANT_SLOT3      40044
#define IDM_CONSTANT_SLOT4      40045
#define IDM_CONSTANT_SLOT5      40046
#define IDM_CONSTANT_SLOT6      40047
#define IDM_CONSTANT_CHOICE     40048
#define IDM_CONSTANTS           40049
#define IDM_DLG_DELETE          40050
#define IDM_DLG_EDIT            40051
#define IDM_PASTE               40052
#define IDM_CONSTANT_FILES      40054
#define IDM_CONSTANT_FILES_PICK 40055
#define IDM_COPY                40056
#define IDM_LOAD_RATES          40057 /* "Загрузить курсы..." in the currencies' "Меню" */
#define IDM_UPDATE_RATES        40058 /* "Обновить курсы": download the chosen bank's day */
#define IDM_ZOOM_1              40060 /* 40060..40063: zoom x1..x4 */
#define IDM_ZOOM_2              40061
#define IDM_ZOOM_3              40062
#define IDM_ZOOM_4              40063
#define IDM_RATES_BANK_CBR      40064 /* 40064 + RatesBank: the bank to update from */
#define IDM_RATES_BANK_ECB      40065

/* --- Menus, bars, dialogs, bitmaps and strings (100..199) ------------------ */
#define IDM_MAIN                101 /* main menu bar: "Функции" | "Настройки" */
#define IDS_FUNCTIONS           102 /* "Функции" */
#define IDS_TITLE               103 /* "Vela Skin": the title with the built-in skin */
#define IDB_SKIN_RIGHT          105 /* built-in skin, one bitmap per key layer */
#define IDB_SKIN_DOWN           107
#define IDB_SKIN_BASE           108
#define IDB_SKIN_UP             109
#define IDD_FONT                111
#define IDB_OK_CANCEL           112 /* dialog bar: "Ok" | "Отмена" */
#define IDD_PRECISION           113
#define IDD_SKIN                114
#define IDB_SKIN_LEFT           116
#define IDD_CURRENCIES          117
#define IDD_CURRENCY_CHOICE     118
#define IDB_OK_MENU             119 /* dialog bar: "Ok" | "Меню" (currencies) */
#define IDD_RECORD_EDITOR       120
#define IDD_CONSTANTS           121
#define IDD_CONSTANT_PICK       122
#define IDD_CONSTANT_FILES      123
#define IDB_OK_MENU_LOAD        124 /* dialog bar: "Ok" | "Меню" with "Загрузить" */

/* --- Further strings (200..299) -------------------------------------------- */
#define IDS_TITLE_PREFIX        200 /* "Vela - ": the title before a skin's name */
#define IDS_ERROR               201 /* caption of every error box */
#define IDS_SKIN_NOT_FOUND      202
#define IDS_SKIN_READ_FAILED    203
#define IDS_OUT_OF_MEMORY       204
#define IDS_REGISTRY_FAILED     205
#define IDS_NO_PALETTE          206 /* shown once as a skin loads */
#define IDS_BAD_SKIN_FORMAT     207 /* drawn in the display line */
#define IDS_ABOUT               208
#define IDS_ABOUT_CAPTION       209
#define IDS_BUILTIN_SKIN        210 /* the skin list's first item */
#define IDS_EDITOR_CHANGE       211 /* the record editor's captions */
#define IDS_EDITOR_DELETE       212
#define IDS_NO_TRANSLATION      213 /* an edit field could not be made to type "." */
#define IDS_NO_TRANSLATION_CAPTION 214
#define IDS_SHARP_IMAGES_LEFT_OUT 215 /* shown once as a skin loads */
#define IDS_FONT_VERY_SMALL     220 /* the font sizes, smallest first: the stored fontSize is */
#define IDS_FONT_SMALL          221 /* the offset from IDS_FONT_VERY_SMALL */
#define IDS_FONT_NORMAL         222
#define IDS_FONT_LARGE          223
#define IDS_FONT_VERY_LARGE     224
/* Why the record editor refuses a name (%1: the letter at fault). */
#define IDS_NAME_EMPTY          230
#define IDS_NAME_WITH_EQUALS    231
#define IDS_NAME_COMMENT_START  232
#define IDS_NAME_WITH_CONTROL   233
#define IDS_NAME_OUTSIDE_CODE_PAGE 234
/* A record file that could not be loaded or saved: the lead names the file
 * (%1) and the reason (%2), a reason its line (%1). */
#define IDS_FAULT_TEMP_TAKEN    249 /* the reason after IDS_FAULT_NO_MEMORY */
#define IDS_FILE_NOT_SAVED      250
#define IDS_FILE_NOT_LOADED     251
#define IDS_FAULT_READ_ONLY     252
#define IDS_FAULT_NO_PERMISSION 253
#define IDS_FAULT_DISK_FULL     254
#define IDS_FAULT_TOO_LARGE     255
#define IDS_FAULT_NOT_REPLACED  256
#define IDS_FAULT_WRITE_FAILED  257
#define IDS_FAULT_UNREADABLE    258
#define IDS_FAULT_LINE_TOO_LONG 259
#define IDS_FAULT_NO_MEMORY     260
/* A bank's rates file: the caption with its date (%1), where in the file a
 * problem is (%1 the line, %2 the problem), the Open dialog's filter and title. */
#define IDS_RATES_DATE          261
#define IDS_RATES_LINE          262
#define IDS_RATES_FILTER        263
#define IDS_RATES_OPEN_TITLE    264
/* A download under way, in the dialog's status line; one that failed (%1 the
 * address, %2 why). */
#define IDS_RATES_LOADING       265
#define IDS_RATES_NOT_FETCHED   266
/* What a screen reader reads: the display's name, the keys' default action,
 * the soft-key bar's name, a check box's default action when clear and set. */
#define IDS_ACC_DISPLAY         270
#define IDS_ACC_PRESS           271
#define IDS_ACC_SOFT_KEYS       272
#define IDS_ACC_CHECK           273
#define IDS_ACC_UNCHECK         274

/* --- The program's icon (300..399) ---------------------------------------- */
#define IDI_VELA                300

/* --- Controls (1000..1099) ------------------------------------------------- */
/* Font (111) and precision (113): a spinner each, the weight. */
#define IDC_FONT_SIZE_LIST      1000
#define IDC_FONT_SIZE_SPIN      1001
#define IDC_BOLD_CHECK          1002
#define IDC_PRECISION_LIST      1003
#define IDC_PRECISION_SPIN      1004
/* Skin (114). */
#define IDC_SKIN_LIST           1005
/* Currencies (117): three quick-currency spinners, the currency list, rate. */
#define IDC_QUICK1_LIST         1006
#define IDC_QUICK1_SPIN         1008
#define IDC_QUICK2_LIST         1009
#define IDC_QUICK2_SPIN         1010
#define IDC_QUICK3_LIST         1011
#define IDC_QUICK3_SPIN         1012
#define IDC_CURRENCY_LIST       1013
#define IDC_CURRENCY_SPIN       1014
#define IDC_RATE_EDIT           1015
#define IDC_RATES_STATUS        1031 /* the rates' date, or a download under way */
/* Currency choice (118): from and into. */
#define IDC_FROM_LIST           1016
#define IDC_FROM_SPIN           1001
#define IDC_INTO_LIST           1017
#define IDC_INTO_SPIN           1018
/* Name and value editor (120). */
#define IDC_RECORD_NAME         1019
#define IDC_RECORD_VALUE        1020
/* Constants (121): slot pickers 1021..1026 with spinners 1001..1006, the
 * constant picker and the value field. */
#define IDC_SLOT1_LIST          1021
#define IDC_SLOT1_SPIN          1001
#define IDC_SLOT2_LIST          1022
#define IDC_SLOT2_SPIN          1002
#define IDC_SLOT3_LIST          1023
#define IDC_SLOT3_SPIN          1003
#define IDC_SLOT4_LIST          1024
#define IDC_SLOT4_SPIN          1004
#define IDC_SLOT5_LIST          1025
#define IDC_SLOT5_SPIN          1005
#define IDC_SLOT6_LIST          1026
#define IDC_SLOT6_SPIN          1006
#define IDC_CONSTANT_LIST       1027
#define IDC_CONSTANT_SPIN       1007
#define IDC_CONSTANT_VALUE      1028
/* Constant pick (122) and constants files (123). */
#define IDC_PICK_LIST           1029
#define IDC_FILES_LIST          1030

/* --- Menu texts that the key-script runner prints too (UTF-8) -------------- */
#define TEXT_CHOICE             "Выбор..."
#define TEXT_LOAD_AND_CHOOSE    "Загруз.->Выбор"
#define TEXT_PI                 "π"
#define TEXT_E                  "e"

#endif
