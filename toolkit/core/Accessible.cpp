#include "toolkit/core/Accessible.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>

#include "toolkit/core/GUIElement.h"
#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/IgnoredError.h"

namespace QVUtility {

namespace {

// The interfaces' identifiers as the compiler knows them: MinGW's import
// library gives IID_IAccessible as the address of an import thunk, not as
// the GUID.
const IID& AccessibleId() { return __uuidof(IAccessible); }

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The part a child identifier names (1 to count), or 0.
long PartOf(const VARIANT& child, long count) {
    if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > count) return 0;
    return child.lVal;
}

HRESULT Text(const std::wstring& text, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT Number(long number, VARIANT* out) {
    if (out == nullptr) return E_POINTER;
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = number;
    return S_OK;
}

// The COM layer on the thread that answers: marshalling the object to
// another process needs it. Taken once per thread and kept for the thread's
// life (the windows it answers for live as long).
void JoinApartment() {
    thread_local bool joined = false;
    if (joined) return;
    joined = true;
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(result) && result != RPC_E_CHANGED_MODE) IgnorePlatformError("Accessible: no COM on this thread");
}

// The object a window gives for its element. It reads the element afresh at
// every question, so it always tells the element as it is now; once the
// element is gone it tells what the platform knows of the window.
class ElementAccessible final : public IAccessible, public IOleWindow {
public:
    ElementAccessible(GUIElement* element, HWND window)
        : element_(element), alive_(element->AliveFlag()), window_(window) {
        void* platform = nullptr;
        if (SUCCEEDED(CreateStdAccessibleObject(window, OBJID_CLIENT, AccessibleId(), &platform)))
            platform_ = static_cast<IAccessible*>(platform);
    }
    ElementAccessible(const ElementAccessible&) = delete;
    ElementAccessible& operator=(const ElementAccessible&) = delete;

