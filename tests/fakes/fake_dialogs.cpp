#include "fakes/fake_dialogs.h"

#include <string>

#include "base/dialogs.h"
#include "fakes/call_log.h"

FakeDialogs fakeDialogs;

namespace {
int answer(const char* kind, const char* text) {
    callLog.push_back(std::string("dialog ") + kind + " " + text);
    if (fakeDialogs.answers.empty()) return 1;
    int result = fakeDialogs.answers.front();
    fakeDialogs.answers.pop_front();
    return result;
}
}  // namespace

int showMessage(const char* text) { return answer("message", text); }
int askOkCancel(const char* text) { return answer("okcancel", text); }
int askSaveChanges(const char* text) { return answer("savechanges", text); }
