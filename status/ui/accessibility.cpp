// Each part of the status window answers WM_GETOBJECT with the system's standard object for its
// window, wrapped: the wrapper says the part's role, and its name, value and the names of its
// children where the standard object cannot know them (the progress bar and its pages, the
// lists and tabs by their pages, the toolbar buttons by their tooltips); everything else is
// the standard object's. The panes that only paint keep what they show as their window text,
// which the standard object reads as their name. The same subclass remembers which part took
// the keyboard focus last.
//
// The wrapper is a COM object in C style, a struct whose first member points to its table of
// functions, as the rest of the window has no classes. The accessibility and COM libraries are
// loaded on the first WM_GETOBJECT, not at start-up: a window no reader asks costs nothing.
#define CINTERFACE
#include "ui/accessibility.h"
#include <commctrl.h>
#include <oleacc.h>
#include "app/protocol.h"
#include "app/state.h"
#include "app/strings.h"
#include "res/resource.h"
#include "ui/drawing.h"

// Also the buffer of the progress text.
#define PART_TEXT_CHARS FORMATTED_TEXT_CHARS

// ---- The libraries, loaded on the first question ----

struct AccessibilityLibraries {
    BOOL tried;                 // loading was attempted; it is not retried
    BOOL comStarted;            // this thread's COM was initialised here: balanced at shutdown
    HMODULE oleacc, ole32, oleaut32;
    HRESULT(WINAPI* CreateStdAccessibleObject)(HWND, LONG, REFIID, void**);
    LRESULT(WINAPI* LresultFromObject)(REFIID, WPARAM, LPUNKNOWN);
    HRESULT(WINAPI* CoInitializeEx)(LPVOID, DWORD);
    void(WINAPI* CoUninitialize)(void);
    BSTR(WINAPI* SysAllocString)(const OLECHAR*);
};

static AccessibilityLibraries s_libraries;

template <typename F>
static BOOL Bind(HMODULE module, const char* name, F* function)
{
    *function = module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : NULL;
    return *function != NULL;
}

void Accessibility_Shutdown(void)
{
    AccessibilityLibraries& lib = s_libraries;
    // The stubs of objects handed out go with the apartment, before their code is unloaded.
    if (lib.comStarted)
        lib.CoUninitialize();
    HMODULE modules[] = {lib.oleacc, lib.oleaut32, lib.ole32};
    for (size_t i = 0; i < ARRAYSIZE(modules); ++i)
        if (modules[i])
            FreeLibrary(modules[i]);
    ZeroMemory(&lib, sizeof(lib));
}

static BOOL LoadAccessibility(void)
{
    AccessibilityLibraries& lib = s_libraries;
    if (lib.tried)
        return lib.LresultFromObject != NULL;
    lib.tried = TRUE;
    lib.ole32 = LoadLibraryW(L"ole32.dll");
    lib.oleaut32 = LoadLibraryW(L"oleaut32.dll");
    lib.oleacc = LoadLibraryW(L"oleacc.dll");
    if (!Bind(lib.ole32, "CoInitializeEx", &lib.CoInitializeEx) || !Bind(lib.ole32, "CoUninitialize", &lib.CoUninitialize) ||
        !Bind(lib.oleaut32, "SysAllocString", &lib.SysAllocString) ||
        !Bind(lib.oleacc, "CreateStdAccessibleObject", &lib.CreateStdAccessibleObject) ||
        !Bind(lib.oleacc, "LresultFromObject", &lib.LresultFromObject)) {
        Accessibility_Shutdown();
        lib.tried = TRUE;
        return FALSE;
    }
    // Objects handed to another process live in this thread's apartment; a thread already in
    // one (a test's) keeps it, and only a successful start is balanced.
    lib.comStarted = SUCCEEDED(lib.CoInitializeEx(NULL, COINIT_APARTMENTTHREADED));
    return TRUE;
}

// ---- What each part says ----

// The name of a part (child CHILDID_SELF) or of one of its children into `text`; FALSE when
// the standard object's stands.
typedef BOOL (*PartName)(HWND window, LONG child, wchar_t* text, int chars);

struct PartSpeech {
    HWND MainWindowChildren::*window;
    LONG role;            // of the part itself
    UINT nameId;          // its name from the string table; 0: see `name`
    PartName name;        // NULL with nameId 0: the standard object's (the window's text)
    BOOL textIsValue;     // the window's text is the value: what the progress bar draws
    LONG childRole;       // of its children; 0: the standard object's
};

