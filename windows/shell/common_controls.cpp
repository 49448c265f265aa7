#include "windows/shell/common_controls.h"

#include "windows/shell/system_function.h"

namespace {

using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
using AttachFunction = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
using DetachFunction = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR);
using DefaultFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

struct CommonControls {
    bool tried;
    AttachFunction attach;
    DetachFunction detach;
    DefaultFunction callDefault;
};
CommonControls controls;

}  // namespace

bool LoadCommonControls()
{
    if (controls.tried) return controls.callDefault != nullptr;
    controls.tried = true;
    auto init = SystemFunction<InitFunction>(L"comctl32.dll", "InitCommonControlsEx");
    auto attach = SystemFunction<AttachFunction>(L"comctl32.dll", "SetWindowSubclass");
    auto detach = SystemFunction<DetachFunction>(L"comctl32.dll", "RemoveWindowSubclass");
    auto callDefault = SystemFunction<DefaultFunction>(L"comctl32.dll", "DefSubclassProc");
    if (init == nullptr || attach == nullptr || detach == nullptr || callDefault == nullptr) return false;
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    init(&classes);
    controls.attach = attach;
    controls.detach = detach;
    controls.callDefault = callDefault;
    return true;
}

bool AttachSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data)
{
    return controls.attach != nullptr && controls.attach(window, procedure, id, data) != FALSE;
}

void DetachSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id)
{
    if (controls.detach != nullptr) controls.detach(window, procedure, id);
}

LRESULT DefaultSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (controls.callDefault != nullptr) return controls.callDefault(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}
