// What a screen reader is given of a window: the accessible object of its
// client area, read through MSAA as Narrator, NVDA and JAWS read it, from
// whichever process this runs in.
#pragma once

#include <windows.h>

#include <string>

struct AccessibleFacts {
    HRESULT found = E_FAIL;  // what AccessibleObjectFromWindow returned
    std::string name;        // UTF-8
    long role = 0;           // ROLE_SYSTEM_CLIENT, ROLE_SYSTEM_PUSHBUTTON...
    std::string description; // empty when there is none
    long children = 0;
};
AccessibleFacts ReadAccessible(HWND window);
// A role as Windows names it: "client", "push button".
std::string RoleText(long role);
