#include "platform/win/ProcessUser.h"

#include <sddl.h>

#include <vector>

namespace orbisk::platform::win {

namespace {

// The TOKEN_USER of a process, in a buffer of its own size; empty if unreadable.
std::vector<BYTE> tokenUserOf(HANDLE process)
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

ProcessUser userOfProcess(DWORD processId)
{
    std::vector<BYTE> own = tokenUserOf(GetCurrentProcess());
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return ProcessUser::Unknown;
    std::vector<BYTE> user = tokenUserOf(process);
    CloseHandle(process);
    if (own.empty() || user.empty())
        return ProcessUser::Unknown;
    return EqualSid(sidOf(own), sidOf(user)) ? ProcessUser::CurrentUser : ProcessUser::OtherUser;
}

std::wstring currentUserSid()
{
    std::vector<BYTE> own = tokenUserOf(GetCurrentProcess());
    LPWSTR text = nullptr;
    if (own.empty() || !ConvertSidToStringSidW(sidOf(own), &text))
        return {};
    std::wstring sid(text);
    LocalFree(text);
    return sid;
}

} // namespace orbisk::platform::win