static BOOL PageListName(HWND list, LONG child, wchar_t* text, int chars)
{
    const MainWindowChildren& c = g_state.children;
    UINT id = list == c.detailList ? IDS_PAGE_DETAIL : list == c.logList ? IDS_PAGE_LOG : IDS_PAGE_WAITING;
    return child == CHILDID_SELF && LoadText(id, text, chars) > 0;
}

// The tab control is named by the page it shows, each tab by its own.
static BOOL TabName(HWND tab, LONG child, wchar_t* text, int chars)
{
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = chars;
    WPARAM page = child == CHILDID_SELF ? SendMessageW(tab, TCM_GETCURSEL, 0, 0) : WPARAM(child - 1);
    return SendMessageW(tab, TCM_GETITEMW, page, reinterpret_cast<LPARAM>(&item)) && text[0];
}

// The buttons have no text: each is named by its tooltip.
static BOOL ToolbarName(HWND toolbar, LONG child, wchar_t* text, int chars)
{
    if (child == CHILDID_SELF)
        return LoadText(IDS_TOOLBAR_NAME, text, chars) > 0;
    TBBUTTON button = {};
    if (child < 1 || !SendMessageW(toolbar, TB_GETBUTTON, WPARAM(child - 1), reinterpret_cast<LPARAM>(&button)))
        return FALSE;
    const PswLibraries& lib = g_state.libraries;
    return LoadStringW(lib.presentation, lib.PSM_GetToolTipText(UINT(button.idCommand)), text, chars) > 0;
}

static const PartSpeech kParts[] = {
    {&MainWindowChildren::jobStatusPane, ROLE_SYSTEM_STATICTEXT, 0, NULL, FALSE, 0},
    {&MainWindowChildren::printerStatusPane, ROLE_SYSTEM_GRAPHIC, 0, NULL, FALSE, 0},
    {&MainWindowChildren::picturePane, ROLE_SYSTEM_GRAPHIC, 0, NULL, FALSE, 0},
    {&MainWindowChildren::progressBar, ROLE_SYSTEM_PROGRESSBAR, IDS_PROGRESS_NAME, NULL, TRUE, 0},
    {&MainWindowChildren::messageBox, ROLE_SYSTEM_TEXT, IDS_MESSAGE_NAME, NULL, FALSE, 0},
    {&MainWindowChildren::tab, ROLE_SYSTEM_PAGETABLIST, 0, TabName, FALSE, ROLE_SYSTEM_PAGETAB},
    {&MainWindowChildren::detailList, ROLE_SYSTEM_LIST, 0, PageListName, FALSE, 0},
    {&MainWindowChildren::logList, ROLE_SYSTEM_LIST, 0, PageListName, FALSE, 0},
    {&MainWindowChildren::waitingList, ROLE_SYSTEM_LIST, 0, PageListName, FALSE, 0},
    {&MainWindowChildren::statusToolbar, ROLE_SYSTEM_TOOLBAR, 0, ToolbarName, FALSE, ROLE_SYSTEM_PUSHBUTTON},
    {&MainWindowChildren::waitingToolbar, ROLE_SYSTEM_TOOLBAR, 0, ToolbarName, FALSE, ROLE_SYSTEM_PUSHBUTTON},
};

static BOOL NameOf(const PartSpeech* speech, HWND window, LONG child, wchar_t* text, int chars)
{
    if (speech->name)
        return speech->name(window, child, text, chars);
    return child == CHILDID_SELF && speech->nameId && LoadText(speech->nameId, text, chars) > 0;
}

// ---- The standard object, annotated ----

struct AccessiblePart {
    IAccessible iface;        // first: a pointer to the interface is one to the object
    LONG references;
    IAccessible* standard;    // the system's object for the window
    HWND window;
    const PartSpeech* speech;
};

static AccessiblePart* PartOf(IAccessible* iface)
{
    return reinterpret_cast<AccessiblePart*>(iface);
}

static IAccessible* StandardOf(IAccessible* iface)
{
    return PartOf(iface)->standard;
}

static BOOL IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

static HRESULT ReturnText(const wchar_t* text, BSTR* result)
{
    *result = s_libraries.SysAllocString(text);
    return *result ? S_OK : E_OUTOFMEMORY;
}

static HRESULT STDMETHODCALLTYPE Part_QueryInterface(IAccessible* iface, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = NULL;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IAccessible)) {
        *object = iface;
        iface->lpVtbl->AddRef(iface);
        return S_OK;
    }
    // The children's enumeration and the window belong to the standard object; nothing else
    // of it (its own marshalling) may stand in for the wrapper.
    if (IsEqualIID(iid, IID_IEnumVARIANT) || IsEqualIID(iid, IID_IOleWindow))
        return StandardOf(iface)->lpVtbl->QueryInterface(StandardOf(iface), iid, object);
    return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE Part_AddRef(IAccessible* iface)
{
    return ULONG(InterlockedIncrement(&PartOf(iface)->references));
}

