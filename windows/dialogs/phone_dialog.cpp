#include "windows/dialogs/phone_dialog.h"

#include "windows/shell/common_controls.h"
#include "windows/shell/shell.h"

bool OpenPhoneDialog(HWND dialog, UINT barId)
{
    SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&init);
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.nToolBarId = barId;
    bar.hInstRes = GetModuleHandleW(nullptr);
    return SHCreateMenuBar(&bar) != FALSE;
}

int RunPhoneDialog(HWND owner, int templateId, DLGPROC procedure, void* request)
{
    LoadCommonControls();  // the templates' up-downs
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, procedure,
                                     reinterpret_cast<LPARAM>(request));
    return result == 1 ? 1 : 0;
}

void KeepRequest(HWND dialog, LPARAM request) { SetWindowLongPtrW(dialog, DWLP_USER, request); }
