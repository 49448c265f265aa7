// The phone's shell on a desktop: soft-key bars, full-screen dialogs and the
// phone's key codes, declared and implemented by us.
//
// A soft-key bar is a strip below its window (or dialog) with a left and a
// right soft key. It is a window of its own, owned by the window it serves
// and kept glued under that window's client area, so the client area stays
// the phone's screen. F1 and F2 press the soft keys; so does a mouse click.
// A soft key either sends its command to the window or opens a popup menu
// upward from the bar; the popup's commands reach the window as WM_COMMAND.
#pragma once

#include <windows.h>

#include "core/keypad/keypad.h"
#include "core/screen/screen.h"

// --- Phone keys ------------------------------------------------------------
// The codes the phone delivers in WM_KEYDOWN, as the keypad handling names
// them. Several coincide with desktop keys of the same code (Enter, the
// arrows, Escape, F3, F8, F9).
#define VK_TACTION  kKeyAction  // centre action key
#define VK_TLEFT    kKeyLeft
#define VK_TUP      kKeyUp
#define VK_TRIGHT   kKeyRight
#define VK_TDOWN    kKeyDown
#define VK_TTALK    kKeyTalk    // green Talk key
#define VK_TSTAR    kKeyStar
#define VK_TPOUND   kKeyPound
#define VK_TBACK    kKeyBack    // reaches an overriding window as WM_HOTKEY
#define VK_TSOFT1   0x70        // left soft key (F1 on a desktop)
#define VK_TSOFT2   0x71        // right soft key (F2)

// --- Soft-key bars ----------------------------------------------------------
#define SHCMBF_EMPTYBAR     0x0001  // no soft keys
#define SHCMBF_HIDDEN       0x0002  // created hidden

struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;       // soft-key bar resource (RCDATA) of hInstRes
    HINSTANCE hInstRes;
    int nBmpId;            // unused
    int cBmpImages;        // unused
    HWND hwndMB;           // out: the bar
    COLORREF clrBk;        // unused
};

// Creates the bar of `info->hwndParent` from bar resource `nToolBarId`.
// A top-level window without owner is sized to the phone's screen.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

// The bar of a window, or null.
HWND SHFindMenuBar(HWND window);

// Bar messages.
#define SHCMBM_GETSUBMENU   (WM_USER + 401)  // 1425: lParam = button command id -> HMENU
#define SHCMBM_GETMENU      (WM_USER + 402)
#define SHCMBM_OVERRIDEKEY  (WM_USER + 403)  // 1427: wParam = key, lParam = MAKELPARAM(mask, flags)

// SHCMBM_OVERRIDEKEY flags, in both halves of lParam (mask and value).
#define SHMBOF_NODEFAULT    0x00000001  // the key does not take its default action
#define SHMBOF_NOTIFY       0x00000002  // the window receives it as WM_HOTKEY

// With the Back key overridden for notification, the window receives
// WM_HOTKEY with lParam = MAKELPARAM(modifiers, VK_TBACK) on press and again
// with MOD_KEYUP among the modifiers on release. Escape and Backspace are the
// desktop's Back key; a window whose bar has an override for VK_BACK (with
// no flags) gets Backspace as an ordinary key instead.
#ifndef MOD_KEYUP
#define MOD_KEYUP 0x1000
#endif

// --- Dialogs ----------------------------------------------------------------
#define SHIDIM_FLAGS               0x0001
#define SHIDIF_DONEBUTTON          0x0001
#define SHIDIF_SIZEDLG             0x0002
#define SHIDIF_SIZEDLGFULLSCREEN   0x0004
#define SHIDIF_SIPDOWN             0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};

// With SHIDIF_SIZEDLG or SHIDIF_SIZEDLGFULLSCREEN the dialog's client area
// becomes the phone's screen, over the main window's.
BOOL SHInitDialog(SHINITDLGINFO* info);

// Edit input modes: accepted by every edit control, without effect here.
#define EM_SETINPUTMODE 0x00DE
#define EIM_SPELL    0
#define EIM_AMBIG    1
#define EIM_NUMBERS  2
#define EIM_TEXT     3

// --- The phone's screen on a desktop ----------------------------------------
enum : int {
    kPhoneScreenWidth = kScreenWidth,  // client width of full-screen windows
    kPhoneScreenHeight = kScreenHeight,  // client height above the soft-key bar
    kSoftKeyBarHeight = 24,
};

// Bar resources (RCDATA) are 16-bit words:
//   menu id (0: none), button count (1 or 2), then per button:
//   command id, label string id, popup index in the menu (0xFFFF: a command).
enum : unsigned { kSoftKeyNoPopup = 0xFFFF };

// The phone's screen, its bars and the full-screen dialogs are drawn `zoom`
// times their size (1..4) from now on; windows already placed keep theirs
// until FitToScreen.
void SetScreenZoom(int zoom);
// Sizes a full-screen window to the (zoomed) screen, where it is, its bar
// following.
void FitToScreen(HWND window);
// The outer size of `window` whose client area is the screen at `zoom`.
SIZE ScreenFrameSize(HWND window, int zoom);

// The menu a bar opens its popups from (owned by the bar), or null.
HMENU SoftKeyBarMenu(HWND bar);
// Presses soft key 0 (left) or 1 (right) as F1/F2 or a click would; returns
// after the popup has closed. False when the bar has no such key.
BOOL PressSoftKey(HWND bar, int button);
// Label of soft key `button`, for tests and painting; empty if none.
const wchar_t* SoftKeyLabel(HWND bar, int button);
// The window whose popup is open, or null: lets a test close it (EndMenu).
HWND SoftKeyMenuOwner();
// Whether the system's high-contrast mode is on: then the bars, the display
// and the keypad take the system's colours and the contrast skin.
bool HighContrastOn();
// Where set, says instead of the system whether high contrast is on: Wine
// 8.0 keeps no high-contrast setting (SPI_SETHIGHCONTRAST fails), so its
// tests decide it here.
using HighContrastProbe = bool (*)();
extern HighContrastProbe highContrastProbe;

// Presses soft key `button` once the messages queued now are handled: for a
// caller that must not wait while its popup is open (a screen reader).
bool PostSoftKeyPress(HWND bar, int button);
// Soft key `button` as a screen reader reads it: a push button named by its
// label, where it is on the screen. False when the bar has no such key.
struct AccessibleItem;
bool SoftKeyAccessible(HWND bar, int button, AccessibleItem& item);
