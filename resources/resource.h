/* Resource, command and control identifiers of Vela.
 *
 * Plain #defines only: this header is read by the resource compiler and by the
 * portable core alike, so it must never include <windows.h>. Identifiers are
 * kept in numbered blocks; the numbers are fixed, because skins, key actions
 * and dialogs address them directly. */
#ifndef VELA_RESOURCE_H
#define VELA_RESOURCE_H

/* --- Menus and soft-key bars (100..199) --------------------------------- */
#define IDM_MAIN                101 /* main menu bar: "Функции" | "Настройки" */
#define IDB_OK_CANCEL           112 /* dialog bar: "Ok" | "Отмена" */
#define IDB_OK_MENU             119 /* dialog bar: "Ok" | "Меню" (currencies) */
#define IDB_OK_MENU_LOAD        124 /* dialog bar: "Ok" | "Меню" with "Загрузить" */

/* --- Dialog templates ---------------------------------------------------- */
#define IDD_FONT                111
#define IDD_PRECISION           113
#define IDD_SKIN                114
#define IDD_CURRENCIES          117
#define IDD_CURRENCY_CHOICE     118
#define IDD_RECORD_EDITOR       120
#define IDD_CONSTANTS           121
#define IDD_CONSTANT_PICK       122
#define IDD_CONSTANT_FILES      123

/* --- Built-in skin bitmaps, one per key layer ---------------------------- */
#define IDB_SKIN_RIGHT          105
#define IDB_SKIN_DOWN           107
#define IDB_SKIN_BASE           108
#define IDB_SKIN_UP             109
#define IDB_SKIN_LEFT           116

/* --- Strings ------------------------------------------------------------- */
#define IDS_FUNCTIONS           102 /* "Функции" */
#define IDS_TITLE               103 /* "Vela Skin" */
#define IDS_OK                  40006 /* soft key "Ok" */
#define IDS_CANCEL              40008 /* soft key "Отмена" */
#define IDS_MENU                40033 /* soft key "Меню" of bar 119 */
#define IDS_MENU_LOAD           40037 /* soft key "Меню" of bar 124 */

/* --- Commands (1, 40001..40099) ------------------------------------------ */
#define IDM_EXIT                1
#define IDM_SETTINGS_BUTTON     40001 /* right soft key, popup "Настройки" */
#define IDS_SETTINGS            40002
#define IDM_ABOUT               40003
#define IDM_FONT                40004
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
#define IDM_CURRENCY_QUICK6     40027
#define IDM_CURRENCY_CHOICE     40028
#define IDM_CURRENCIES          40029
#define IDM_DLG_OK              40030
#define IDM_DLG_CANCEL          40031
#define IDM_DLG_MENU            40032 /* right soft key of bar 119, popup "Меню" */
#define IDM_DLG_MENU_LOAD       40036 /* right soft key of bar 124, popup "Меню" */
#define IDM_DLG_ADD             40038
#define IDM_CONSTANT_PI         40040
#define IDM_CONSTANT_E          40041
#define IDM_CONSTANT_SLOT1      40042 /* 40042..40047: constant slots */
#define IDM_CONSTANT_SLOT6      40047
#define IDM_CONSTANT_CHOICE     40048
#define IDM_CONSTANTS           40049
#define IDM_DLG_DELETE          40050
#define IDM_DLG_EDIT            40051
#define IDM_PASTE               40052
#define IDM_CONSTANT_FILES      40054
#define IDM_CONSTANT_FILES_PICK 40055
#define IDM_COPY                40056

/* --- Controls of the currency and constants dialogs (1001..1030) --------- */
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
#define IDC_CONSTANT_LIST       1027
#define IDC_CONSTANT_SPIN       1007
#define IDC_CONSTANT_VALUE      1028
/* Constant pick (122) and constants files (123). */
#define IDC_PICK_LIST           1029
#define IDC_FILES_LIST          1030

#endif