static ULONG STDMETHODCALLTYPE Part_Release(IAccessible* iface)
{
    AccessiblePart* part = PartOf(iface);
    LONG left = InterlockedDecrement(&part->references);
    if (left == 0) {
        part->standard->lpVtbl->Release(part->standard);
        FreeBlock(part);
    }
    return ULONG(left);
}

static HRESULT STDMETHODCALLTYPE Part_get_accName(IAccessible* iface, VARIANT child, BSTR* name)
{
    AccessiblePart* part = PartOf(iface);
    wchar_t text[PART_TEXT_CHARS];
    if (name && child.vt == VT_I4 && NameOf(part->speech, part->window, child.lVal, text, ARRAYSIZE(text)))
        return ReturnText(text, name);
    return part->standard->lpVtbl->get_accName(part->standard, child, name);
}

static HRESULT STDMETHODCALLTYPE Part_get_accValue(IAccessible* iface, VARIANT child, BSTR* value)
{
    AccessiblePart* part = PartOf(iface);
    if (value && part->speech->textIsValue && IsSelf(child)) {
        wchar_t text[PART_TEXT_CHARS];
        GetWindowTextW(part->window, text, ARRAYSIZE(text));
        return ReturnText(text, value);
    }
    return part->standard->lpVtbl->get_accValue(part->standard, child, value);
}

static HRESULT STDMETHODCALLTYPE Part_get_accRole(IAccessible* iface, VARIANT child, VARIANT* role)
{
    const PartSpeech* speech = PartOf(iface)->speech;
    LONG known = IsSelf(child) ? speech->role : child.vt == VT_I4 ? speech->childRole : 0;
    if (!role || !known)
        return StandardOf(iface)->lpVtbl->get_accRole(StandardOf(iface), child, role);
    role->vt = VT_I4;
    role->lVal = known;
    return S_OK;
}

