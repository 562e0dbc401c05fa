// What a screen reader is given of a window: the accessible object of its
// client area, read through MSAA as Narrator, NVDA and JAWS read it, from
// whichever process this runs in.
#pragma once

#include <windows.h>

#include <string>

struct AccessibleFacts {
    HRESULT found = E_FAIL;  // what AccessibleObjectFromWindow returned
    std::string name;        // UTF-8
    std::string role;        // as Windows names the role: "client", "push button"
    std::string description; // empty when there is none
    long children = 0;
};
AccessibleFacts ReadAccessible(HWND window);
