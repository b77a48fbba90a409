#include "platform/win/PolicyKey.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace orbisk::platform::win {

namespace {

// The longest value name the registry allows, with its terminating NUL.
constexpr DWORD kNameCapacity = 16384;
// How often a value that changes while it is read is asked for again.
constexpr int kAttempts = 4;

PolicyKeyContents failure(std::wstring reason)
{
    PolicyKeyContents contents;
    contents.status = PolicyKeyStatus::Failed;
    contents.reason = std::move(reason);
    return contents;
}

PolicyKeyContents failure(LONG error)
{
    if (error == ERROR_ACCESS_DENIED)
        return failure(L"access denied");
    return failure(L"Windows error " + std::to_wstring(error));
}

// The UTF-16 units of a string value's data; an odd last byte is no unit and is dropped.
std::wstring unitsOf(const std::vector<unsigned char>& data)
{
    std::wstring units(data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(units.data(), data.data(), units.size() * sizeof(wchar_t));
    return units;
}

// A string ends at its first NUL, or with the data where the NUL is missing.
std::wstring textOf(const std::wstring& units)
{
    return units.substr(0, units.find(L'\0'));
}

// A multi-string holds strings each ended by a NUL, the whole ended by an empty string;
// either terminator may be missing. Nothing after the empty string belongs to it.
std::vector<std::wstring> listOf(const std::wstring& units)
{
    std::vector<std::wstring> list;
    std::size_t start = 0;
    while (start < units.size()) {
        const std::size_t end = std::min(units.find(L'\0', start), units.size());
        if (end == start)
            break;
        list.push_back(units.substr(start, end - start));
        start = end + 1;
    }
    return list;
}

PolicyValue valueOf(std::wstring name, DWORD type, std::vector<unsigned char> data)
{
    PolicyValue value;
    value.name = std::move(name);
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        value.type = PolicyValueType::String;
        value.text = textOf(unitsOf(data));
    } else if (type == REG_MULTI_SZ) {
        value.type = PolicyValueType::MultiString;
        value.list = listOf(unitsOf(data));
    } else if (type == REG_DWORD && data.size() == sizeof(std::uint32_t)) {
        value.type = PolicyValueType::Dword;
        std::memcpy(&value.number, data.data(), sizeof value.number);
    } else {
        value.bytes = std::move(data);
    }
    return value;
}

// Every value of an open key, in the order the registry lists them.
PolicyKeyContents readValues(HKEY key)
{
    PolicyKeyContents contents;
    contents.status = PolicyKeyStatus::Read;
    std::uint64_t total = 0;
    std::wstring name(kNameCapacity, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = 0;
        DWORD type = REG_NONE;
        DWORD size = 0;
        std::vector<unsigned char> data;
        LONG result = ERROR_MORE_DATA;
        // The value may grow between asking its size and reading it; ask again then.
        for (int attempt = 0; attempt < kAttempts && result == ERROR_MORE_DATA; ++attempt) {
            nameLength = kNameCapacity;
            result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, nullptr, &size);
            if (result != ERROR_SUCCESS)
                break;
            if (total + nameLength * sizeof(wchar_t) + size > kMaxPolicyBytes)
                return failure(L"the values together are larger than 1 MiB");
            // Never an empty buffer: without one the call would only report the size again.
            data.assign(std::max<DWORD>(size, 1), 0);
            size = static_cast<DWORD>(data.size());
            nameLength = kNameCapacity;
            result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        }
        if (result == ERROR_NO_MORE_ITEMS)
            return contents;
        if (result == ERROR_MORE_DATA)
            return failure(L"a value kept changing while it was read");
        if (result != ERROR_SUCCESS)
            return failure(result);
        data.resize(std::min<std::size_t>(size, data.size()));
        total += nameLength * sizeof(wchar_t) + data.size();
        contents.values.push_back(valueOf(name.substr(0, nameLength), type, std::move(data)));
    }
}

} // namespace

PolicyKeyContents readPolicyKey(HKEY root, const std::wstring& subKeyPath)
{
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExW(root, subKeyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key);
    if (opened == ERROR_FILE_NOT_FOUND)
        return {};
    if (opened != ERROR_SUCCESS)
        return failure(opened);
    PolicyKeyContents contents = readValues(key);
    RegCloseKey(key);
    return contents;
}

} // namespace orbisk::platform::win
