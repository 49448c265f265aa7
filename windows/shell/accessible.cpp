// One IAccessible implementation for every window of ours that describes
// itself through an AccessibleTree. The object is made afresh for each
// WM_GETOBJECT and holds only the window and its table, so a screen reader
// that keeps it past the window's end gets "disconnected", never a crash.
#include "windows/shell/accessible.h"

#include <new>

#include "windows/shell/system_function.h"

namespace {

// COM and the accessibility library, loaded at a screen reader's first
// request: start-up does not pay for them.
struct OleFunctions {
    decltype(&CoInitializeEx) coInitializeEx;
    decltype(&SysAllocStringLen) sysAllocStringLen;
    decltype(&AccessibleObjectFromWindow) accessibleObjectFromWindow;
    decltype(&LresultFromObject) lresultFromObject;
};

// The functions, or nullptr when the system has not all of them.
const OleFunctions* Ole()
{
    static const OleFunctions functions{
        SystemFunction<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx"),
        SystemFunction<decltype(&SysAllocStringLen)>(L"oleaut32.dll", "SysAllocStringLen"),
        SystemFunction<decltype(&AccessibleObjectFromWindow)>(L"oleacc.dll", "AccessibleObjectFromWindow"),
        SystemFunction<decltype(&LresultFromObject)>(L"oleacc.dll", "LresultFromObject"),
    };
    const bool all = functions.coInitializeEx != nullptr && functions.sysAllocStringLen != nullptr &&
                     functions.accessibleObjectFromWindow != nullptr && functions.lresultFromObject != nullptr;
    return all ? &functions : nullptr;
}

// VariantInit's work, without its library.
void EmptyVariant(VARIANT* variant) { variant->vt = VT_EMPTY; }

struct TreeAccessible : IAccessible {
    LONG references;
    HWND window;
    const AccessibleTree* tree;

    TreeAccessible(HWND w, const AccessibleTree* t) : references(1), window(w), tree(t) {}
    virtual ~TreeAccessible() = default;

    int Count() { return tree->childCount(window); }

    // The child a VARIANT names, or -1.
    int ChildOf(const VARIANT& child)
    {
        if (child.vt != VT_I4) return -1;
        return child.lVal >= 0 && child.lVal <= Count() ? child.lVal : -1;
    }

    HRESULT Describe(const VARIANT& child, AccessibleItem& item)
    {
        if (!IsWindow(window)) return CO_E_OBJNOTCONNECTED;
        const int n = ChildOf(child);
        if (n < 0 || !tree->describe(window, n, item)) return E_INVALIDARG;
        return S_OK;
    }

