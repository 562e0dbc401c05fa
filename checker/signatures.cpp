// The signatures of the programs a disc starts. Windows' own trust check
// (WinVerifyTrust) judges each; the signer's name comes from the certificate
// in the file. Both DLLs are taken from the system folder when first needed:
// the checker may run from a disc, beside files anyone put there.
#include "checker/signatures.h"
#include "checker/report.h"
#include "checker/lint.h"
#include "base/process.h"
#include "base/system_dlls.h"
#include "base/text.h"
#include "records/plan.h"
#include "records/settings.h"
#include "records/state.h"

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <string.h>
#include <wchar.h>

#include <utility>

namespace {

enum class State { Unsigned, Trusted, Untrusted, Broken };

struct Signature {
    State state = State::Unsigned;
    LONG answer = ERROR_SUCCESS; // the trust check's, for the reason it is not trusted
    std::wstring signer;         // empty when the file carries no signature
};

// The functions used, from wintrust.dll and crypt32.dll in the system folder.
struct TrustFunctions {
    decltype(&WinVerifyTrust) verifyTrust;
    decltype(&CryptQueryObject) queryObject;
    decltype(&CryptMsgGetParam) messageParam;
    decltype(&CryptMsgClose) closeMessage;
    decltype(&CertFindCertificateInStore) findCertificate;
    decltype(&CertGetNameStringW) certificateName;
    decltype(&CertFreeCertificateContext) freeCertificate;
    decltype(&CertCloseStore) closeStore;
    decltype(&CertGetCertificateChain) getChain;
    decltype(&CertVerifyCertificateChainPolicy) chainPolicy;
    decltype(&CertFreeCertificateChain) freeChain;

    bool Load()
    {
        verifyTrust = SystemFunction<decltype(verifyTrust)>("wintrust.dll", "WinVerifyTrust");
        queryObject = Crypt32<decltype(queryObject)>("CryptQueryObject");
        messageParam = Crypt32<decltype(messageParam)>("CryptMsgGetParam");
        closeMessage = Crypt32<decltype(closeMessage)>("CryptMsgClose");
        findCertificate = Crypt32<decltype(findCertificate)>("CertFindCertificateInStore");
        certificateName = Crypt32<decltype(certificateName)>("CertGetNameStringW");
        freeCertificate = Crypt32<decltype(freeCertificate)>("CertFreeCertificateContext");
        closeStore = Crypt32<decltype(closeStore)>("CertCloseStore");
        getChain = Crypt32<decltype(getChain)>("CertGetCertificateChain");
        chainPolicy = Crypt32<decltype(chainPolicy)>("CertVerifyCertificateChainPolicy");
        freeChain = Crypt32<decltype(freeChain)>("CertFreeCertificateChain");
        return verifyTrust && queryObject && messageParam && closeMessage && findCertificate && certificateName &&
               freeCertificate && closeStore && getChain && chainPolicy && freeChain;
    }

    template <typename Function>
    static Function Crypt32(const char *name)
    {
        return SystemFunction<Function>("crypt32.dll", name);
    }
};

TrustFunctions trust;

bool UnderWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Windows' verdict on the file, revocation not asked for: a disc is often
// checked, and run, without a network.
LONG TrustCheck(const wchar_t *path)
{
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path;
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG answer = trust.verifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE; // frees what the check kept; its answer says nothing
    trust.verifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return answer;
}

bool Timestamped(const CMSG_SIGNER_INFO &signer)
{
    for (DWORD i = 0; i < signer.UnauthAttrs.cAttr; ++i) {
        const char *kind = signer.UnauthAttrs.rgAttr[i].pszObjId;
        if (strcmp(kind, szOID_RSA_counterSign) == 0 || strcmp(kind, szOID_RFC3161_counterSign) == 0)
            return true;
    }
    return false;
}

// Known difference between Wine and Windows: Wine's WinVerifyTrust checks a
// signature's digest but not its certificate (measured with Wine 8: success
// for a self-made certificate, an expired one and one of an unknown
// authority). Its chain engine judges the certificate as Windows' check
// does, so under Wine a signature it calls good is judged by the chain: the
// certificate's dates only without a timestamp, which Windows then judges
// at the time stamped.
LONG ChainVerdict(PCCERT_CONTEXT certificate, HCERTSTORE fileStore, const CMSG_SIGNER_INFO &signer)
{
    CERT_CHAIN_PARA para = {};
    para.cbSize = sizeof para;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!trust.getChain(nullptr, certificate, nullptr, fileStore, &para, 0, nullptr, &chain))
        return static_cast<LONG>(GetLastError());
    CERT_CHAIN_POLICY_PARA policy = {};
    policy.cbSize = sizeof policy;
    policy.dwFlags = Timestamped(signer) ? CERT_CHAIN_POLICY_IGNORE_ALL_NOT_TIME_VALID_FLAGS : 0;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof status;
    LONG answer = trust.chainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, chain, &policy, &status)
                      ? static_cast<LONG>(status.dwError)
                      : static_cast<LONG>(GetLastError());
    trust.freeChain(chain);
    return answer;
}

