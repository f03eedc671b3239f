// Where every panel control lies, what it looks like, which cursor it shows
// and what it does: the fixed layout of the front panel in client pixels.
//
// Adding a control touches: its id below (the counts follow, and the
// static_asserts in panel_layout.cpp check the table against them), its
// entry in PanelButtonInfos (creation order), its PanelAction and the case in
// performPanelAction (panel_actions.cpp), its bitmap and cursor
// (tools/make_art.py, resources/art.rc) and, when it looks other than the
// background while released, drawReleasedLook (button_look_win32.cpp).
#pragma once
#include <cstdint>

#include "keys/key_bank.h"

// Control ids. The band 6000..6999 belongs to the panel.
constexpr int FirstPanelId = 6000;
constexpr int LastPanelId = 6999;
constexpr int FirstPanelButtonId = 6001;
constexpr int LastPanelButtonId = 6023;
constexpr int PanelButtonCount = LastPanelButtonId - FirstPanelButtonId + 1;
constexpr int MuteButtonId = 6012;
constexpr int FirstTriggerModeButtonId = 6016;  // 6016..6019
constexpr int TriggerModeButtonCount = 4;
constexpr int FirstKeyCapId = 6024;  // 6024 + key index
constexpr int LastKeyCapId = FirstKeyCapId + KeyCount - 1;
constexpr int PanKnobId = 6075;
static_assert(PanelButtonCount + KeyCount + 1 == 71, "23 panel buttons, 47 key caps and the pan knob");
static_assert(LastKeyCapId < PanKnobId && PanKnobId <= LastPanelId, "the key caps and the knob own their ids");

enum class PanelAction {
    None,  // the dial buttons: pushed, nothing else
    NoteUp,
    NoteReset,
    NoteDown,
    FineTuneUp,
    FineTuneReset,
    FineTuneDown,
    VolumeUp,
    VolumeReset,
    VolumeDown,
    Mute,
    KillAll,
    MasterVolumeUp,
    MasterVolumeDown,
    TriggerMode,  // sets PanelControlInfo::triggerMode
    SelectKey,
    DragPan,
};

struct PanelControlInfo {
    int id;
    int x, y;              // top-left corner; the size is that of the pressed image
    const char* image;     // pressed image
    const char* litImage;  // trigger-mode buttons only, else nullptr
    const char* cursor;
    bool actsOnPress;  // else the action runs on a release inside the control
    PanelAction action;
    int16_t triggerMode;  // for PanelAction::TriggerMode
};

// The 23 panel buttons in creation order.
extern const PanelControlInfo PanelButtonInfos[PanelButtonCount];
// Key cap k, k = 0..46: 30 x 30 on a 31-pixel pitch, four rows.
PanelControlInfo keyCapInfo(int key);
constexpr int KeyCapSize = 30;  // the KEY bitmap's width and height
// The key whose cap holds the point of the panel; -1 for none.
int keyCapAt(int x, int y);
extern const PanelControlInfo PanKnobInfo;
// A panel button or the pan knob by id; nullptr for any other id.
const PanelControlInfo* findPanelControlInfo(int id);

bool isKeyCapId(int id);
int keyOfKeyCapId(int id);  // for isKeyCapId ids

struct PanelRect {
    int left, top, right, bottom;
};

constexpr PanelRect NoteReadoutRect = {300, 12, 326, 24};
constexpr PanelRect FineTuneReadoutRect = {342, 12, 368, 24};
constexpr PanelRect VolumeReadoutRect = {416, 12, 442, 24};
constexpr PanelRect NoteBarRect = {312, 29, 323, 114};
constexpr PanelRect FineTuneBarRect = {344, 29, 355, 114};
constexpr PanelRect VolumeBarRect = {428, 29, 439, 114};
constexpr PanelRect MasterVolumeBarRect = {23, 267, 26, 312};
constexpr PanelRect KeyCapLabelRect = {3, 3, 27, 12};  // in the cap's own coordinates

constexpr int PanKnobY = 18;
constexpr int PanKnobWidth = 25;
constexpr int PanKnobHeight = 11;

// Whether a button release at lParam (client coordinates of the control, as
// two unsigned 16-bit halves) lies inside the control's rectangle, right and
// bottom edges excluded. Points left of or above the control wrap to large
// values and so count as outside.
bool releaseInsideControl(uint32_t lParam, const PanelRect& rectangle);

// Which cursor the pointer shows over a window with this child id.
enum class CursorChoice { ControlCursor, ListCursor, MainCursor };
CursorChoice cursorChoiceForId(long long id);

// The trigger-mode button lit for a key's mode; 0 for a code that lights none.
int triggerLightButtonId(int triggerMode);
