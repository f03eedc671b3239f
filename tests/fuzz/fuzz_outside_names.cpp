// Any name as the command line or a dropped file, with the shell answering as
// the input says: a shortcut's target and the long form of a path. Opening
// must classify the name, follow or refuse it, and never crash or cut it.
#include <cstdint>
#include <string>

#include "base/dialogs.h"
#include "flows/outside_files.h"
#include "library/external_file.h"
#include "setup/document.h"
#include "support/program_state.h"

namespace {

// The input as up to three texts split at zero bytes: the name, the target of
// the name as a shortcut, and the long form of that target.
std::string part(const uint8_t*& bytes, const uint8_t* end) {
    std::string text;
    while (bytes < end && *bytes != 0) text.push_back(static_cast<char>(*bytes++));
    if (bytes < end) ++bytes;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size > 4096) return 0;
    resetProgramState();
    const uint8_t* end = bytes + size;
    // The first byte: bit 0 the setup is modified, bits 1-2 the answer to the
    // save prompt, bit 3 the name comes as the command line.
    uint8_t flags = size > 0 ? bytes[0] : 0;
    if (size > 0) ++bytes;
    std::string name = part(bytes, end);
    std::string target = part(bytes, end);
    std::string longForm = part(bytes, end);
    fakeShell.shortcuts[name] = target;
    fakeShell.longPaths[target] = longForm;
    fakeShell.longPaths[name] = longForm;
    document.modified = (flags & 1) != 0;
    fakeDialogs.answers = {(flags >> 1) & 3};
    if (flags & 8) openCommandLineFile(name.c_str());
    else openExternalFile(name.c_str());
    return 0;
}
