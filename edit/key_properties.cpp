#include "edit/key_properties.h"

#include <cstdio>
#include <cstring>

#include "audio/sound_bank.h"
#include "audio/voice.h"
#include "base/joined_text.h"
#include "base/text_sizes.h"
#include "edit/key_properties_dialog.h"
#include "edit/key_property_fields.h"
#include "edit/undo.h"
#include "keys/key_bank.h"
#include "keys/key_voices.h"
#include "keys/keyboard_map.h"
#include "library/sound_list_window.h"
#include "setup/document.h"

namespace {

void propertiesOf(const KeySettings& key, int32_t values[KeyPropertyCount]) {
    values[ChokeGroupProperty] = key.chokeGroup;
    values[FadeInProperty] = key.fadeInMilliseconds;
    values[FadeOutProperty] = key.fadeOutMilliseconds;
    values[StartProperty] = key.startMilliseconds;
    values[EndProperty] = key.endMilliseconds;
}

void applyProperties(const int32_t values[KeyPropertyCount], KeySettings& key) {
    key.chokeGroup = static_cast<int16_t>(values[ChokeGroupProperty]);
    key.fadeInMilliseconds = static_cast<int16_t>(values[FadeInProperty]);
    key.fadeOutMilliseconds = static_cast<int16_t>(values[FadeOutProperty]);
    key.startMilliseconds = values[StartProperty];
    key.endMilliseconds = values[EndProperty];
}

// What the dialog shows of the key's sound.
void describeSound(const KeySettings& key, char text[ShownTextCapacity]) {
    SoundRef sound = soundOfKey(key);
    char name[PathCapacity] = "";
    if (sound.ownFile && isSoundKnown(sound)) {
        joinText(text, ShownTextCapacity, {soundBank.ownFiles[static_cast<size_t>(sound.index - 1)].path.c_str()});
    } else if (!sound.ownFile && soundListText(sound.index, name)) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", sound.index + 1);
        joinText(text, ShownTextCapacity, {"List entry ", number, ": ", name});
    } else {
        joinText(text, ShownTextCapacity, {"(none)"});
    }
}

bool inRange(const int32_t values[KeyPropertyCount]) {
    for (int field = 0; field < KeyPropertyCount; ++field)
        if (values[field] < KeyPropertyFields[field].lowest || values[field] > KeyPropertyFields[field].highest)
            return false;
    return true;
}

}  // namespace

void editKeyProperties() {
    KeySlot* slot = selectedKeySlot();
    if (!slot) return;
    int32_t before[KeyPropertyCount];
    propertiesOf(*slot, before);
    int32_t values[KeyPropertyCount];
    std::memcpy(values, before, sizeof values);
    char sound[ShownTextCapacity];
    describeSound(*slot, sound);
    bool clearSound = false;
    if (!askKeyProperties(keyName(keyBank.selectedKey), sound, values, clearSound) || !inRange(values)) return;
    clearSound = clearSound && isSoundKnown(soundOfKey(*slot));
    if (std::memcmp(values, before, sizeof values) == 0 && !clearSound) return;  // nothing to undo
    takeUndoSnapshot();
    applyProperties(values, *slot);
    document.modified = true;
    if (clearSound) {
        clearSelectedKeySound();
        return;
    }
    bool pointsChanged = values[StartProperty] != before[StartProperty] || values[EndProperty] != before[EndProperty];
    bool fadesChanged =
        values[FadeInProperty] != before[FadeInProperty] || values[FadeOutProperty] != before[FadeOutProperty];
    if (pointsChanged) giveSelectedKeyItsSound();
    else if (fadesChanged && slot->voice)
        slot->voice->SetFades(static_cast<uint32_t>(slot->fadeInMilliseconds),
                              static_cast<uint32_t>(slot->fadeOutMilliseconds));
}
