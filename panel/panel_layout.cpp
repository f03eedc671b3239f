#include "panel/panel_layout.h"

#include "keys/key_bank.h"
#include "resources/command_ids.h"

namespace {

using A = PanelAction;

struct KeyCapRow {
    int firstKey, lastKey, x, y;
};

constexpr KeyCapRow KeyCapRows[] = {
    {0, 12, 5, 191},    // number row, backquote to "="
    {13, 25, 52, 222},  // Q row to backslash
    {26, 36, 68, 253},  // A row to the apostrophe
    {37, 46, 84, 284},  // Z row to slash
};
constexpr int KeyCapPitch = 31;

}  // namespace

constexpr PanelControlInfo PanelButtonInfos[PanelButtonCount] = {
    {6001, 284, 29, "PITCHUP", nullptr, "UPCUR", true, A::NoteUp, 0},
    {6013, 284, 65, "RESET", nullptr, "RESETCUR", false, A::NoteReset, 0},
    {6002, 284, 84, "PITCHDOWN", nullptr, "DOWNCUR", true, A::NoteDown, 0},
    {6003, 358, 29, "PITCHUP", nullptr, "UPCUR", true, A::FineTuneUp, 0},
    {6014, 358, 65, "RESET", nullptr, "RESETCUR", false, A::FineTuneReset, 0},
    {6004, 358, 84, "PITCHDOWN", nullptr, "DOWNCUR", true, A::FineTuneDown, 0},
    {6005, 400, 29, "VOLUP", nullptr, "UPCUR", true, A::VolumeUp, 0},
    {6015, 400, 65, "RESET", nullptr, "RESETCUR", false, A::VolumeReset, 0},
    {6006, 400, 84, "VOLDOWN", nullptr, "DOWNCUR", true, A::VolumeDown, 0},
    {6012, 425, 117, "MUTE", nullptr, "KILLCUR", true, A::Mute, 0},
    {6011, 399, 289, "KILL", nullptr, "KILLCUR", false, A::KillAll, 0},
    {6009, 252, 39, "DIALUP", nullptr, "UPCUR", false, A::None, 0},
    {6010, 238, 39, "DIALDOWN", nullptr, "DOWNCUR", false, A::None, 0},
    {6007, 30, 264, "MASVOLUP", nullptr, "UPCUR", false, A::MasterVolumeUp, 0},
    {6008, 30, 291, "MASVOLDOWN", nullptr, "DOWNCUR", false, A::MasterVolumeDown, 0},
    {6020, 54, 123, "DIALUP", nullptr, "UPCUR", false, A::None, 0},
    {6021, 40, 123, "DIALDOWN", nullptr, "DOWNCUR", false, A::None, 0},
    {6022, 117, 123, "DIALUP", nullptr, "UPCUR", false, A::None, 0},
    {6023, 103, 123, "DIALDOWN", nullptr, "DOWNCUR", false, A::None, 0},
    {6016, 196, 62, "LOOP1DOWN", "LOOP1", "LOOPCUR", false, A::TriggerMode, HoldStop},
    {6017, 227, 62, "LOOP2DOWN", "LOOP2", "LOOPCUR", false, A::TriggerMode, ToggleStop},
    {6018, 196, 98, "LOOP3DOWN", "LOOP3", "LOOPCUR", false, A::TriggerMode, HoldFinish},
    {6019, 227, 98, "LOOP4DOWN", "LOOP4", "LOOPCUR", false, A::TriggerMode, ToggleFinish},
};

const PanelControlInfo PanKnobInfo = {PanKnobId, 184, PanKnobY, "PANDOWN", nullptr, "PANCUR", true, A::DragPan, 0};

namespace {

// The table is kept by hand; these checks keep it and the ids in step.
constexpr bool ownsEachPanelButtonIdOnce() {
    for (int id = FirstPanelButtonId; id <= LastPanelButtonId; ++id) {
        int found = 0;
        for (const PanelControlInfo& info : PanelButtonInfos) found += info.id == id ? 1 : 0;
        if (found != 1) return false;
    }
    return true;
}

constexpr bool isTriggerModeButtonId(int id) {
    return id >= FirstTriggerModeButtonId && id < FirstTriggerModeButtonId + TriggerModeButtonCount;
}

constexpr bool onlyTriggerModeButtonsLight() {
    for (const PanelControlInfo& info : PanelButtonInfos) {
        bool triggerModeButton = isTriggerModeButtonId(info.id);
        if (triggerModeButton != (info.action == A::TriggerMode) || triggerModeButton != (info.litImage != nullptr))
            return false;
    }
    return true;
}

static_assert(ownsEachPanelButtonIdOnce(), "every id 6001..6023 has exactly one entry");
static_assert(onlyTriggerModeButtonsLight(), "the trigger-mode buttons are 6016..6019, each with a lit image");

}  // namespace

bool isKeyCapId(int id) { return id >= FirstKeyCapId && id <= LastKeyCapId; }
int keyOfKeyCapId(int id) { return id - FirstKeyCapId; }

PanelControlInfo keyCapInfo(int key) {
    PanelControlInfo control = {FirstKeyCapId + key, 0, 0, "KEY", nullptr, "KEYCUR", true, A::SelectKey, 0};
    for (const KeyCapRow& row : KeyCapRows) {
        if (key >= row.firstKey && key <= row.lastKey) {
            control.x = row.x + KeyCapPitch * (key - row.firstKey);
            control.y = row.y;
        }
    }
    return control;
}

int keyCapAt(int x, int y) {
    for (int key = 0; key < KeyCount; ++key) {
        PanelControlInfo cap = keyCapInfo(key);
        if (x >= cap.x && x < cap.x + KeyCapSize && y >= cap.y && y < cap.y + KeyCapSize) return key;
    }
    return -1;
}

const PanelControlInfo* findPanelControlInfo(int id) {
    for (const PanelControlInfo& control : PanelButtonInfos)
        if (control.id == id) return &control;
    if (id == PanKnobId) return &PanKnobInfo;
    return nullptr;
}

bool releaseInsideControl(uint32_t lParam, const PanelRect& rectangle) {
    long long x = static_cast<long long>(lParam & 0xFFFFu) + rectangle.left;
    long long y = static_cast<long long>(lParam >> 16) + rectangle.top;
    return x >= rectangle.left && x < rectangle.right && y >= rectangle.top && y < rectangle.bottom;
}

CursorChoice cursorChoiceForId(long long id) {
    if (id >= FirstPanelId && id <= LastPanelId) return CursorChoice::ControlCursor;
    if (id == SOUND_LIST_ID) return CursorChoice::ListCursor;
    return CursorChoice::MainCursor;
}

int triggerLightButtonId(int triggerMode) {
    switch (triggerMode) {
    case HoldStop:
        return FirstTriggerModeButtonId;
    case ToggleStopRunning:
    case ToggleStop:
        return FirstTriggerModeButtonId + 1;
    case HoldFinish:
        return FirstTriggerModeButtonId + 2;
    case ToggleFinishRunning:
    case ToggleFinish:
        return FirstTriggerModeButtonId + 3;
    default:
        return 0;
    }
}
