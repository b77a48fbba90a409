#pragma once

// The managed configuration on Windows: the values an administrator (or Group Policy)
// sets under HKEY_LOCAL_MACHINE\Software\Policies\Orbisk\Client, read as they are
// stored. Plain Win32, no Qt; what the values mean is decided elsewhere.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orbisk::platform::win {

// The policy key's path below HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kPolicyKeyPath[] = L"Software\\Policies\\Orbisk\\Client";

// Values whose names and data take more bytes than this together are not read at all.
inline constexpr std::uint32_t kMaxPolicyBytes = 1024 * 1024;

enum class PolicyValueType {
    String, // REG_SZ or REG_EXPAND_SZ, unexpanded: in text
    MultiString, // REG_MULTI_SZ: in list
    Dword, // REG_DWORD of four bytes: in number
    Other, // any other type or size: the raw data in bytes
};

struct PolicyValue
{
    std::wstring name;
    PolicyValueType type = PolicyValueType::Other;
    std::wstring text;
    std::vector<std::wstring> list;
    std::uint32_t number = 0;
    std::vector<unsigned char> bytes;
};

enum class PolicyKeyStatus {
    Absent, // no key: nothing is managed
    Read,
    Failed, // unreadable or too large: no values, and reason says why
};

struct PolicyKeyContents
{
    PolicyKeyStatus status = PolicyKeyStatus::Absent;
    std::vector<PolicyValue> values;
    std::wstring reason;
};

// Reads every value of subKeyPath below root, in the registry's 64-bit view.
PolicyKeyContents readPolicyKey(HKEY root = HKEY_LOCAL_MACHINE, const std::wstring& subKeyPath = kPolicyKeyPath);

} // namespace orbisk::platform::win
