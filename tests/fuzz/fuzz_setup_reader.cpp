// Any bytes as a setup file. Reading must never touch anything when the file
// is short, and what is read, written again and read back must be the same
// file: the writer's output is the reader's fixed point.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "setup/setup_file.h"
#include "support/program_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    resetProgramState();
    std::vector<uint8_t> before = composeSetupBytes();
    SetupReadResult result = readSetupBytes(bytes, size);
    if (result == SetupReadResult::TooShort) {
        if (composeSetupBytes() != before) std::abort();  // a short file changes nothing
        return 0;
    }
    std::vector<uint8_t> written = composeSetupBytes();
    if (written.empty()) return 0;  // a sound folder too long to be saved is refused by the writer
    if (readSetupBytes(written.data(), written.size()) != SetupReadResult::Read) std::abort();
    if (composeSetupBytes() != written) std::abort();
    return 0;
}
