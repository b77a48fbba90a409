#include "platform/win/RunKey.h"

#include <windows.h>

#include <algorithm>

namespace orbisk::platform::win {

namespace {

bool isUsableValueName(const std::wstring& valueName)
{
    return !valueName.empty() && valueName.find(L'\0') == std::wstring::npos;
}

bool isDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

} // namespace

std::wstring runCommand(const std::wstring& executablePath, const std::wstring& arguments)
{
    std::wstring path = executablePath;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return L'"' + path + L"\" " + arguments;
}

bool isStorableExecutablePath(const std::wstring& executablePath)
{
    const std::wstring& p = executablePath;
    const bool hasDrive = p.size() >= 3 && isDriveLetter(p[0]) && p[1] == L':' && isSeparator(p[2]);
    const bool isUnc = p.size() >= 3 && isSeparator(p[0]) && isSeparator(p[1]) && !isSeparator(p[2]);
    const bool hasForbidden = std::any_of(p.begin(), p.end(), [](wchar_t c) { return c == L'"' || c < 0x20; });
    return (hasDrive || isUnc) && !hasForbidden;
}

std::optional<std::wstring> readRunValue(const std::wstring& valueName)
{
    if (!isUsableValueName(valueName))
        return std::nullopt;
    // The value may change between asking its size and reading it; ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        LONG result
            = RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, valueName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size);
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        result = RegGetValueW(
            HKEY_CURRENT_USER, kRunKeyPath, valueName.c_str(), RRF_RT_REG_SZ, nullptr, data.data(), &size);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        // size counts the terminating NUL, which RegGetValueW guarantees.
        data.resize(size / sizeof(wchar_t));
        if (!data.empty() && data.back() == L'\0')
            data.pop_back();
        return data;
    }
    return std::nullopt;
}

bool writeRunValue(const std::wstring& valueName, const std::wstring& command)
{
    if (!isUsableValueName(valueName) || command.find(L'\0') != std::wstring::npos)
        return false;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
    const LONG result
        = RegSetValueExW(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()), bytes);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && readRunValue(valueName) == command;
}

bool deleteRunValue(const std::wstring& valueName)
{
    if (!isUsableValueName(valueName))
        return false;
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return false;
    const LONG result = RegDeleteValueW(key, valueName.c_str());
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool setStartWithSystem(
    bool enabled, const std::wstring& valueName, const std::wstring& executablePath, const std::wstring& arguments)
{
    if (!enabled)
        return deleteRunValue(valueName);
    return isStorableExecutablePath(executablePath) && writeRunValue(valueName, runCommand(executablePath, arguments));
}

} // namespace orbisk::platform::win
