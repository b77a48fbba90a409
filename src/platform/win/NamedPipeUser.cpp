#include "platform/win/NamedPipeUser.h"

#include <sddl.h>

#include <vector>

namespace orbisk::platform::win {

namespace {

// The TOKEN_USER of a process, in a buffer of its own size; empty if unreadable.
std::vector<BYTE> processUser(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return {};
    std::vector<BYTE> user;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size > 0) {
        user.resize(size);
        if (!GetTokenInformation(token, TokenUser, user.data(), size, &size))
            user.clear();
    }
    CloseHandle(token);
    return user;
}

PSID sidOf(std::vector<BYTE>& user)
{
    return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}

} // namespace

PipeServerUser pipeServerUser(HANDLE pipe)
{
    ULONG serverId = 0;
    if (pipe == nullptr || pipe == INVALID_HANDLE_VALUE || !GetNamedPipeServerProcessId(pipe, &serverId))
        return PipeServerUser::Unknown;
    std::vector<BYTE> own = processUser(GetCurrentProcess());
    // Another user's process normally refuses to be opened or to show its token:
    // what cannot be read is not taken for this user's.
    const HANDLE server = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, serverId);
    if (own.empty() || !server) {
        if (server)
            CloseHandle(server);
        return PipeServerUser::Unknown;
    }
    std::vector<BYTE> serverUser = processUser(server);
    CloseHandle(server);
    if (serverUser.empty())
        return PipeServerUser::Unknown;
    return EqualSid(sidOf(own), sidOf(serverUser)) ? PipeServerUser::CurrentUser : PipeServerUser::OtherUser;
}

std::wstring currentUserSid()
{
    std::vector<BYTE> own = processUser(GetCurrentProcess());
    LPWSTR text = nullptr;
    if (own.empty() || !ConvertSidToStringSidW(sidOf(own), &text))
        return {};
    std::wstring sid(text);
    LocalFree(text);
    return sid;
}

std::wstring privatePipeName(const std::wstring& baseName)
{
    DWORD session = 0;
    const std::wstring sid = currentUserSid();
    if (sid.empty() || !ProcessIdToSessionId(GetCurrentProcessId(), &session))
        return {};
    return baseName + L"-" + sid + L"-" + std::to_wstring(session);
}

} // namespace orbisk::platform::win
