// Tests of the Qt-free Windows code against the real Win32 API: the Run and policy keys of the
// registry, the process snapshot, Winsock, the owners of TCP connections and named pipes. Built with MinGW-w64 and run
// under Wine (or on Windows). Started with "--idle EVENT PARENT" it is its own second copy: it sets the named event and
// stays until it is ended or its parent process has gone; with "--serve-pipe PIPE EVENT PARENT" it first makes the
// named pipe PIPE and waits there for a client.

#include "core/PeerUser.h"
#include "platform/win/ExclusiveSocket.h"
#include "platform/win/NamedPipeUser.h"
#include "platform/win/PolicyKey.h"
#include "platform/win/ProcessCount.h"
#include "platform/win/RunKey.h"

#include <ws2tcpip.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

using namespace orbisk::platform::win;
using namespace std::string_literals;

namespace {

// Names of their own, so that a run on a real Windows machine leaves the user's
// own registration alone.
const std::wstring kValueName = L"Orbisk Client test " + std::to_wstring(GetCurrentProcessId());
const std::wstring kOtherValueName = L"Orbisk other program test " + std::to_wstring(GetCurrentProcessId());
const std::wstring kArguments = L"-min -autorun";
const DWORD kWaitMs = 60000;
// How long and how often the client's start tries to bind the local service's port again.
const ULONGLONG kRebindWindowMs = 3000;
const DWORD kRebindIntervalMs = 250;

int g_passed = 0;
int g_failed = 0;

std::string narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, result.data(), size, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

void check(bool isOk, const std::string& name, const std::string& detail = {})
{
    if (isOk) {
        ++g_passed;
        std::printf("PASS   %s\n", name.c_str());
    } else {
        ++g_failed;
        std::printf("FAIL!  %s%s%s\n", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    }
    std::fflush(stdout);
}

std::string shown(const std::optional<std::wstring>& value)
{
    return value ? "\"" + narrow(*value) + "\"" : "(absent)";
}

// Registration of the executable path, read back through the registry.
struct RunValueCase
{
    const char* name;
    std::wstring executablePath;
    std::wstring expected;
};

void testRunValueReadsBackAsWritten()
{
    const std::vector<RunValueCase> cases = {
        {"blanks", L"C:\\Program Files\\Orbisk Client\\Orbisk Client.exe",
            L"\"C:\\Program Files\\Orbisk Client\\Orbisk Client.exe\" -min -autorun"},
        {"forward slashes", L"C:/Program Files/Orbisk Client/Orbisk Client.exe",
            L"\"C:\\Program Files\\Orbisk Client\\Orbisk Client.exe\" -min -autorun"},
        {"mixed slashes", L"D:/Apps\\Orbisk/Orbisk Client.exe",
            L"\"D:\\Apps\\Orbisk\\Orbisk Client.exe\" -min -autorun"},
        {"non-ASCII letters", L"C:\\Users\\Zo\u00eb \u00c5ngstr\u00f6m\\\u8f6f\u4ef6\\Orbisk Client.exe",
            L"\"C:\\Users\\Zo\u00eb \u00c5ngstr\u00f6m\\\u8f6f\u4ef6\\Orbisk Client.exe\" -min -autorun"},
        {"letter outside the basic plane", L"C:\\\U0001F4C1 files\\Orbisk Client.exe",
            L"\"C:\\\U0001F4C1 files\\Orbisk Client.exe\" -min -autorun"},
        {"network share", L"//server/share/Orbisk Client.exe",
            L"\"\\\\server\\share\\Orbisk Client.exe\" -min -autorun"},
    };
    for (const RunValueCase& c : cases) {
        const std::string name = std::string("Run value, ") + c.name;
        const bool isWritten = setStartWithSystem(true, kValueName, c.executablePath, kArguments);
        const std::optional<std::wstring> stored = readRunValue(kValueName);
        check(isWritten && stored == c.expected, name, "stored " + shown(stored));
    }
}

void testUnstorablePathChangesNothing()
{
    const std::wstring good = L"C:\\Orbisk\\Orbisk Client.exe";
    const std::vector<std::pair<const char*, std::wstring>> cases = {
        {"double quote", L"C:\\Orb\"isk\\Orbisk Client.exe"},
        {"relative path", L"Orbisk\\Orbisk Client.exe"},
        {"drive-relative path", L"C:Orbisk Client.exe"},
        {"empty path", L""},
        {"line break", L"C:\\Orbisk\nClient.exe"},
    };
    for (const auto& [label, path] : cases) {
        const std::string name = std::string("unstorable path keeps the old value, ") + label;
        if (!setStartWithSystem(true, kValueName, good, kArguments)) {
            check(false, name, "the good path was not stored");
            continue;
        }
        const bool isRefused = !setStartWithSystem(true, kValueName, path, kArguments);
        const std::optional<std::wstring> stored = readRunValue(kValueName);
        check(isRefused && stored == runCommand(good, kArguments), name, "stored " + shown(stored));
    }
}

void testSwitchingOffRemovesTheValue()
{
    const std::wstring path = L"C:\\Program Files\\Orbisk Client\\Orbisk Client.exe";
    const bool isOn = setStartWithSystem(true, kValueName, path, kArguments) && readRunValue(kValueName);
    const bool isOff = setStartWithSystem(false, kValueName, path, kArguments);
    const std::optional<std::wstring> stored = readRunValue(kValueName);
    check(isOn && isOff && !stored, "switching off removes the Run value", "stored " + shown(stored));
    check(setStartWithSystem(false, kValueName, path, kArguments) && !readRunValue(kValueName),
        "switching off again succeeds");

    // Other programs' values in the same key stay.
    const std::wstring& other = kOtherValueName;
    const bool isOtherWritten = writeRunValue(other, L"\"C:\\Other\\other.exe\"");
    setStartWithSystem(true, kValueName, path, kArguments);
    setStartWithSystem(false, kValueName, path, kArguments);
    check(isOtherWritten && readRunValue(other) == std::wstring(L"\"C:\\Other\\other.exe\""),
        "switching off leaves other values alone");
    deleteRunValue(other);
}

void testEmptyValueNameIsRefused()
{
    check(!setStartWithSystem(true, L"", L"C:\\Orbisk Client.exe", kArguments) && !readRunValue(L""),
        "an empty value name (the key's default value) is refused");
}

// A key of its own below the policy key, so that a run on a real Windows machine
// leaves the machine's policies alone.
const std::wstring kPolicyScratchPath
    = std::wstring(kPolicyKeyPath) + L"\\test " + std::to_wstring(GetCurrentProcessId());

std::vector<unsigned char> bytesOf(const std::wstring& units)
{
    const auto* first = reinterpret_cast<const unsigned char*>(units.data());
    return {first, first + units.size() * sizeof(wchar_t)};
}

bool writePolicyValue(
    const std::wstring& path, const std::wstring& name, DWORD type, const std::vector<unsigned char>& data)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(
            HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExW(
        key, name.c_str(), 0, type, data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// Quoted, with every NUL shown as \0, so that none can hide the rest.
std::string quoted(const std::wstring& text)
{
    std::string result = "\"";
    std::size_t start = 0;
    for (std::size_t nul = text.find(L'\0'); nul != std::wstring::npos; nul = text.find(L'\0', start)) {
        result += narrow(text.substr(start, nul - start)) + "\\0";
        start = nul + 1;
    }
    return result + narrow(text.substr(start)) + "\"";
}

// A value as the table below gives it and a failure names it.
std::string shown(const PolicyValue& value)
{
    switch (value.type) {
    case PolicyValueType::String:
        return "string " + quoted(value.text);
    case PolicyValueType::MultiString: {
        std::string entries = "list";
        for (const std::wstring& entry : value.list)
            entries += " " + quoted(entry);
        return entries;
    }
    case PolicyValueType::Dword:
        return "DWORD " + std::to_string(value.number);
    case PolicyValueType::Other:
        break;
    }
    std::string bytes = "bytes";
    for (const unsigned char byte : value.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        bytes += hex;
    }
    return bytes;
}

// A value written as stored (its name is the label), and what reading it gives.
struct PolicyValueCase
{
    const wchar_t* label;
    DWORD type;
    std::vector<unsigned char> data;
    std::string expected;
};

void testPolicyValuesReadAsStored()
{
    std::vector<unsigned char> oddBytes = bytesOf(L"https://updates.example.com/manifest.json"s);
    oddBytes.push_back('x');
    const std::vector<PolicyValueCase> cases = {
        {L"string", REG_SZ, bytesOf(L"Main\0"s), "string \"Main\""},
        {L"empty string", REG_SZ, {}, "string \"\""},
        {L"string without terminating NUL", REG_SZ, bytesOf(L"proxy.example.com:3128"s),
            "string \"proxy.example.com:3128\""},
        {L"string with an odd byte count", REG_SZ, oddBytes, "string \"https://updates.example.com/manifest.json\""},
        {L"string ending at its first NUL", REG_SZ, bytesOf(L"first\0second\0"s), "string \"first\""},
        {L"non-ASCII string", REG_SZ, bytesOf(L"C:\\Zertifikate\\\u00c4rzte \U0001F512.pem\0"s),
            u8"string \"C:\\Zertifikate\\\u00c4rzte \U0001F512.pem\""},
        {L"expandable string, not expanded", REG_EXPAND_SZ, bytesOf(L"%USERPROFILE%\\Downloads\0"s),
            "string \"%USERPROFILE%\\Downloads\""},
        {L"multi-string", REG_MULTI_SZ, bytesOf(L"Main|https://a.example.com\0Backup|https://b.example.com\0\0"s),
            "list \"Main|https://a.example.com\" \"Backup|https://b.example.com\""},
        {L"multi-string without its final empty string", REG_MULTI_SZ, bytesOf(L"*.example.com\0sso.example.org\0"s),
            "list \"*.example.com\" \"sso.example.org\""},
        {L"multi-string without terminators", REG_MULTI_SZ, bytesOf(L"*.example.com\0sso.example.org"s),
            "list \"*.example.com\" \"sso.example.org\""},
        {L"multi-string ending at its empty string", REG_MULTI_SZ, bytesOf(L"one\0\0two\0\0"s), "list \"one\""},
        {L"empty multi-string", REG_MULTI_SZ, bytesOf(L"\0"s), "list"},
        {L"multi-string without data", REG_MULTI_SZ, {}, "list"},
        {L"DWORD 0", REG_DWORD, {0, 0, 0, 0}, "DWORD 0"},
        {L"DWORD 1", REG_DWORD, {1, 0, 0, 0}, "DWORD 1"},
        {L"DWORD, little-endian", REG_DWORD, {0x78, 0x56, 0x34, 0x12}, "DWORD 305419896"},
        {L"DWORD of two bytes", REG_DWORD, {1, 0}, "bytes 01 00"},
        {L"binary value", REG_BINARY, {1, 2, 0xff}, "bytes 01 02 ff"},
        {L"QWORD", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, "bytes 01 00 00 00 00 00 00 00"},
    };
    for (const PolicyValueCase& c : cases) {
        if (!writePolicyValue(kPolicyScratchPath, c.label, c.type, c.data))
            check(false, "policy value written, " + narrow(c.label));
    }
    const PolicyKeyContents contents = readPolicyKey(HKEY_LOCAL_MACHINE, kPolicyScratchPath);
    check(contents.status == PolicyKeyStatus::Read && contents.values.size() == cases.size(),
        "the policy key is read with all its values", std::to_string(contents.values.size()) + " values");
    for (const PolicyValueCase& c : cases) {
        const auto found = std::find_if(contents.values.begin(), contents.values.end(),
            [&c](const PolicyValue& value) { return value.name == c.label; });
        const std::string read = found == contents.values.end() ? "nothing" : shown(*found);
        check(read == c.expected, "policy value, " + narrow(c.label), "read " + read);
    }
    check(readPolicyKey(HKEY_LOCAL_MACHINE, kPolicyScratchPath + L"\\absent").status == PolicyKeyStatus::Absent,
        "an absent policy key manages nothing");
}

// Values of the given sizes (names of one letter, two bytes each) in a key of their own.
struct PolicySizeCase
{
    const char* name;
    std::vector<std::size_t> dataSizes;
    PolicyKeyStatus expected;
};

void testPolicyKeySizeLimit()
{
    const std::vector<PolicySizeCase> cases = {
        {"names and data of exactly 1 MiB are read", {kMaxPolicyBytes - 2}, PolicyKeyStatus::Read},
        {"one value a byte over 1 MiB is refused", {kMaxPolicyBytes - 1}, PolicyKeyStatus::Failed},
        {"values over 1 MiB together are refused", {600 * 1024, 600 * 1024}, PolicyKeyStatus::Failed},
    };
    int serial = 0;
    for (const PolicySizeCase& c : cases) {
        const std::wstring path = kPolicyScratchPath + L"\\size " + std::to_wstring(serial++);
        bool isWritten = true;
        wchar_t name = L'A';
        for (const std::size_t size : c.dataSizes)
            isWritten = writePolicyValue(path, std::wstring(1, name++), REG_BINARY, std::vector<unsigned char>(size))
                && isWritten;
        const PolicyKeyContents contents = readPolicyKey(HKEY_LOCAL_MACHINE, path);
        const bool isAsExpected = c.expected == PolicyKeyStatus::Read
            ? contents.values.size() == c.dataSizes.size()
            : contents.values.empty() && !contents.reason.empty();
        check(isWritten && contents.status == c.expected && isAsExpected, std::string("policy key size, ") + c.name,
            narrow(contents.reason));
    }
}

void testPolicyKey()
{
    testPolicyValuesReadAsStored();
    testPolicyKeySizeLimit();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kPolicyScratchPath.c_str());
}

// A second copy of this program, started from file, that stays until ended.
class ChildCopy
{
public:
    ChildCopy(const std::wstring& executable, int serial, const std::wstring& pipeName = {})
    {
        const std::wstring eventName
            = L"orbisk-wincore-ready-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(serial);
        const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
        const std::wstring mode = pipeName.empty() ? L" --idle " : L" --serve-pipe " + pipeName + L" ";
        std::wstring commandLine
            = L"\"" + executable + L"\"" + mode + eventName + L" " + std::to_wstring(GetCurrentProcessId());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (ready
            && CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                &startup, &m_process)) {
            CloseHandle(m_process.hThread);
            const HANDLE waits[] = {ready, m_process.hProcess};
            m_isReady = WaitForMultipleObjects(2, waits, FALSE, kWaitMs) == WAIT_OBJECT_0;
        }
        if (ready)
            CloseHandle(ready);
    }

    ~ChildCopy()
    {
        if (!m_process.hProcess)
            return;
        TerminateProcess(m_process.hProcess, 0);
        WaitForSingleObject(m_process.hProcess, kWaitMs);
        CloseHandle(m_process.hProcess);
    }

    ChildCopy(const ChildCopy&) = delete;
    ChildCopy& operator=(const ChildCopy&) = delete;

    bool isReady() const { return m_isReady; }
    DWORD processId() const { return m_process.dwProcessId; }

private:
    PROCESS_INFORMATION m_process{};
    bool m_isReady = false;
};

std::wstring ownPath()
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

// The processes named name in this program's own session.
int countOwn(const std::wstring& name)
{
    return countSessionProcessesByExecutableName(name, currentSessionId().value_or(0));
}

// Waits, bounded, until the snapshot shows count processes named name.
bool countBecomes(const std::wstring& name, int count)
{
    const ULONGLONG deadline = GetTickCount64() + kWaitMs;
    while (countOwn(name) != count) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(20);
    }
    return true;
}

void testProcessCount()
{
    const std::wstring self = ownExecutableFileName();
    check(self == L"orbisk-wincore-tests.exe", "own executable file name", narrow(self));
    check(countOwn(self) == 1, "the snapshot holds this program once in its session");
    check(countOwn(L"") == 0, "an empty name counts nothing");
    {
        ChildCopy second(ownPath(), 0);
        check(second.isReady(), "a second copy starts");
        check(countOwn(self) == 2, "the snapshot holds this program twice in its session while a copy runs");
        // Copies in other sessions (another user's on a terminal server) do not count.
        check(countSessionProcessesByExecutableName(self, currentSessionId().value_or(0) + 1) == 0,
            "another session holds none of this session's copies");
    }
    check(countBecomes(self, 1), "the count drops back to one when the copy has ended");
}

// Copies of this program under other file names, in a folder of their own.
struct CopyCase
{
    const char* name;
    std::wstring fileName;
    int expectedOwnCount;
};

void testCopiesUnderOtherNames()
{
    wchar_t tempRoot[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, tempRoot);
    const std::wstring folder = std::wstring(tempRoot) + L"orbisk-wincore-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring self = ownExecutableFileName();
    const std::vector<CopyCase> cases = {
        {"same name in another folder", self, 2},
        {"name differing in letter case only", L"ORBISK-WINCORE-TESTS.EXE", 1},
        {"another name", L"orbisk-wincore-tests-copy.exe", 1},
        {"non-ASCII name", L"\u00f6rbisk-wincore-tests.exe", 1},
    };
    int serial = 1;
    for (const CopyCase& c : cases) {
        const std::string name = std::string("process count with a copy, ") + c.name;
        const std::wstring path = folder + L"\\" + c.fileName;
        if (!CopyFileW(ownPath().c_str(), path.c_str(), FALSE)) {
            check(false, name, "cannot copy the program");
            continue;
        }
        {
            ChildCopy copy(path, serial++);
            const int own = countOwn(self);
            const int copies = countOwn(c.fileName);
            const int expectedCopies = c.fileName == self ? 2 : 1;
            check(copy.isReady() && own == c.expectedOwnCount && copies == expectedCopies, name,
                "own " + std::to_string(own) + ", copy's name " + std::to_string(copies));
        }
        countBecomes(self, 1);
        DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

// A loopback listener on port (0: any free one); INVALID_SOCKET if bind or listen fails.
SOCKET listenOnLoopback(unsigned short port, bool isExclusive, bool asksReuse)
{
    const SOCKET sock = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (sock == INVALID_SOCKET)
        return sock;
    const BOOL yes = TRUE;
    const bool isConfigured = (!isExclusive || makeAddressExclusive(sock))
        && (!asksReuse
            || setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes), sizeof yes) == 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!isConfigured || bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || listen(sock, SOMAXCONN) != 0) {
        closesocket(sock);
        return INVALID_SOCKET;
    }
    return sock;
}

unsigned short portOf(SOCKET sock)
{
    sockaddr_in address{};
    int length = sizeof address;
    getsockname(sock, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

SOCKET connectToLoopback(unsigned short port, bool isIpv6);

void testExclusiveListener()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        check(false, "Winsock starts");
        return;
    }
    const SOCKET first = listenOnLoopback(0, true, false);
    check(first != INVALID_SOCKET, "an exclusive listener binds a loopback port");
    if (first != INVALID_SOCKET) {
        const unsigned short port = portOf(first);
        const SOCKET exclusive = listenOnLoopback(port, true, false);
        check(exclusive == INVALID_SOCKET, "a second exclusive listener on the port fails");
        const SOCKET reusing = listenOnLoopback(port, false, true);
        check(reusing == INVALID_SOCKET, "a second listener asking for SO_REUSEADDR fails");
        for (const SOCKET extra : {exclusive, reusing}) {
            if (extra != INVALID_SOCKET)
                closesocket(extra);
        }
        closesocket(first);
        const SOCKET again = listenOnLoopback(port, true, false);
        check(again != INVALID_SOCKET, "the port can be bound again once its listener has closed");
        // The local service answers each connection and closes it first, so its end lingers
        // after the close; a restart right after binds the port within the start's retry time.
        const SOCKET client = again == INVALID_SOCKET ? INVALID_SOCKET : connectToLoopback(port, false);
        const SOCKET accepted = client == INVALID_SOCKET ? INVALID_SOCKET : accept(again, nullptr, nullptr);
        char answer[8] = {};
        check(accepted != INVALID_SOCKET && send(accepted, "answer", 6, 0) == 6 && closesocket(accepted) == 0
                && recv(client, answer, sizeof answer, 0) == 6 && recv(client, answer, 1, 0) == 0,
            "an exclusive listener accepts, answers and closes a connection");
        closesocket(client);
        closesocket(again);
        const ULONGLONG deadline = GetTickCount64() + kRebindWindowMs;
        SOCKET rebound = listenOnLoopback(port, true, false);
        for (; rebound == INVALID_SOCKET && GetTickCount64() < deadline; rebound = listenOnLoopback(port, true, false))
            Sleep(kRebindIntervalMs);
        check(rebound != INVALID_SOCKET, "after such a connection the port is bound again within the retry time");
        closesocket(rebound);
    }
    WSACleanup();
}

const char* shown(orbisk::PeerUser user)
{
    switch (user) {
    case orbisk::PeerUser::Same:
        return "same user";
    case orbisk::PeerUser::Other:
        return "other user";
    case orbisk::PeerUser::Unknown:
        break;
    }
    return "unknown";
}

// Connects a client socket of this process to the loopback listener at port, over IPv4 or
// as a dual-stack IPv6 socket through the IPv4-mapped address.
SOCKET connectToLoopback(unsigned short port, bool isIpv6)
{
    const SOCKET client = socket(isIpv6 ? AF_INET6 : AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (client == INVALID_SOCKET)
        return client;
    int iConnected = SOCKET_ERROR;
    if (isIpv6) {
        const DWORD no = 0;
        setsockopt(client, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&no), sizeof no);
        sockaddr_in6 address{};
        address.sin6_family = AF_INET6;
        address.sin6_port = htons(port);
        inet_pton(AF_INET6, "::ffff:127.0.0.1", &address.sin6_addr);
        iConnected = connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
    } else {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        iConnected = connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    if (iConnected != 0) {
        closesocket(client);
        return INVALID_SOCKET;
    }
    return client;
}

// Wine runs this program here; it has an export of its own in ntdll.
bool isWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The local service's caller check on connections this process makes to itself. The
// connection tables hold the peer's end of each (found by its two addresses, whatever the
// client's socket family), and no row for an address pair that no connection has. Windows
// names this process as the owner, so the caller is this user; Wine names process 0, so
// there the check must fail closed (unknown), never pass.
void testPeerUserOfOwnConnections()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        check(false, "Winsock starts");
        return;
    }
    const bool isOwnerNamed = !isWine();
    const SOCKET listener = listenOnLoopback(0, true, false);
    check(listener != INVALID_SOCKET, "a loopback listener for the caller check");
    for (const bool isIpv6 : {false, true}) {
        if (listener == INVALID_SOCKET)
            break;
        const std::string over = isIpv6 ? " (IPv6 client, mapped address)" : " (IPv4 client)";
        const SOCKET client = connectToLoopback(portOf(listener), isIpv6);
        sockaddr_in theirs{};
        int theirsLength = sizeof theirs;
        const SOCKET accepted = client == INVALID_SOCKET
            ? INVALID_SOCKET
            : accept(listener, reinterpret_cast<sockaddr*>(&theirs), &theirsLength);
        sockaddr_in ours{};
        int oursLength = sizeof ours;
        if (accepted == INVALID_SOCKET || getsockname(accepted, reinterpret_cast<sockaddr*>(&ours), &oursLength) != 0) {
            check(false, "a connection to itself" + over);
        } else {
            const std::optional<unsigned long> owner = orbisk::owningProcessOf(ours, theirs);
            check(owner && *owner == (isOwnerNamed ? GetCurrentProcessId() : 0),
                "the tables hold the peer's end, owned by " + std::string(isOwnerNamed ? "this process" : "process 0")
                    + over,
                owner ? std::to_string(*owner) : "no row");
            const orbisk::PeerUser user = orbisk::peerUser(ours, theirs);
            check(user == (isOwnerNamed ? orbisk::PeerUser::Same : orbisk::PeerUser::Unknown),
                "the caller is " + std::string(isOwnerNamed ? "this user" : "unknown, never another user") + over,
                shown(user));
            sockaddr_in nobody = theirs;
            nobody.sin_port = htons(ntohs(theirs.sin_port) == 1 ? 2 : 1);
            check(!orbisk::owningProcessOf(ours, nobody) && orbisk::peerUser(ours, nobody) == orbisk::PeerUser::Unknown,
                "an address pair without a connection has no row and tells nothing" + over);
        }
        for (const SOCKET sock : {client, accepted}) {
            if (sock != INVALID_SOCKET)
                closesocket(sock);
        }
    }
    if (listener != INVALID_SOCKET)
        closesocket(listener);
    WSACleanup();
}

