#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The demo server's file store: one flat folder whose regular files are offered for
// download and into which uploads are written.
struct DemoFile
{
    std::string name;
    std::uintmax_t size = 0;
};

// The regular files of the folder, sorted by name; empty when it cannot be read.
std::vector<DemoFile> listDemoFiles(const std::string& sDir);

// True for a name that stays inside the folder: not empty, not "." or "..", without
// '/', '\' or control characters.
bool isPlainDemoFileName(const std::string& sName);

// The path of a stored regular file, or empty when the name is not plain or there is
// no such file.
std::string demoFilePath(const std::string& sDir, const std::string& sName);

// Writes an upload under its name, or "name (1).ext" and so on when that is taken; an
// existing file is never replaced. Returns the name used, or empty with sError set.
std::string storeDemoFile(
    const std::string& sDir, const std::string& sName, const std::string& sContent, std::string& sError);

// Creates the folder and, when it holds no files, a sample of a few megabytes to download.
bool ensureDemoFiles(const std::string& sDir, std::string& sError);

// A Content-Disposition header value that offers the file for saving under sName: a
// plain ASCII filename for old clients and the exact name as UTF-8 in filename*.
std::string attachmentDisposition(const std::string& sName);
