#include "fakes/fake_key_properties_dialog.h"

#include <string>

#include "edit/key_properties_dialog.h"
#include "fakes/call_log.h"

FakeKeyPropertiesDialog fakeKeyPropertiesDialog;

bool askKeyProperties(const char* keyName, const char* soundText, int32_t values[KeyPropertyCount], bool& clearSound) {
    fakeKeyPropertiesDialog.soundShown = soundText;
    std::string shown;
    for (int field = 0; field < KeyPropertyCount; ++field) shown += " " + std::to_string(values[field]);
    callLog.push_back(std::string("dialog key properties ") + keyName + shown);
    if (!fakeKeyPropertiesDialog.answer) return false;
    for (int field = 0; field < KeyPropertyCount; ++field) values[field] = (*fakeKeyPropertiesDialog.answer)[field];
    clearSound = fakeKeyPropertiesDialog.clearsSound;
    return true;
}