// The signer's name from the signature the file carries; under Wine also the
// chain's verdict on its certificate. False when the file carries none.
bool ReadSignature(const wchar_t *path, Signature &signature)
{
    DWORD encoding, content, form;
    HCERTSTORE store = nullptr;
    HCRYPTMSG message = nullptr;
    if (!trust.queryObject(CERT_QUERY_OBJECT_FILE, path, CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                           CERT_QUERY_FORMAT_FLAG_BINARY, 0, &encoding, &content, &form, &store, &message, nullptr))
        return false;
    DWORD size = 0;
    std::vector<BYTE> info;
    if (trust.messageParam(message, CMSG_SIGNER_INFO_PARAM, 0, nullptr, &size)) {
        info.resize(size);
        if (!trust.messageParam(message, CMSG_SIGNER_INFO_PARAM, 0, info.data(), &size))
            info.clear();
    }
    if (!info.empty()) {
        const auto &signer = *reinterpret_cast<const CMSG_SIGNER_INFO *>(info.data());
        CERT_INFO wanted = {};
        wanted.Issuer = signer.Issuer;
        wanted.SerialNumber = signer.SerialNumber;
        PCCERT_CONTEXT certificate = trust.findCertificate(store, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                                           CERT_FIND_SUBJECT_CERT, &wanted, nullptr);
        if (certificate) {
            wchar_t name[256];
            trust.certificateName(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 256);
            signature.signer = name;
            if (UnderWine() && signature.answer == ERROR_SUCCESS)
                signature.answer = ChainVerdict(certificate, store, signer);
            trust.freeCertificate(certificate);
        }
    }
    trust.closeMessage(message);
    trust.closeStore(store, 0);
    return true;
}

// What Windows' answer means for the user. False when it says nothing about
// the signature (the file could not be read).
bool Judge(const wchar_t *path, Signature &signature)
{
    signature.answer = TrustCheck(path);
    bool carried = ReadSignature(path, signature);
    switch (signature.answer) {
    case ERROR_SUCCESS:
        signature.state = State::Trusted;
        return true;
    // The digest, or what the signer signed, does not match the file.
    case TRUST_E_BAD_DIGEST:
    case CRYPT_E_HASH_VALUE:
    case NTE_BAD_SIGNATURE:
        signature.state = State::Broken;
        return true;
    // No signature Windows can read: none at all, or a damaged one.
    case TRUST_E_NOSIGNATURE:
    case TRUST_E_SUBJECT_FORM_UNKNOWN:
    case TRUST_E_PROVIDER_UNKNOWN:
        signature.state = carried ? State::Broken : State::Unsigned;
        return true;
    default:
        signature.state = State::Untrusted;
        return carried;
    }
}

std::string WhyNotTrusted(LONG answer)
{
    switch (answer) {
    case CERT_E_UNTRUSTEDROOT:
    case CERT_E_CHAINING: return "its certificate does not chain to a root this Windows trusts";
    case CERT_E_EXPIRED: return "its certificate has expired, and the signature has no timestamp";
    case TRUST_E_EXPLICIT_DISTRUST: return "this Windows distrusts its certificate explicitly";
    case CERT_E_REVOKED: return "its certificate is revoked";
    case CERT_E_WRONG_USAGE: return "its certificate is not one for signing programs";
    }
    char text[48];
    wsprintfA(text, "Windows' trust check answers 0x%08lX", static_cast<unsigned long>(answer));
    return text;
}

const char *StateWord(State state)
{
    switch (state) {
    case State::Trusted: return "trusted";
    case State::Untrusted: return "untrusted";
    case State::Broken: return "broken";
    default: return "unsigned";
    }
}

std::string Described(const Signature &signature)
{
    std::string by = "signed by " + (signature.signer.empty() ? "a certificate it does not carry"
                                                               : Utf8(signature.signer.c_str()));
    switch (signature.state) {
    case State::Trusted: return by + ", trusted by this Windows";
    case State::Untrusted: return by + ", not trusted by this Windows (" + WhyNotTrusted(signature.answer) + ")";
    case State::Broken: return "signature broken: the file changed after it was signed";
    default: return "not signed";
    }
}

} // namespace

void ReportSignatures(const wchar_t *disc, bool strict, std::vector<std::string> &warnings)
{
    // Each program by its path, and by its name below its folder.
    std::vector<std::pair<std::wstring, std::string>> programs = {{std::wstring(disc) + L"launcher.exe",
                                                                   "launcher.exe"}};
    const wchar_t *folder = Launcher.moduleDir;
    // Not a document or a web page, whose programs are not the disc's; a
    // program not there is the lint's warning.
    for (const DiscProgram &program : DiscPrograms()) {
        if (program.start.kind == StartKind::Program)
            programs.push_back({program.start.programFile, ""});
    }

    BeginObjects("signatures", "Signatures");
    if (!trust.Load()) {
        Say("not checked: this Windows has no WinVerifyTrust");
        EndObjects();
        return;
    }
    std::vector<std::wstring> seen;
    for (auto &[path, name] : programs) {
        // A program that is not there is the lint's warning; one named twice
        // is reported once.
        if (path.empty() || !IsFile(path.c_str()))
            continue;
        bool again = false;
        for (const std::wstring &earlier : seen)
            again = again || lstrcmpiW(earlier.c_str(), path.c_str()) == 0;
        if (again)
            continue;
        seen.push_back(path);
        if (name.empty())
            name = Utf8(path.c_str() + (_wcsnicmp(path.c_str(), folder, wcslen(folder)) == 0 ? wcslen(folder) : 0));

        Signature signature;
        if (!Judge(path.c_str(), signature)) {
            warnings.push_back(name + ": its signature cannot be checked (" + WhyNotTrusted(signature.answer) + ")");
            continue;
        }
        std::optional<std::string> signer;
        if (!signature.signer.empty())
            signer = Utf8(signature.signer.c_str());
        Object({{"file", name}, {"state", StateWord(signature.state)}, {"signer", signer}},
               name + ": " + Described(signature));
        if (signature.state == State::Broken)
            warnings.push_back(name + ": its signature is broken: the file changed after it was signed");
        else if (signature.state == State::Unsigned && strict)
            warnings.push_back(name + " is not signed");
    }
    EndObjects();
}