const wchar_t* const kPipePrefix = L"\\\\.\\pipe\\";

// A pipe server that waits for one client.
HANDLE makePipeServer(const std::wstring& name)
{
    return CreateNamedPipeW(
        (kPipePrefix + name).c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
}

// A client's handle on the pipe; INVALID_HANDLE_VALUE if there is no free server.
HANDLE connectToPipe(const std::wstring& name)
{
    const std::wstring path = kPipePrefix + name;
    if (!WaitNamedPipeW(path.c_str(), kWaitMs))
        return INVALID_HANDLE_VALUE;
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

const char* shown(ProcessUser user)
{
    switch (user) {
    case ProcessUser::CurrentUser:
        return "current user";
    case ProcessUser::OtherUser:
        return "other user";
    case ProcessUser::Unknown:
        break;
    }
    return "unknown";
}

void testPrivatePipeName()
{
    const std::wstring sid = currentUserSid();
    check(sid.rfind(L"S-1-5-", 0) == 0, "the current user's SID as text", narrow(sid));
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    const std::wstring name = privatePipeName(L"orbisk-client.channel");
    check(name == L"orbisk-client.channel-" + sid + L"-" + std::to_wstring(session),
        "the pipe name carries the user's SID and the session", narrow(name));

    // The name is usable as it is: a server can be made and reached under it.
    const HANDLE server = makePipeServer(name);
    const HANDLE client = server == INVALID_HANDLE_VALUE ? INVALID_HANDLE_VALUE : connectToPipe(name);
    check(client != INVALID_HANDLE_VALUE, "a pipe can be served and reached under the private name");
    for (const HANDLE handle : {client, server}) {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
}

void testPipeServerUser()
{
    const std::wstring ownName = L"orbisk-wincore-own-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE server = makePipeServer(ownName);
    const HANDLE client = connectToPipe(ownName);
    const ProcessUser own = pipeServerUser(client);
    check(own == ProcessUser::CurrentUser, "a pipe served by this process is this user's", shown(own));
    for (const HANDLE handle : {client, server}) {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }

    // Served by another process of this user.
    const std::wstring childName = L"orbisk-wincore-child-" + std::to_wstring(GetCurrentProcessId());
    {
        ChildCopy child(ownPath(), 100, childName);
        check(child.isReady(), "a copy serves a pipe");
        const HANDLE toChild = connectToPipe(childName);
        ULONG serverId = 0;
        check(toChild != INVALID_HANDLE_VALUE && GetNamedPipeServerProcessId(toChild, &serverId)
                && serverId == child.processId(),
            "the pipe's server process is the copy");
        const ProcessUser childUser = pipeServerUser(toChild);
        check(childUser == ProcessUser::CurrentUser, "a pipe served by another process of this user is this user's",
            shown(childUser));
        if (toChild != INVALID_HANDLE_VALUE)
            CloseHandle(toChild);
    }

    // Handles that are no pipe client tell nothing.
    const std::wstring fileName = L"orbisk-wincore-file-" + std::to_wstring(GetCurrentProcessId());
    wchar_t tempRoot[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, tempRoot);
    const std::wstring filePath = std::wstring(tempRoot) + fileName;
    const HANDLE file = CreateFileW(
        filePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const std::vector<std::pair<const char*, HANDLE>> cases = {
        {"no handle", nullptr},
        {"an invalid handle", INVALID_HANDLE_VALUE},
        {"a file", file},
        {"an event", event},
    };
    for (const auto& [label, handle] : cases) {
        const ProcessUser user = pipeServerUser(handle);
        check(user == ProcessUser::Unknown, std::string("pipe server's user of ") + label, shown(user));
    }
    for (const HANDLE handle : {file, event}) {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
}

// Serves a pipe (one client may connect) until the parent process has gone.
int runPipeServer(const wchar_t* pipeName, const wchar_t* eventName, const wchar_t* parentId)
{
    const HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(std::wcstoul(parentId, nullptr, 10)));
    const HANDLE server = makePipeServer(pipeName);
    const HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName);
    if (!parent || server == INVALID_HANDLE_VALUE || !ready || !SetEvent(ready))
        return 2;
    CloseHandle(ready);
    WaitForSingleObject(parent, INFINITE);
    return 0;
}

int runIdleCopy(const wchar_t* eventName, const wchar_t* parentId)
{
    const HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(std::wcstoul(parentId, nullptr, 10)));
    const HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName);
    if (!parent || !ready || !SetEvent(ready))
        return 2;
    CloseHandle(ready);
    // Normally ended by the parent; a copy whose parent died goes too.
    WaitForSingleObject(parent, INFINITE);
    return 0;
}

} // namespace

int main()
{
    int argumentCount = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
    if (arguments && argumentCount == 4 && std::wstring(arguments[1]) == L"--idle")
        return runIdleCopy(arguments[2], arguments[3]);
    if (arguments && argumentCount == 5 && std::wstring(arguments[1]) == L"--serve-pipe")
        return runPipeServer(arguments[2], arguments[3], arguments[4]);

    testRunValueReadsBackAsWritten();
    testUnstorablePathChangesNothing();
    testSwitchingOffRemovesTheValue();
    testEmptyValueNameIsRefused();
    testPolicyKey();
    testProcessCount();
    testCopiesUnderOtherNames();
    testExclusiveListener();
    testPeerUserOfOwnConnections();
    testPrivatePipeName();
    testPipeServerUser();

    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