    // ---- IUnknown ------------------------------------------------------------
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == AccessibleId()) {
            *out = static_cast<IAccessible*>(this);
        } else if (id == __uuidof(IOleWindow)) {
            *out = static_cast<IOleWindow*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // ---- IOleWindow (WindowFromAccessibleObject) ---------------------------------
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (out == nullptr) return E_POINTER;
        *out = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // ---- IDispatch: not offered (clients use IAccessible itself) -----------------
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // ---- IAccessible ---------------------------------------------------------------
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
        if (platform_ != nullptr) return platform_->get_accParent(out);
        if (out != nullptr) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override {
        if (out == nullptr) return E_POINTER;
        if (const long parts = Parts()) {
            *out = parts;
            return S_OK;
        }
        if (platform_ != nullptr) return platform_->get_accChildCount(out);
        *out = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (PartOf(child, Parts()) != 0) return S_FALSE;  // a part is no object of its own
        if (platform_ != nullptr) return platform_->get_accChild(child, out);
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        AccessibleFacts facts;
        if (!Describe(child, facts)) return platform_ != nullptr ? platform_->get_accName(child, out) : E_INVALIDARG;
        return Text(facts.name, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        AccessibleFacts facts;
        if (Describe(child, facts) && facts.hasValue) return Text(facts.value, out);
        if (platform_ != nullptr) return platform_->get_accValue(child, out);
        return Text(std::wstring(), out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        AccessibleFacts facts;
        if (!Describe(child, facts)) {
            return platform_ != nullptr ? platform_->get_accDescription(child, out) : E_INVALIDARG;
        }
        return Text(facts.description, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        AccessibleFacts facts;
        if (Describe(child, facts) && facts.role != 0) return Number(facts.role, out);
        if (platform_ != nullptr) return platform_->get_accRole(child, out);
        return Number(ROLE_SYSTEM_CLIENT, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        AccessibleFacts facts;
        if (!Describe(child, facts)) return platform_ != nullptr ? platform_->get_accState(child, out) : E_INVALIDARG;
        return Number(facts.state, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        if (PartOf(child, Parts()) == 0 && platform_ != nullptr) return platform_->get_accHelp(child, out);
        return Text(std::wstring(), out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (PartOf(child, Parts()) == 0 && platform_ != nullptr) return platform_->get_accHelpTopic(file, child, topic);
        if (file != nullptr) *file = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        if (PartOf(child, Parts()) == 0 && platform_ != nullptr) return platform_->get_accKeyboardShortcut(child, out);
        return Text(std::wstring(), out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        if (platform_ != nullptr) return platform_->get_accFocus(out);
        if (out != nullptr) VariantInit(out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        if (platform_ != nullptr) return platform_->get_accSelection(out);
        if (out != nullptr) VariantInit(out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        AccessibleFacts facts;
        if (Describe(child, facts) && !facts.action.empty()) return Text(facts.action, out);
        if (PartOf(child, Parts()) == 0 && platform_ != nullptr) return platform_->get_accDefaultAction(child, out);
        return Text(std::wstring(), out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        if (PartOf(child, Parts()) == 0 && platform_ != nullptr) return platform_->accSelect(flags, child);
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        if (const long part = PartOf(child, Parts())) {
            if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
            RECT place{};
            if (!Alive() || !element_->PartLocation(part, place)) return S_FALSE;
            *left = place.left;
            *top = place.top;
            *width = place.right - place.left;
            *height = place.bottom - place.top;
            return S_OK;
        }
        if (platform_ != nullptr) return platform_->accLocation(left, top, width, height, child);
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
        const long parts = Parts();
        if (parts > 0 && out != nullptr) {
            const long from = PartOf(start, parts);
            long to = 0;
            if (IsSelf(start) && direction == NAVDIR_FIRSTCHILD) to = 1;
            if (IsSelf(start) && direction == NAVDIR_LASTCHILD) to = parts;
            if (from != 0 && (direction == NAVDIR_NEXT || direction == NAVDIR_RIGHT) && from < parts) to = from + 1;
            if (from != 0 && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_LEFT) && from > 1) to = from - 1;
            if (to != 0) return Number(to, out);
            if (from != 0) {
                VariantInit(out);
                return S_FALSE;
            }
        }
        if (platform_ != nullptr) return platform_->accNavigate(direction, start, out);
        if (out != nullptr) VariantInit(out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        const long parts = Parts();
        for (long part = 1; part <= parts && out != nullptr; ++part) {
            RECT place{};
            if (element_->PartLocation(part, place) && PtInRect(&place, POINT{x, y})) return Number(part, out);
        }
        if (platform_ != nullptr) return platform_->accHitTest(x, y, out);
        if (out != nullptr) VariantInit(out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (const long part = PartOf(child, Parts())) return Alive() && element_->DoPartAction(part) ? S_OK : S_FALSE;
        if (platform_ != nullptr) return platform_->accDoDefaultAction(child);
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~ElementAccessible() {
        if (platform_ != nullptr) platform_->Release();
    }

    bool Alive() const { return alive_ && *alive_ && IsWindow(window_); }
    long Parts() const { return Alive() ? element_->AccessiblePartCount() : 0; }

    // The element's own facts, or a part's; false when the question is the
    // platform's to answer (another child, or the element has gone).
    bool Describe(const VARIANT& child, AccessibleFacts& facts) const {
        if (!Alive()) return false;
        if (IsSelf(child)) {
            element_->DescribeForAccessibility(facts);
            return true;
        }
        if (const long part = PartOf(child, Parts())) {
            element_->DescribePart(part, facts);
            return true;
        }
        return false;
    }

    LONG references_ = 1;
    GUIElement* element_;
    std::shared_ptr<bool> alive_;
    HWND window_;
    IAccessible* platform_ = nullptr;  // the platform's object for the window, when it gave one
};

}  // namespace

std::wstring SpokenCaption(const std::wstring& caption) {
    std::wstring spoken;
    spoken.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        const wchar_t c = caption[i];
        if (c == L'\t') break;
        if (c == L'&') {
            if (i + 1 < caption.size() && caption[i + 1] == L'&') spoken += caption[++i];
            continue;
        }
        spoken += c;
    }
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\r' || c == L'\n'; };
    while (!spoken.empty() && (blank(spoken.back()) || spoken.back() == L':')) spoken.pop_back();
    std::size_t first = 0;
    while (first < spoken.size() && blank(spoken[first])) ++first;
    return spoken.substr(first);
}

long WindowStates(HWND window) {
    if (window == nullptr || !IsWindow(window)) return STATE_SYSTEM_UNAVAILABLE;
    long state = 0;
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (!IsWindowVisible(window)) state |= STATE_SYSTEM_INVISIBLE;
    if (!IsWindowEnabled(window)) state |= STATE_SYSTEM_UNAVAILABLE;
    if ((style & WS_TABSTOP) != 0) state |= STATE_SYSTEM_FOCUSABLE;
    const HWND focus = GetFocus();
    if (focus != nullptr && (focus == window || IsChild(window, focus)))
        state |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE;
    return state;
}

LRESULT AnswerAccessibleObject(GUIElement* element, HWND window, WPARAM wParam, LPARAM lParam, bool& answered) {
    answered = false;
    // The object identifier travels as a 32-bit value.
    if (element == nullptr || window == nullptr || static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT)
        return 0;
    JoinApartment();
    auto* object = new ElementAccessible(element, window);
    const LRESULT result = LresultFromObject(AccessibleId(), wParam, static_cast<IAccessible*>(object));
    object->Release();
    if (result < 0) return 0;  // a failure's HRESULT: the platform's object instead
    answered = true;
    return result;
}

void RaiseAccessibleEvent(DWORD event, HWND window, LONG child) {
    if (window != nullptr && IsWindow(window)) NotifyWinEvent(event, window, OBJID_CLIENT, child);
}

// ---- The elements' own descriptions -----------------------------------------------

namespace {

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(0, GetWindowTextW(window, &text[0], length + 1))));
    return text;
}

// The item a list or a combo box shows as chosen; empty when none is.
std::wstring ChosenItem(HWND window, UINT currentMessage, UINT lengthMessage, UINT textMessage) {
    const LRESULT index = SendMessageW(window, currentMessage, 0, 0);
    if (index < 0) return std::wstring();
    const LRESULT length = SendMessageW(window, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::wstring ChosenPicture(HWND window) {
    const LRESULT index = SendMessageW(window, CB_GETCURSEL, 0, 0);
    if (index < 0) return std::wstring();
    wchar_t text[256] = {};
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = 255;
    return SendMessageW(window, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? std::wstring(text)
                                                                                   : std::wstring();
}

bool Is(const GUIElement& element, const char* kind) { return element.typeKeyword == kind; }

}  // namespace

void GUIElement::DescribeForAccessibility(AccessibleFacts& facts) const {
    facts.name = accessibleName;
    facts.description = accessibleDescription;
    facts.state = WindowStates(window);
    HWND handle = window != nullptr && IsWindow(window) ? window : nullptr;
    const LONG style = handle != nullptr ? GetWindowLongW(handle, GWL_STYLE) : 0;
    // The kinds that show their caption are named by it.
    const auto caption = [&] {
        if (facts.name.empty()) facts.name = SpokenCaption(handle != nullptr ? WindowText(handle) : text);
    };
    if (Is(*this, TypeKeyword::Label)) {
        caption();
        facts.role = ROLE_SYSTEM_STATICTEXT;
        facts.state |= STATE_SYSTEM_READONLY;
    } else if (Is(*this, TypeKeyword::Button)) {
        caption();
        facts.role = ROLE_SYSTEM_PUSHBUTTON;
        if ((style & 0x0F) == BS_DEFPUSHBUTTON) facts.state |= STATE_SYSTEM_DEFAULT;
        facts.action = L"Premi";
    } else if (Is(*this, TypeKeyword::CheckBox)) {
        caption();
        facts.role = ROLE_SYSTEM_CHECKBUTTON;
        const bool checked = handle != nullptr && SendMessageW(handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (checked) facts.state |= STATE_SYSTEM_CHECKED;
        facts.action = checked ? L"Deseleziona" : L"Seleziona";
    } else if (Is(*this, TypeKeyword::GroupBox)) {
        caption();
        facts.role = ROLE_SYSTEM_GROUPING;
    } else if (Is(*this, TypeKeyword::TextBox)) {
        facts.role = ROLE_SYSTEM_TEXT;
        if ((style & ES_READONLY) != 0) facts.state |= STATE_SYSTEM_READONLY;
        if ((style & ES_PASSWORD) != 0) {
            facts.state |= STATE_SYSTEM_PROTECTED;
        } else if (handle != nullptr) {
            facts.value = WindowText(handle);
            facts.hasValue = true;
        }
    } else if (Is(*this, TypeKeyword::ComboBox) || Is(*this, TypeKeyword::ComboBoxEx)) {
        facts.role = ROLE_SYSTEM_COMBOBOX;
        if (handle != nullptr) {
            facts.value = Is(*this, TypeKeyword::ComboBox)
                              ? ChosenItem(handle, CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT)
                              : ChosenPicture(handle);
            facts.hasValue = true;
            facts.state |=
                SendMessageW(handle, CB_GETDROPPEDSTATE, 0, 0) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
        }
    } else if (Is(*this, TypeKeyword::DatePicker)) {
        facts.role = ROLE_SYSTEM_DROPLIST;
        if (handle != nullptr) {
            facts.value = WindowText(handle);
            facts.hasValue = true;
        }
    } else if (Is(*this, TypeKeyword::NumericBox)) {
        facts.role = ROLE_SYSTEM_SPINBUTTON;
        if (handle != nullptr) {
            BOOL failed = FALSE;
            const LRESULT position = SendMessageW(handle, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
            facts.value = failed ? std::wstring() : std::to_wstring(static_cast<int>(position));
            facts.hasValue = !failed;
        }
    } else if (Is(*this, TypeKeyword::ListBox)) {
        facts.role = ROLE_SYSTEM_LIST;
        if (handle != nullptr) {
            facts.value = ChosenItem(handle, LB_GETCURSEL, LB_GETTEXTLEN, LB_GETTEXT);
            facts.hasValue = true;
        }
    } else if (Is(*this, TypeKeyword::ListView)) {
        facts.role = ROLE_SYSTEM_LIST;
    } else if (Is(*this, TypeKeyword::ToolBar)) {
        facts.role = ROLE_SYSTEM_TOOLBAR;
    } else if (Is(*this, TypeKeyword::StatusBar)) {
        facts.role = ROLE_SYSTEM_STATUSBAR;
        if (handle != nullptr) {
            const LRESULT length = LOWORD(SendMessageW(handle, SB_GETTEXTLENGTHW, 0, 0));
            std::wstring shown(static_cast<std::size_t>(length) + 1, L'\0');
            SendMessageW(handle, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(&shown[0]));
            shown.resize(std::wcslen(shown.c_str()));
            facts.value = shown;
            facts.hasValue = true;
        }
    } else if (Is(*this, TypeKeyword::Image)) {
        facts.role = ROLE_SYSTEM_GRAPHIC;
    } else if (Is(*this, TypeKeyword::Panel)) {
        facts.role = ROLE_SYSTEM_PANE;
    }
    if (accessibleRole != 0) facts.role = accessibleRole;
}

long GUIElement::AccessiblePartCount() const { return 0; }
void GUIElement::DescribePart(long, AccessibleFacts&) const {}
bool GUIElement::PartLocation(long, RECT&) const { return false; }
bool GUIElement::DoPartAction(long) { return false; }

}  // namespace QVUtility
