// What screen readers are given of the launcher window: the system's own
// accessible objects, with the one thing the picture says only in pixels
// added as the description. Loaded when a screen reader first asks, so that
// a start without one pays nothing for it.
#include "ui/ui.h"
#include "base/system_dlls.h"
#include "base/text.h"

#include <oleacc.h>

#include <new>

namespace {

// The accessibility and COM functions, from the system folder; loaded once.
struct Library {
    decltype(&CreateStdAccessibleObject) createStandardObject;
    decltype(&LresultFromObject) lresultFromObject;
    decltype(&SysAllocString) allocString;
};

const Library *AccessibilityLibrary()
{
    // Plain statics, set on the window's thread: no guard needed.
    static Library library;
    static bool loaded;
    if (!loaded) {
        loaded = true;
        // LresultFromObject hands the object on through COM, which the
        // window's thread must have joined; it stays joined until the end.
        if (auto initialize = SystemFunction<decltype(&CoInitializeEx)>("ole32.dll", "CoInitializeEx"))
            initialize(nullptr, COINIT_APARTMENTTHREADED);
        library = {SystemFunction<decltype(&CreateStdAccessibleObject)>("oleacc.dll", "CreateStdAccessibleObject"),
                   SystemFunction<decltype(&LresultFromObject)>("oleacc.dll", "LresultFromObject"),
                   SystemFunction<decltype(&SysAllocString)>("oleaut32.dll", "SysAllocString")};
    }
    bool complete = library.createStandardObject && library.lresultFromObject && library.allocString;
    return complete ? &library : nullptr;
}

// The system's object, asked everything but its own description. Other
// interfaces it offers (IOleWindow, IEnumVARIANT) are its own.
class DescribedObject final : public IAccessible {
public:
    DescribedObject(IAccessible *system, const Library *library, const wchar_t *words)
        : system_(system), library_(library)
    {
        TextCopy(words_, words);
    }

    STDMETHODIMP QueryInterface(REFIID id, void **object) override
    {
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        return system_->QueryInterface(id, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) {
            system_->Release();
            this->~DescribedObject();
            HeapFree(GetProcessHeap(), 0, this);
        }
        return left;
    }

    STDMETHODIMP get_accDescription(VARIANT child, BSTR *description) override
    {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF)
            return system_->get_accDescription(child, description);
        *description = library_->allocString(words_);
        return *description ? S_OK : E_OUTOFMEMORY;
    }

    // Everything else is the system's.
    STDMETHODIMP GetTypeInfoCount(UINT *count) override { return system_->GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo **info) override
    {
        return system_->GetTypeInfo(index, locale, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID id, LPOLESTR *names, UINT count, LCID locale, DISPID *ids) override
    {
        return system_->GetIDsOfNames(id, names, count, locale, ids);
    }
    STDMETHODIMP Invoke(DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS *parameters, VARIANT *result,
                        EXCEPINFO *exception, UINT *wrong) override
    {
        return system_->Invoke(member, id, locale, flags, parameters, result, exception, wrong);
    }
    STDMETHODIMP get_accParent(IDispatch **parent) override { return system_->get_accParent(parent); }
    STDMETHODIMP get_accChildCount(long *count) override { return system_->get_accChildCount(count); }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch **object) override
    {
        return system_->get_accChild(child, object);
    }
    STDMETHODIMP get_accName(VARIANT child, BSTR *name) override { return system_->get_accName(child, name); }
    STDMETHODIMP get_accValue(VARIANT child, BSTR *value) override { return system_->get_accValue(child, value); }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT *role) override { return system_->get_accRole(child, role); }
    STDMETHODIMP get_accState(VARIANT child, VARIANT *state) override { return system_->get_accState(child, state); }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR *help) override { return system_->get_accHelp(child, help); }
    STDMETHODIMP get_accHelpTopic(BSTR *file, VARIANT child, long *topic) override
    {
        return system_->get_accHelpTopic(file, child, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        return system_->get_accKeyboardShortcut(child, shortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT *child) override { return system_->get_accFocus(child); }
    STDMETHODIMP get_accSelection(VARIANT *children) override { return system_->get_accSelection(children); }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        return system_->get_accDefaultAction(child, action);
    }
    STDMETHODIMP accSelect(long how, VARIANT child) override { return system_->accSelect(how, child); }
    STDMETHODIMP accLocation(long *left, long *top, long *width, long *height, VARIANT child) override
    {
        return system_->accLocation(left, top, width, height, child);
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT *end) override
    {
        return system_->accNavigate(direction, start, end);
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT *child) override { return system_->accHitTest(x, y, child); }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override { return system_->accDoDefaultAction(child); }
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override { return system_->put_accName(child, name); }
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override { return system_->put_accValue(child, value); }

private:
    ~DescribedObject() = default;

    LONG references_ = 1;
    IAccessible *system_;
    const Library *library_;
    wchar_t words_[256];
};

} // namespace

LRESULT DescribedClientObject(HWND window, WPARAM flags, LPARAM objectId)
{
    // Compared as a DWORD: a 64-bit Windows may sign-extend it.
    if (static_cast<DWORD>(objectId) != static_cast<DWORD>(OBJID_CLIENT))
        return 0;
    wchar_t words[256];
    BackdropWords(words);
    const Library *library = words[0] ? AccessibilityLibrary() : nullptr;
    IAccessible *system = nullptr;
    if (!library || FAILED(library->createStandardObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                          reinterpret_cast<void **>(&system))))
        return 0;
    void *memory = HeapAlloc(GetProcessHeap(), 0, sizeof(DescribedObject));
    if (!memory) {
        system->Release();
        return 0;
    }
    auto *described = new (memory) DescribedObject(system, library, words);
    // The reference handed on holds the object; ours goes. A failure is a
    // negative result: the system's answer then stands.
    LRESULT reference = library->lresultFromObject(__uuidof(IAccessible), flags, described);
    described->Release();
    return reference > 0 ? reference : 0;
}
