#include "platform/win/NamedPipeUser.h"

namespace orbisk::platform::win {

ProcessUser pipeServerUser(HANDLE pipe)
{
    ULONG serverId = 0;
    if (pipe == nullptr || pipe == INVALID_HANDLE_VALUE || !GetNamedPipeServerProcessId(pipe, &serverId))
        return ProcessUser::Unknown;
    return userOfProcess(serverId);
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
