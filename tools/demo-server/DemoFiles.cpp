#include "DemoFiles.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* const kSampleName = "orbisk-demo-sample.bin";
constexpr std::size_t kSampleBytes = 6 * 1024 * 1024;
const char* const kFallbackUploadName = "upload";

// The part after the last '/' or '\': browsers send a bare name, but nothing forces them.
std::string lastPathPart(const std::string& sName)
{
    const std::size_t separator = sName.find_last_of("/\\");
    return separator == std::string::npos ? sName : sName.substr(separator + 1);
}

std::pair<std::string, std::string> splitExtension(const std::string& sName)
{
    const std::size_t dot = sName.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return {sName, std::string()};
    return {sName.substr(0, dot), sName.substr(dot)};
}

// Opens a new file for writing; fails rather than open one that exists.
std::FILE* createExclusive(const fs::path& path)
{
    return std::fopen(path.c_str(), "wbx");
}

} // namespace

std::vector<DemoFile> listDemoFiles(const std::string& sDir)
{
    std::vector<DemoFile> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(sDir, error)) {
        std::error_code entryError;
        if (!entry.is_regular_file(entryError) || !isPlainDemoFileName(entry.path().filename().string()))
            continue;
        files.push_back({entry.path().filename().string(), entry.file_size(entryError)});
    }
    std::sort(files.begin(), files.end(), [](const DemoFile& a, const DemoFile& b) { return a.name < b.name; });
    return files;
}

bool isPlainDemoFileName(const std::string& sName)
{
    if (sName.empty() || sName == "." || sName == "..")
        return false;
    return std::none_of(sName.begin(), sName.end(), [](char ch) {
        const auto byte = static_cast<unsigned char>(ch);
        return ch == '/' || ch == '\\' || byte < 0x20 || byte == 0x7f;
    });
}

std::string demoFilePath(const std::string& sDir, const std::string& sName)
{
    if (!isPlainDemoFileName(sName))
        return std::string();
    const fs::path path = fs::path(sDir) / sName;
    std::error_code error;
    return fs::is_regular_file(path, error) ? path.string() : std::string();
}

std::string storeDemoFile(
    const std::string& sDir, const std::string& sName, const std::string& sContent, std::string& sError)
{
    std::string name = lastPathPart(sName);
    if (!isPlainDemoFileName(name))
        name = kFallbackUploadName;
    const auto [stem, extension] = splitExtension(name);

    for (int n = 0;; ++n) {
        const std::string candidate = n == 0 ? name : stem + " (" + std::to_string(n) + ")" + extension;
        const fs::path path = fs::path(sDir) / candidate;
        std::FILE* file = createExclusive(path);
        if (!file && errno == EEXIST)
            continue;
        if (!file) {
            sError = "cannot create " + path.string() + ": " + std::strerror(errno);
            return std::string();
        }
        const bool isWritten = std::fwrite(sContent.data(), 1, sContent.size(), file) == sContent.size();
        const bool isClosed = std::fclose(file) == 0;
        if (!isWritten || !isClosed) {
            sError = "cannot write " + path.string();
            std::error_code ignored;
            fs::remove(path, ignored);
            return std::string();
        }
        return candidate;
    }
}

bool ensureDemoFiles(const std::string& sDir, std::string& sError)
{
    std::error_code error;
    fs::create_directories(sDir, error);
    if (error) {
        sError = "cannot create " + sDir + ": " + error.message();
        return false;
    }
    if (!listDemoFiles(sDir).empty())
        return true;

    // Bytes that do not repeat, so a transfer that mixes up blocks is visible.
    std::string sample(kSampleBytes, '\0');
    std::uint32_t state = 0x2545F491u;
    for (char& ch : sample) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        ch = static_cast<char>(state & 0xffu);
    }
    return !storeDemoFile(sDir, kSampleName, sample, sError).empty();
}

std::string attachmentDisposition(const std::string& sName)
{
    std::string ascii;
    std::string encoded;
    static const char kHex[] = "0123456789ABCDEF";
    for (char ch : sName) {
        const auto byte = static_cast<unsigned char>(ch);
        const bool isPrintableAscii = byte >= 0x20 && byte < 0x7f;
        ascii += isPrintableAscii && ch != '"' && ch != '\\' ? ch : '_';
        // The characters RFC 5987 allows unencoded in an extended value.
        if (std::isalnum(byte) || (ch != '\0' && std::strchr("!#$&+-.^_`|~", ch))) {
            encoded += ch;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0f];
        }
    }
    return "attachment; filename=\"" + ascii + "\"; filename*=UTF-8''" + encoded;
}
