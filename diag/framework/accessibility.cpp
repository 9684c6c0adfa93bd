#include "framework/accessibility.h"

#include <commctrl.h>
#include <oleacc.h>

#include <string>

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kClassNameChars = 16;

// The accessibility library and this thread's apartment, taken on the first question and kept
// to the end of the process: the objects handed to a reader live in the apartment.
class CAccessibilityLibrary {
public:
    static CAccessibilityLibrary& Get()
    {
        static CAccessibilityLibrary library;
        return library;
    }
    CAccessibilityLibrary(const CAccessibilityLibrary&) = delete;
    CAccessibilityLibrary& operator=(const CAccessibilityLibrary&) = delete;

    bool usable() const { return createStd_ && lresultFrom_; }
    HRESULT CreateStd(HWND window, IAccessible** object) const
    {
        return createStd_(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(object));
    }
    LRESULT LresultFrom(WPARAM flags, IUnknown* object) const { return lresultFrom_(IID_IAccessible, flags, object); }

private:
    CAccessibilityLibrary()
        // A thread already in the multithreaded apartment gets RPC_E_CHANGED_MODE: only a
        // successful start is balanced.
        : com_(CoInitialize(nullptr)), module_(LoadLibraryW(L"oleacc.dll"))
    {
        if (!module_)
            return;
        createStd_ = reinterpret_cast<decltype(createStd_)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "CreateStdAccessibleObject")));
        lresultFrom_ = reinterpret_cast<decltype(lresultFrom_)>(
            reinterpret_cast<void*>(GetProcAddress(module_, "LresultFromObject")));
    }
    ~CAccessibilityLibrary()
    {
        // The objects' stubs go with the apartment, before the library's code.
        if (SUCCEEDED(com_))
            CoUninitialize();
        if (module_)
            FreeLibrary(module_);
    }

    HRESULT com_;
    HMODULE module_;
    HRESULT(WINAPI* createStd_)(HWND, LONG, REFIID, void**) = nullptr;
    LRESULT(WINAPI* lresultFrom_)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
};

// The standard object of a button with another description; everything else is the standard
// object's.
class CDescribedButton final : public IAccessible {
public:
    CDescribedButton(IAccessible* standard, std::wstring description)
        : standard_(standard), description_(std::move(description))
    {
    }
    CDescribedButton(const CDescribedButton&) = delete;
    CDescribedButton& operator=(const CDescribedButton&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // Only what does not stand in for the wrapper (not the standard object's marshalling).
        if (iid == IID_IEnumVARIANT || iid == IID_IOleWindow)
            return standard_->QueryInterface(iid, object);
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return ULONG(left);
    }

    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        if (!text || child.vt != VT_I4 || child.lVal != CHILDID_SELF)
            return standard_->get_accDescription(child, text);
        *text = SysAllocString(description_.c_str());
        return *text ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override
    {
        return standard_->GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        return standard_->GetIDsOfNames(iid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* error) override
    {
        return standard_->Invoke(id, iid, lcid, flags, params, result, exception, error);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* text) override
    {
        return standard_->get_accName(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* text) override
    {
        return standard_->get_accValue(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override
    {
        return standard_->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override
    {
        return standard_->get_accKeyboardShortcut(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override
    {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override
    {
        return standard_->get_accDefaultAction(child, text);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override
    {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override
    {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override
    {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR text) override
    {
        return standard_->put_accName(child, text);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR text) override
    {
        return standard_->put_accValue(child, text);
    }

private:
    ~CDescribedButton() { standard_->Release(); }

    LONG references_ = 1;
    IAccessible* standard_;
    std::wstring description_;
};

// WM_GETOBJECT of the client area: the described standard object; 0 (the default answer)
// when it cannot be made.
LRESULT AnswerGetObject(HWND button, WPARAM flags, const std::wstring& description)
{
    const CAccessibilityLibrary& library = CAccessibilityLibrary::Get();
    IAccessible* standard = nullptr;
    if (!library.usable() || FAILED(library.CreateStd(button, &standard)))
        return 0;
    auto* described = new CDescribedButton(standard, description);
    LRESULT result = library.LresultFrom(flags, described);
    described->Release();
    return result > 0 ? result : 0;
}

// Each described button holds its description as the subclass's data, freed with the window.
LRESULT CALLBACK DescribedButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data)
{
    auto* description = reinterpret_cast<std::wstring*>(data);
    if (message == WM_GETOBJECT && DWORD(lParam) == DWORD(OBJID_CLIENT)) {
        if (LRESULT answer = AnswerGetObject(button, wParam, *description))
            return answer;
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(button, DescribedButtonProc, kSubclassId);
        delete description;
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

bool IsOfClass(HWND window, const wchar_t* name)
{
    wchar_t className[kClassNameChars] = {};
    return GetClassNameW(window, className, kClassNameChars) && lstrcmpiW(className, name) == 0;
}

std::wstring WindowText(HWND window)
{
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, &text[0], int(text.size())));
    return text;
}

// The line beside a push button: the next control, when it is a static text whose middle lies
// on the button's rows.
std::wstring LineBeside(HWND button)
{
    LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    HWND next = GetWindow(button, GW_HWNDNEXT);
    RECT buttonRect, lineRect;
    if ((type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) || !next || !IsOfClass(next, WC_STATICW) ||
        !GetWindowRect(button, &buttonRect) || !GetWindowRect(next, &lineRect))
        return std::wstring();
    LONG middle = (lineRect.top + lineRect.bottom) / 2;
    if (middle < buttonRect.top || middle >= buttonRect.bottom || lineRect.left < buttonRect.right)
        return std::wstring();
    return WindowText(next);
}

}  // namespace

void DescribeButtonsByTheirLines(HWND dialog)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsOfClass(child, WC_BUTTONW))
            continue;
        std::wstring line = LineBeside(child);
        if (line.empty())
            continue;
        auto* description = new std::wstring(std::move(line));
        if (!SetWindowSubclass(child, DescribedButtonProc, kSubclassId, reinterpret_cast<DWORD_PTR>(description)))
            delete description;
    }
}
