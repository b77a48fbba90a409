#include "platform/win/ProcessCount.h"

#include <tlhelp32.h>

namespace orbisk::platform::win {

int countSessionProcessesByExecutableName(const std::wstring& exeFileName, DWORD sessionId)
{
    if (exeFileName.empty())
        return 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = static_cast<DWORD>(sizeof entry);
    int count = 0;
    // A first entry that cannot be read leaves the count at 0.
    if (Process32FirstW(snapshot, &entry)) {
        do {
            DWORD processSession = 0;
            if (exeFileName == entry.szExeFile && ProcessIdToSessionId(entry.th32ProcessID, &processSession)
                && processSession == sessionId)
                ++count;
        } while (Process32NextW(snapshot, &entry));
    }
    CloseHandle(snapshot);
    return count;
}

std::optional<DWORD> currentSessionId()
{
    DWORD sessionId = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &sessionId))
        return std::nullopt;
    return sessionId;
}

std::wstring ownExecutableFileName()
{
    // The path may be longer than MAX_PATH; a full buffer means it may have been cut.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(path.find_last_of(L"\\/") + 1);
}

} // namespace orbisk::platform::win
