#include "setup/kit_folder.h"

#include <cstring>
#include <string>

#include "base/joined_text.h"

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The last component without its trailing separators; empty for a root such
// as "C:\" or "\", whose name is a drive or nothing.
std::string lastName(const char* folder) {
    size_t end = std::strlen(folder);
    while (end > 0 && isSeparator(folder[end - 1])) --end;
    size_t start = end;
    while (start > 0 && !isSeparator(folder[start - 1])) --start;
    std::string name(folder + start, end - start);
    // "." and ".." would lead out of the setup's folder; a colon marks a drive.
    if (name == "." || name == ".." || name.find(':') != std::string::npos) return "";
    return name;
}

// The setup path up to and including its last separator; empty when none.
std::string folderPart(const char* path) {
    const char* last = nullptr;
    for (const char* c = path; *c; ++c)
        if (isSeparator(*c)) last = c;
    return last ? std::string(path, last + 1) : std::string();
}

}  // namespace

bool folderBesideSetup(const char* setupPath, const char* storedFolder, char folder[PathCapacity]) {
    std::string name = lastName(storedFolder);
    std::string setupFolder = folderPart(setupPath);
    if (name.empty() || setupFolder.empty()) return false;
    return joinWholeText(folder, PathCapacity, {setupFolder.c_str(), name.c_str()});
}
