// Which endpoint the low-latency output plays on: the system's default, or
// one the user chose in the Output Device menu, remembered under
// HKEY_CURRENT_USER\Software\Quillpad ("OutputDevice": its id, "" for the
// default). The output follows the default when it changes, comes back by
// itself when its stream is lost, and returns to a chosen endpoint when that
// appears again; its voices play on through every move.
#pragma once

// Opens the low-latency output on the remembered endpoint, or on the default
// when that one cannot be had. False, with nothing open, when neither opens.
bool openLowLatencyOutput();
// The low-latency output closes: nothing is followed or tried any more.
void leaveLowLatencyOutput();

// The stream was lost (its device went): the remembered endpoint, else the
// default, at once; while neither opens, again every second, silently.
void onOutputLost();
void onOutputRetryDue();
// The system's default output changed: followed unless an endpoint was chosen
// and plays.
void onDefaultOutputChanged();
// An endpoint came or went: a chosen endpoint that is back is played on again,
// and one in use that went is left at once for the default.
void onOutputEndpointsChanged();

// The Output Device menu as it opens: "Default Device" and every endpoint by
// its name, the choice checked; greyed while DirectSound plays.
void refreshOutputDeviceMenu();
// Its item `index` (0 "Default Device", then the endpoints as listed) chosen:
// the sound moves there at once and the choice is remembered.
void chooseOutputDevice(int index);
