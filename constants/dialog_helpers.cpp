// Edit-field helpers: the decimal-key edit, and numbers and names moved
// between a dialog's fields and the program.
#include "constants/dialog_helpers.h"

#include <cstdlib>
#include <cwchar>

namespace {

// The edit's own window procedure sits in its user-data slot.
LRESULT CALLBACK DecimalKeyEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CHAR && (wParam == L'*' || wParam == L'#')) wParam = L'.';
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA));
    if (previous == nullptr) return DefWindowProcW(edit, message, wParam, lParam);
    return CallWindowProcW(previous, edit, message, wParam, lParam);
}

int ErrorResult(DWORD error)
{
    auto code = static_cast<LONG>(error);
    if (code <= 0) return code;
    return static_cast<int>((error & 0xFFFF) | 0x80070000u);
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// White space as the C locale's iswspace knows it.
bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// Length of the decimal number at the start of `text` (after white space and
// sign): digits, one ".", digits, and an exponent only when digits follow its
// "e". 0 when there is no digit in the mantissa.
size_t NumberLength(const wchar_t* text)
{
    size_t i = 0;
    size_t digits = 0;
    while (IsDigit(text[i])) ++i, ++digits;
    if (text[i] == L'.') {
        ++i;
        while (IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (text[i] == L'e' || text[i] == L'E') {
        size_t j = i + 1;
        if (text[j] == L'+' || text[j] == L'-') ++j;
        if (IsDigit(text[j])) {
            while (IsDigit(text[j])) ++j;
            i = j;
        }
    }
    return i;
}

// The number at the start of `text`, read like wcstod but decimal only.
double ParseLeadingNumber(const wchar_t* text)
{
    size_t i = 0;
    while (IsSpace(text[i])) ++i;
    char ascii[kFieldBufferUnits + 1];
    size_t out = 0;
    if (text[i] == L'+' || text[i] == L'-') ascii[out++] = static_cast<char>(text[i++]);
    size_t length = NumberLength(text + i);
    if (length == 0) return 0.0;
    for (size_t k = 0; k < length && out < sizeof ascii - 1; ++k) ascii[out++] = static_cast<char>(text[i + k]);
    ascii[out] = 0;
    // Only digits, sign, "." and "e" reach strtod, so its locale's decimal
    // point is the C locale's and it never sees "inf", "nan" or "0x".
    return std::strtod(ascii, nullptr);
}

}  // namespace

int MakeDecimalKeyEdit(HWND edit)
{
    if (GetWindowLongPtrW(edit, GWLP_USERDATA) != 0) return E_FAIL;
    SetLastError(0);
    LONG_PTR previous = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    SetWindowLongPtrW(edit, GWLP_USERDATA, previous);
    DWORD error = GetLastError();
    if (error == 0) {
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DecimalKeyEditProc));
        error = GetLastError();
        if (error == 0) return 0;
    }
    return ErrorResult(error);
}

double ReadNumberField(HWND dialog, int id)
{
    wchar_t text[kFieldBufferUnits] = {};
    if (GetDlgItemTextW(dialog, id, text, kFieldBufferUnits) <= 0) return 0.0;
    text[kFieldBufferUnits - 1] = 0;
    return ParseLeadingNumber(text);
}

char16_t* ReadTextField(HWND dialog, int id)
{
    auto* text = static_cast<char16_t*>(std::malloc(kFieldBufferUnits * sizeof(char16_t)));
    if (text == nullptr) return nullptr;
    text[0] = 0;
    if (GetDlgItemTextW(dialog, id, reinterpret_cast<wchar_t*>(text), kFieldBufferUnits) <= 0) text[0] = 0;
    text[kFieldBufferUnits - 1] = 0;
    return text;
}

void ShowNumberField(double value, HWND dialog, int id, const wchar_t* format)
{
    auto* text = static_cast<wchar_t*>(std::malloc(kNumberBufferUnits * sizeof(wchar_t)));
    if (text == nullptr) return;
    int written = std::swprintf(text, kNumberBufferUnits, format != nullptr ? format : L"%.6e", value);
    if (written < 0 || written >= kNumberBufferUnits) {
        // Too long for the field's buffer ("%f" of 1e92 and more): the
        // exponent form always fits.
        written = std::swprintf(text, kNumberBufferUnits, L"%.6e", value);
    }
    text[kNumberBufferUnits - 1] = 0;
    if (written >= 0) SetDlgItemTextW(dialog, id, text);
    std::free(text);
}
