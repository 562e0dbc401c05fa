// Signed programs: a signed launcher works as an unsigned one, and the disc
// checker tells unsigned, signed and broken signatures apart. The programs
// are signed before these tests by tests/make-signed-disc (the ctest fixture
// SignedDisc), with a certificate made for the run and trusted nowhere.
#include "tests/support/e2e.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The name tests/make-signed-disc gives its certificate.
const std::string kSigner = "Vesk Test Signer";

std::string Signed(const std::string &relative)
{
    return BuildDir() + "signed\\" + relative;
}

// The checker's "signatures" list, one "file: state, signer" per object.
std::vector<std::string> Signatures(const std::string &json)
{
    std::vector<std::string> found;
    for (int i = 0;; ++i) {
        std::string object = "/signatures/" + std::to_string(i);
        if (JsonText(json, object).empty())
            return found;
        found.push_back(JsonText(json, object + "/file") + ": " + JsonText(json, object + "/state") + ", " +
                        JsonText(json, object + "/signer"));
    }
}

TEST(Signatures, ASignedLauncherStartsASignedInstaller)
{
    Disc disc;
    ASSERT_TRUE(CopyFileA(Signed("launcher.exe").c_str(), disc.Launcher().c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(Signed("probe.exe").c_str(), (disc.root() + "setup.exe").c_str(), FALSE));
    disc.WriteIni(MinimalIni());
    CheckerRun checked = RunChecker("--json " + Argument(disc.root()));
    EXPECT_EQ((std::vector<std::string>{"launcher.exe: untrusted, " + kSigner, "setup.exe: untrusted, " + kSigner}),
              Signatures(checked.out))
        << checked.out;

    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(disc.Launcher(), disc.probeLog()));
    HWND window = launcher.WaitForWindow(kLauncherClass);
    ASSERT_NE(nullptr, window);
    HWND install = GetDlgItem(window, 100);
    EXPECT_EQ("Install", WindowText(install));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(install));
    std::vector<ProbeRun> runs = WaitForProbeRuns(disc.probeLog(), 1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(Upper(disc.root() + "setup.exe"), Upper(runs[0].commandLine));
    EXPECT_EQ(0u, launcher.WaitForExit());
}

TEST(Signatures, TheCheckerTellsUnsignedSignedAndBroken)
{
    const std::string untrusted = ": untrusted, " + kSigner;
    struct Row {
        const char *name;
        std::string disc;
        bool strict;
        std::vector<std::string> signatures;
        std::vector<std::string> warnings; // those about signatures
    } rows[] = {
        {"unsigned", BuildDir() + "demo-disc", false,
         {"launcher.exe: unsigned, null", "TolvaneDemoSetup.exe: unsigned, null", "intro.exe: unsigned, null"}, {}},
        // Only --strict counts a program that is not signed.
        {"unsigned, strict", BuildDir() + "demo-disc", true,
         {"launcher.exe: unsigned, null", "TolvaneDemoSetup.exe: unsigned, null", "intro.exe: unsigned, null"},
         {"launcher.exe is not signed", "TolvaneDemoSetup.exe is not signed", "intro.exe is not signed"}},
        {"signed, strict", Signed("disc"), true,
         {"launcher.exe" + untrusted, "TolvaneDemoSetup.exe" + untrusted, "intro.exe" + untrusted}, {}},
        {"one byte changed", Signed("changed-disc"), false,
         {"launcher.exe: broken, " + kSigner, "TolvaneDemoSetup.exe" + untrusted, "intro.exe" + untrusted},
         {"launcher.exe: its signature is broken: the file changed after it was signed"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        CheckerRun checked = RunChecker("--json " + std::string(row.strict ? "--strict " : "") + Argument(row.disc));
        EXPECT_EQ(row.signatures, Signatures(checked.out)) << checked.out;
        std::vector<std::string> warnings;
        for (const std::string &warning : JsonList(checked.out, "/warnings")) {
            if (warning.find("sign") != std::string::npos)
                warnings.push_back(warning);
        }
        EXPECT_EQ(row.warnings, warnings);
        // The sample disc shows its window: only --strict fails it, on a warning.
        EXPECT_EQ(row.strict && !row.warnings.empty() ? 1u : 0u, checked.exitCode);
    }

    // The text report: its group, up to the warnings.
    std::string text = RunChecker(Argument(Signed("changed-disc"))).out;
    size_t group = text.find("\nSignatures\n");
    std::string lines =
        group == std::string::npos ? text : text.substr(group + 1, text.find("Warnings", group) - group - 1);
    const std::string why =
        "not trusted by this Windows (its certificate does not chain to a root this Windows trusts)";
    EXPECT_EQ("Signatures\n"
              "  launcher.exe: signature broken: the file changed after it was signed\n"
              "  TolvaneDemoSetup.exe: signed by " + kSigner + ", " + why + "\n"
              "  intro.exe: signed by " + kSigner + ", " + why + "\n",
              lines);
}

} // namespace
