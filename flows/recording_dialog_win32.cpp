#include "flows/recording_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include "base/file_dialog_win32.h"

namespace {

const char WaveFilter[] = "WAV files (*.wav)\0*.wav\0";

}  // namespace

bool askRecordingPath(char path[PathCapacity]) {
    path[0] = '\0';
    OPENFILENAMEA dialog = fileDialog("Record to WAV", WaveFilter, "wav",
                                      OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, path);
    return GetSaveFileNameA(&dialog) != 0;
}
