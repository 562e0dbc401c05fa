// Prints what a screen reader is given of the running launcher window,
// through MSAA as Narrator, NVDA and JAWS read it: the name, role and
// description of the window and of each button, left to right, in UTF-8.
//
//   reader.exe [--wait SECONDS]
//
// Waits up to SECONDS (default 10) for a visible "KOV:Autoplay" window.
// Exit codes: 0 read, 1 bad command line, 2 no launcher window in time.
#include "tests/support/accessible.h"
#include "tests/support/support.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

std::string Line(const std::string &what, HWND window, bool withChildren)
{
    AccessibleFacts facts = ReadAccessible(window);
    if (FAILED(facts.found)) {
        char code[16];
        snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(facts.found));
        return what + ": no accessible object (" + code + ")\n";
    }
    std::string line = what + ": name \"" + facts.name + "\", role " + RoleText(facts.role) + ", description " +
                       (facts.description.empty() ? "none" : "\"" + facts.description + "\"");
    if (withChildren)
        line += ", " + std::to_string(facts.children) + " children";
    return line + "\n";
}

} // namespace

int main(int argc, char **argv)
{
    int seconds = 10;
    if (argc == 3 && strcmp(argv[1], "--wait") == 0 && atoi(argv[2]) > 0)
        seconds = atoi(argv[2]);
    else if (argc != 1) {
        fprintf(stderr, "usage: reader.exe [--wait SECONDS]\n");
        return 1;
    }
    HWND window = nullptr;
    if (!WaitUntil([&] { return (window = FindWindowA("KOV:Autoplay", nullptr)) && IsWindowVisible(window); },
                   seconds * 1000)) {
        fprintf(stderr, "reader: no launcher window\n");
        return 2;
    }
    std::string report = Line("window", window, true);
    // Left to right: the action button, the third one, Quit.
    for (int id : {100, 102, 101}) {
        if (HWND button = GetDlgItem(window, id))
            report += Line("button " + std::to_string(id), button, false);
    }
    fwrite(report.data(), 1, report.size(), stdout);
    return 0;
}
