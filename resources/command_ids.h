// Menu command and dialog control identifiers, shared by the code and the
// resource script (which the resource compiler reads too: plain defines only).
#pragma once

#define CMD_OPEN_SETUP 40000
#define CMD_IMPORT_SOUNDS 40001
#define CMD_SAVE_SETUP 40002
#define CMD_SAVE_SETUP_AS 40003
#define CMD_EXIT 40004
#define CMD_UNDO 40005
#define CMD_COPY 40006
#define CMD_PASTE 40007
#define CMD_ALL_KEYS_VOLUME_100 40010
#define CMD_ALL_KEYS_PITCH_ZERO 40011
#define CMD_KILL_ALL_SOUNDS 40012
#define CMD_ABOUT 40013
#define CMD_ALL_KEYS_MONO 40019
#define CMD_LOW_LATENCY_OUTPUT 40020
#define CMD_RECORD 40021
#define CMD_KEY_PROPERTIES 40022
// The Output Device submenu: "Default Device", then one item per endpoint.
#define CMD_OUTPUT_DEVICE_FIRST 40100
#define CMD_OUTPUT_DEVICE_LAST 40163
// The MIDI Input submenu: "All Devices", one item per input, "None"; then its fixed items.
#define CMD_MIDI_INPUT_FIRST 40200
#define CMD_MIDI_INPUT_LAST 40263
#define CMD_MIDI_VELOCITY 40264
#define CMD_MIDI_LEARN 40265
#define CMD_MIDI_RESET_MAP 40266
// The Bank submenu: "Bank 1" to "Bank 8".
#define CMD_BANK_FIRST 40300
#define CMD_BANK_LAST 40307

#define IDC_MESSAGE_TEXT 1002
#define IDC_ABOUT_PICTURE 1006
#define IDC_SAVE 1007
#define IDC_DONT_SAVE 3
// The Key Properties dialog's fields in their tab order (edit/key_properties.h),
// and the up-down control of each.
#define IDC_KEY_PROPERTY_FIRST 1100
#define IDC_KEY_CHOKE_GROUP 1100
#define IDC_KEY_FADE_IN 1101
#define IDC_KEY_FADE_OUT 1102
#define IDC_KEY_START 1103
#define IDC_KEY_END 1104
#define IDC_KEY_PROPERTY_SPIN_FIRST 1110
#define IDC_KEY_CHOKE_GROUP_SPIN 1110
#define IDC_KEY_FADE_IN_SPIN 1111
#define IDC_KEY_FADE_OUT_SPIN 1112
#define IDC_KEY_START_SPIN 1113
#define IDC_KEY_END_SPIN 1114
#define IDC_KEY_SOUND 1120
#define IDC_KEY_CLEAR_SOUND 1121

#define SOUND_LIST_ID 104
