#include "ui/phone_dialog.h"

#include "shell/shell.h"
#include "ui/main_window.h"

HINSTANCE ProgramInstance()
{
    return mainWindowState.instance != nullptr ? mainWindowState.instance : GetModuleHandleW(nullptr);
}

bool OpenPhoneDialog(HWND dialog, UINT barId)
{
    SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&init);
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.nToolBarId = barId;
    bar.hInstRes = ProgramInstance();
    return SHCreateMenuBar(&bar) != FALSE;
}

int RunPhoneDialog(HWND owner, int templateId, DLGPROC procedure)
{
    INT_PTR result = DialogBoxParamW(ProgramInstance(), MAKEINTRESOURCEW(templateId), owner, procedure, 0);
    return result == 1 ? 1 : 0;
}