// The rest is the standard object's.
static HRESULT STDMETHODCALLTYPE Part_GetTypeInfoCount(IAccessible* iface, UINT* count)
{
    return StandardOf(iface)->lpVtbl->GetTypeInfoCount(StandardOf(iface), count);
}
static HRESULT STDMETHODCALLTYPE Part_GetTypeInfo(IAccessible* iface, UINT index, LCID lcid, ITypeInfo** info)
{
    return StandardOf(iface)->lpVtbl->GetTypeInfo(StandardOf(iface), index, lcid, info);
}
static HRESULT STDMETHODCALLTYPE Part_GetIDsOfNames(IAccessible* iface, REFIID iid, LPOLESTR* names, UINT count,
                                                    LCID lcid, DISPID* ids)
{
    return StandardOf(iface)->lpVtbl->GetIDsOfNames(StandardOf(iface), iid, names, count, lcid, ids);
}
static HRESULT STDMETHODCALLTYPE Part_Invoke(IAccessible* iface, DISPID id, REFIID iid, LCID lcid, WORD flags,
                                             DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* error)
{
    return StandardOf(iface)->lpVtbl->Invoke(StandardOf(iface), id, iid, lcid, flags, params, result, exception, error);
}
static HRESULT STDMETHODCALLTYPE Part_get_accParent(IAccessible* iface, IDispatch** parent)
{
    return StandardOf(iface)->lpVtbl->get_accParent(StandardOf(iface), parent);
}
static HRESULT STDMETHODCALLTYPE Part_get_accChildCount(IAccessible* iface, LONG* count)
{
    return StandardOf(iface)->lpVtbl->get_accChildCount(StandardOf(iface), count);
}
static HRESULT STDMETHODCALLTYPE Part_get_accChild(IAccessible* iface, VARIANT child, IDispatch** object)
{
    return StandardOf(iface)->lpVtbl->get_accChild(StandardOf(iface), child, object);
}
static HRESULT STDMETHODCALLTYPE Part_get_accDescription(IAccessible* iface, VARIANT child, BSTR* text)
{
    return StandardOf(iface)->lpVtbl->get_accDescription(StandardOf(iface), child, text);
}
static HRESULT STDMETHODCALLTYPE Part_get_accState(IAccessible* iface, VARIANT child, VARIANT* state)
{
    return StandardOf(iface)->lpVtbl->get_accState(StandardOf(iface), child, state);
}
static HRESULT STDMETHODCALLTYPE Part_get_accHelp(IAccessible* iface, VARIANT child, BSTR* text)
{
    return StandardOf(iface)->lpVtbl->get_accHelp(StandardOf(iface), child, text);
}
static HRESULT STDMETHODCALLTYPE Part_get_accHelpTopic(IAccessible* iface, BSTR* file, VARIANT child, LONG* topic)
{
    return StandardOf(iface)->lpVtbl->get_accHelpTopic(StandardOf(iface), file, child, topic);
}
static HRESULT STDMETHODCALLTYPE Part_get_accKeyboardShortcut(IAccessible* iface, VARIANT child, BSTR* text)
{
    return StandardOf(iface)->lpVtbl->get_accKeyboardShortcut(StandardOf(iface), child, text);
}
static HRESULT STDMETHODCALLTYPE Part_get_accFocus(IAccessible* iface, VARIANT* child)
{
    return StandardOf(iface)->lpVtbl->get_accFocus(StandardOf(iface), child);
}
static HRESULT STDMETHODCALLTYPE Part_get_accSelection(IAccessible* iface, VARIANT* children)
{
    return StandardOf(iface)->lpVtbl->get_accSelection(StandardOf(iface), children);
}
static HRESULT STDMETHODCALLTYPE Part_get_accDefaultAction(IAccessible* iface, VARIANT child, BSTR* text)
{
    return StandardOf(iface)->lpVtbl->get_accDefaultAction(StandardOf(iface), child, text);
}
static HRESULT STDMETHODCALLTYPE Part_accSelect(IAccessible* iface, LONG flags, VARIANT child)
{
    return StandardOf(iface)->lpVtbl->accSelect(StandardOf(iface), flags, child);
}
static HRESULT STDMETHODCALLTYPE Part_accLocation(IAccessible* iface, LONG* left, LONG* top, LONG* width,
                                                  LONG* height, VARIANT child)
{
    return StandardOf(iface)->lpVtbl->accLocation(StandardOf(iface), left, top, width, height, child);
}
static HRESULT STDMETHODCALLTYPE Part_accNavigate(IAccessible* iface, LONG direction, VARIANT start, VARIANT* end)
{
    return StandardOf(iface)->lpVtbl->accNavigate(StandardOf(iface), direction, start, end);
}
static HRESULT STDMETHODCALLTYPE Part_accHitTest(IAccessible* iface, LONG x, LONG y, VARIANT* child)
{
    return StandardOf(iface)->lpVtbl->accHitTest(StandardOf(iface), x, y, child);
}
static HRESULT STDMETHODCALLTYPE Part_accDoDefaultAction(IAccessible* iface, VARIANT child)
{
    return StandardOf(iface)->lpVtbl->accDoDefaultAction(StandardOf(iface), child);
}
static HRESULT STDMETHODCALLTYPE Part_put_accName(IAccessible* iface, VARIANT child, BSTR text)
{
    return StandardOf(iface)->lpVtbl->put_accName(StandardOf(iface), child, text);
}
static HRESULT STDMETHODCALLTYPE Part_put_accValue(IAccessible* iface, VARIANT child, BSTR text)
{
    return StandardOf(iface)->lpVtbl->put_accValue(StandardOf(iface), child, text);
}

static IAccessibleVtbl kPartFunctions = {
    Part_QueryInterface,   Part_AddRef,         Part_Release,           Part_GetTypeInfoCount,
    Part_GetTypeInfo,      Part_GetIDsOfNames,  Part_Invoke,            Part_get_accParent,
    Part_get_accChildCount, Part_get_accChild,  Part_get_accName,       Part_get_accValue,
    Part_get_accDescription, Part_get_accRole,  Part_get_accState,      Part_get_accHelp,
    Part_get_accHelpTopic, Part_get_accKeyboardShortcut, Part_get_accFocus, Part_get_accSelection,
    Part_get_accDefaultAction, Part_accSelect,  Part_accLocation,       Part_accNavigate,
    Part_accHitTest,       Part_accDoDefaultAction, Part_put_accName,   Part_put_accValue,
};

