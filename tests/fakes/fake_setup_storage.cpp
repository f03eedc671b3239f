// Reads and stores recorded as "file read <path>" and "file store <path>".
#include "fakes/fake_setup_storage.h"

#include <algorithm>

#include "fakes/call_log.h"
#include "setup/setup_storage.h"

FakeSetupStorage fakeSetupStorage;

bool readSetupFile(const char* path, size_t maxBytes, std::vector<uint8_t>& bytes) {
    callLog.push_back(std::string("file read ") + path);
    if (fakeSetupStorage.locked.count(path)) return false;
    const std::vector<uint8_t>& held = fakeSetupStorage.files[path];  // made empty when missing
    bytes.assign(held.begin(), held.begin() + static_cast<long>(std::min(maxBytes, held.size())));
    return true;
}

bool storeSetupFile(const char* path, SaveTarget target, const std::vector<uint8_t>& bytes) {
    callLog.push_back(std::string("file store ") + path);
    FakeSetupStorage& storage = fakeSetupStorage;
    if (storage.locked.count(path)) return false;
    if (target == SaveTarget::ExistingFile && !storage.files.count(path)) return false;
    if (storage.writesFail) return false;
    storage.files[path] = bytes;
    return true;
}
