// Any bytes as a setup file. Reading must never touch anything when the file
// is short, and any other opens on bank 1; a file before version 8000 or with a
// damaged extension leaves every key at its default properties and every
// other bank at the start-up layout; and what is read, written and read back
// must be the same file: the writer's output is the reader's fixed point.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "keys/key_bank.h"
#include "keys/key_banks.h"
#include "setup/setup_file.h"
#include "support/program_state.h"

namespace {

bool everyKeyHasDefaultProperties() {
    for (const KeySlot& key : keyBank.slots)
        if (!hasDefaultProperties(key)) return false;
    return true;
}

bool everyOtherBankHoldsTheStartUpLayout() {
    for (int b = 1; b < BankCount; ++b)
        if (!holdsStartUpLayout(b)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    resetProgramState();
    // Properties of the keys before: a short file keeps them, any other replaces them.
    keyBank.slots[0].chokeGroup = 5;
    keyBank.slots[46].endMilliseconds = 1234;
    // Another bank edited and shown: a short file keeps both.
    bankOf(2).slots[7].note = 5;
    showBank(2);
    std::vector<uint8_t> before = composeSetupBytes();
    SetupExtensionResult extension = SetupExtensionResult::Read;
    SetupReadResult result = readSetupBytes(bytes, size, extension);
    if (result == SetupReadResult::TooShort) {
        if (composeSetupBytes() != before || shownBank != 2) std::abort();  // a short file changes nothing
        return 0;
    }
    if (shownBank != 0) std::abort();
    int16_t version = static_cast<int16_t>(static_cast<uint16_t>((bytes[0] << 8) | bytes[1]));
    bool takesNoProperties = version < ExtendedSetupVersion || extension == SetupExtensionResult::Damaged;
    if (takesNoProperties && (!everyKeyHasDefaultProperties() || !everyOtherBankHoldsTheStartUpLayout())) std::abort();
    std::vector<uint8_t> written = composeSetupBytes();
    if (written.empty()) return 0;  // a sound folder too long to be saved is refused by the writer
    SetupExtensionResult writtenExtension = SetupExtensionResult::Damaged;
    if (readSetupBytes(written.data(), written.size(), writtenExtension) != SetupReadResult::Read ||
        writtenExtension != SetupExtensionResult::Read)
        std::abort();
    if (composeSetupBytes() != written) std::abort();
    return 0;
}