    static HRESULT Text(const std::wstring& text, BSTR* out)
    {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (text.empty()) return S_FALSE;
        *out = Ole()->sysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    static void SetChild(VARIANT* out, int child)
    {
        out->vt = VT_I4;
        out->lVal = child;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (out == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: screen readers call the interface directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count != nullptr) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        if (parent == nullptr) return E_POINTER;
        *parent = nullptr;
        if (!IsWindow(window)) return CO_E_OBJNOTCONNECTED;
        return Ole()->accessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                          reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        if (count == nullptr) return E_POINTER;
        *count = IsWindow(window) ? Count() : 0;
        return S_OK;
    }
    // The children are simple elements: no object of their own.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        return ChildOf(child) > 0 ? S_FALSE : E_INVALIDARG;
    }
    // One text of the item behind `child`: its name, value or default action.
    HRESULT ItemText(VARIANT child, BSTR* out, std::wstring AccessibleItem::*text)
    {
        AccessibleItem item;
        const HRESULT hr = Describe(child, item);
        if (FAILED(hr)) return out != nullptr ? (*out = nullptr, hr) : E_POINTER;
        return Text(item.*text, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override
    {
        return ItemText(child, out, &AccessibleItem::name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override
    {
        return ItemText(child, out, &AccessibleItem::value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* out) override { return Text(L"", out); }
    // The item behind `child`, for a getter that answers in a VARIANT: `out`
    // is emptied first, so that a failure leaves nothing to free.
    HRESULT DescribeFor(VARIANT child, VARIANT* out, AccessibleItem& item)
    {
        if (out == nullptr) return E_POINTER;
        EmptyVariant(out);
        return Describe(child, item);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override
    {
        AccessibleItem item;
        const HRESULT hr = DescribeFor(child, out, item);
        if (FAILED(hr)) return hr;
        SetChild(out, item.role);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override
    {
        AccessibleItem item;
        const HRESULT hr = DescribeFor(child, out, item);
        if (FAILED(hr)) return hr;
        LONG state = item.state;
        if (!IsWindowVisible(window)) state |= STATE_SYSTEM_INVISIBLE;
        if (GetFocus() == window && ChildOf(child) == (tree->focusedChild ? tree->focusedChild(window) : 0))
            state |= STATE_SYSTEM_FOCUSED;
        SetChild(out, state);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override { return Text(L"", out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override
    {
        if (file != nullptr) *file = nullptr;
        if (topic != nullptr) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* out) override { return Text(L"", out); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override
    {
        if (out == nullptr) return E_POINTER;
        EmptyVariant(out);
        if (GetFocus() != window) return S_FALSE;
        SetChild(out, tree->focusedChild != nullptr ? tree->focusedChild(window) : CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override
    {
        if (out == nullptr) return E_POINTER;
        EmptyVariant(out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override
    {
        return ItemText(child, out, &AccessibleItem::defaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        if (ChildOf(child) < 0) return E_INVALIDARG;
        if (flags & SELFLAG_TAKEFOCUS) SetFocus(window);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
        AccessibleItem item;
        const HRESULT hr = Describe(child, item);
        if (FAILED(hr)) return hr;
        *left = item.screen.left;
        *top = item.screen.top;
        *width = item.screen.right - item.screen.left;
        *height = item.screen.bottom - item.screen.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override
    {
        if (out == nullptr) return E_POINTER;
        EmptyVariant(out);
        const int from = ChildOf(start), count = Count();
        if (from < 0) return E_INVALIDARG;
        int to = -1;
        if (from == 0 && direction == NAVDIR_FIRSTCHILD && count > 0) to = 1;
        if (from == 0 && direction == NAVDIR_LASTCHILD && count > 0) to = count;
        if (from > 0 && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) && from < count) to = from + 1;
        if (from > 0 && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) && from > 1) to = from - 1;
        if (to < 0) return S_FALSE;
        SetChild(out, to);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override
    {
        if (out == nullptr) return E_POINTER;
        EmptyVariant(out);
        if (!IsWindow(window)) return CO_E_OBJNOTCONNECTED;
        const POINT at{x, y};
        for (int child = Count(); child >= 0; --child) {  // the parts before the whole
            AccessibleItem item;
            if (tree->describe(window, child, item) && PtInRect(&item.screen, at)) {
                SetChild(out, child);
                return S_OK;
            }
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (!IsWindow(window)) return CO_E_OBJNOTCONNECTED;
        const int n = ChildOf(child);
        if (n < 0) return E_INVALIDARG;
        return tree->doDefaultAction != nullptr && tree->doDefaultAction(window, n) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }
};

// The object travels to the screen reader through COM, which this thread
// needs for it; the first request starts it, and it stays for the run.
bool ComReady()
{
    static HRESULT started = Ole() != nullptr ? Ole()->coInitializeEx(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
    return SUCCEEDED(started) || started == RPC_E_CHANGED_MODE;
}

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, const AccessibleTree& tree)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !ComReady()) return 0;
    TreeAccessible* object = new (std::nothrow) TreeAccessible(window, &tree);
    if (object == nullptr) return 0;
    const LRESULT result = Ole()->lresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object));
    object->Release();  // the result holds its own reference
    return result > 0 ? result : 0;
}