// WM_GETOBJECT for the client area: the annotated standard object, handed over by the
// accessibility library; 0 (the default answer) when it cannot be made.
static LRESULT AnswerGetObject(HWND window, WPARAM flags, const PartSpeech* speech)
{
    IAccessible* standard = NULL;
    if (!LoadAccessibility() ||
        FAILED(s_libraries.CreateStdAccessibleObject(window, OBJID_CLIENT, IID_IAccessible,
                                                     reinterpret_cast<void**>(&standard))))
        return 0;
    AccessiblePart* part = static_cast<AccessiblePart*>(AllocZeroed(sizeof(AccessiblePart)));
    if (!part) {
        standard->lpVtbl->Release(standard);
        return 0;
    }
    part->iface.lpVtbl = &kPartFunctions;
    part->references = 1;
    part->standard = standard;
    part->window = window;
    part->speech = speech;
    LRESULT result = s_libraries.LresultFromObject(IID_IAccessible, flags, reinterpret_cast<IUnknown*>(part));
    Part_Release(&part->iface);
    return result > 0 ? result : 0;
}

// Each part's procedure before this one: a plain subclass. (The common controls' subclass
// helper made every list message dearer under Wine: rebuilding the waiting list from 1,000
// jobs went from 28 ms to 1.5 s.)
static WNDPROC s_previousProcs[ARRAYSIZE(kParts)];

static LRESULT CALLBACK SpeakingPartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    size_t part = 0;
    while (part < ARRAYSIZE(kParts) && g_state.children.*kParts[part].window != window)
        ++part;
    // A part of a window that is no longer the process's (a test's earlier one) goes to its class.
    if (part == ARRAYSIZE(kParts))
        return CallWindowProcW(reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)), window, message,
                               wParam, lParam);
    if (message == WM_GETOBJECT && DWORD(lParam) == DWORD(OBJID_CLIENT)) {
        LRESULT answer = AnswerGetObject(window, wParam, &kParts[part]);
        if (answer)
            return answer;
    } else if (message == WM_SETFOCUS) {
        // Every part that takes the focus is here: the one that had it last gets it back.
        g_state.focusedChild = window;
    }
    return CallWindowProcW(s_previousProcs[part], window, message, wParam, lParam);
}

void Accessibility_AnnounceParts(void)
{
    for (size_t i = 0; i < ARRAYSIZE(kParts); ++i) {
        HWND window = g_state.children.*kParts[i].window;
        if (window)
            s_previousProcs[i] = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SpeakingPartProc)));
    }
}

// ---- What the panes show, as their texts ----

// The job-status text as the pane draws it; empty when the record cannot be read.
static const wchar_t* ShownJobStatus(void)
{
    const PswJobStatusText* record = g_state.display.jobStatus;
    return record && !IsBadReadPtr(record, sizeof(*record)) && record->text ? record->text : L"";
}

// The job-status text on one line (the state and the document), or only its first line (the
// state), into `text` of `chars`.
static void JobStatusLine(BOOL firstLineOnly, wchar_t* text, int chars)
{
    int length = 0;
    for (const wchar_t* c = ShownJobStatus(); *c && length < chars - 1; ++c) {
        BOOL lineBreak = *c == L'\r' || *c == L'\n';
        if (lineBreak && firstLineOnly)
            break;
        // CR LF is one break.
        if (c[0] == L'\r' && c[1] == L'\n')
            continue;
        text[length++] = lineBreak ? L' ' : *c;
    }
    text[length] = 0;
}

// Sets a window's text when it differs and raises `event` for its client area then; TRUE when
// it changed.
static BOOL SayText(HWND window, const wchar_t* text, DWORD event)
{
    wchar_t before[PART_TEXT_CHARS];
    GetWindowTextW(window, before, ARRAYSIZE(before));
    if (lstrcmpW(before, text) == 0)
        return FALSE;
    SetWindowTextW(window, text);
    NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
    return TRUE;
}

void Accessibility_SayStatus(BOOL alert)
{
    const MainWindowChildren& c = g_state.children;
    wchar_t text[PART_TEXT_CHARS];
    JobStatusLine(FALSE, text, ARRAYSIZE(text));
    SayText(c.jobStatusPane, text, EVENT_OBJECT_NAMECHANGE);
    // The icon and the picture show the state alone.
    JobStatusLine(TRUE, text, ARRAYSIZE(text));
    BOOL newState = SayText(c.printerStatusPane, text, EVENT_OBJECT_NAMECHANGE);
    SayText(c.picturePane, text, EVENT_OBJECT_NAMECHANGE);
    text[0] = 0;
    if (g_state.display.hideProgress != 1)
        ProgressText(text);
    SayText(c.progressBar, text, EVENT_OBJECT_VALUECHANGE);
    // Once per error: the blocks that follow while it lasts say the same.
    if (alert && newState)
        NotifyWinEvent(EVENT_SYSTEM_ALERT, c.printerStatusPane, OBJID_CLIENT, CHILDID_SELF);
}
