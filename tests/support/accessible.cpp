// A window's accessible object read as a screen reader reads it.
#include "tests/support/accessible.h"
#include "tests/support/support.h"

#include <oleacc.h>

namespace {

// A text property of the object itself; empty when it has none (S_FALSE).
template <typename Getter>
std::string Text(IAccessible *object, Getter getter)
{
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    std::string result;
    if ((object->*getter)(self, &text) == S_OK && text)
        result = Utf8(text);
    SysFreeString(text);
    return result;
}

} // namespace

AccessibleFacts ReadAccessible(HWND window)
{
    AccessibleFacts facts;
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible *object = nullptr;
    facts.found = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                             reinterpret_cast<void **>(&object));
    if (SUCCEEDED(facts.found) && object) {
        facts.name = Text(object, &IAccessible::get_accName);
        facts.description = Text(object, &IAccessible::get_accDescription);
        VARIANT self, role;
        VariantInit(&self);
        VariantInit(&role);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        if (object->get_accRole(self, &role) == S_OK && role.vt == VT_I4)
            facts.role = role.lVal;
        VariantClear(&role);
        object->get_accChildCount(&facts.children);
        object->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return facts;
}

std::string RoleText(long role)
{
    wchar_t text[64] = L"";
    GetRoleTextW(role, text, ARRAYSIZE(text));
    return Utf8(text);
}
