// The sound folder on disk: current directory, the search for sound files,
// the Import dialog.
#include "library/sound_folder.h"

#include <windows.h>
#include <commdlg.h>
#include <cstring>

#include "base/file_dialog_win32.h"
#include "base/scoped_win32.h"
#include "base/utf8_text.h"
#include "base/wide_text_win32.h"
#include "sound_files/sound_file_type.h"

bool getCurrentFolder(char folder[PathCapacity]) {
    DWORD length = GetCurrentDirectoryA(PathCapacity, folder);
    return length > 0 && length < PathCapacity && fitsPath(folder);
}

bool setCurrentFolder(const char* folder) { return SetCurrentDirectoryA(folder) != 0; }

void folderTitle(const char* folder, char title[PathCapacity]) {
    if (GetFileTitleA(folder, title, PathCapacity) != 0) title[0] = '\0';
}

namespace {

// The filter of the Import dialog: every kind together first, then each kind.
constexpr char ImportFilter[] =
    "All sounds (*.wav;*.aif;*.aiff;*.aifc;*.mp3;*.flac;*.ogg;*.oga)\0"
    "*.wav;*.aif;*.aiff;*.aifc;*.mp3;*.flac;*.ogg;*.oga\0"
    "WAV files (*.wav)\0*.wav\0"
    "AIFF files (*.aif;*.aiff;*.aifc)\0*.aif;*.aiff;*.aifc\0"
    "MP3 files (*.mp3)\0*.mp3\0"
    "FLAC files (*.flac)\0*.flac\0"
    "Ogg Vorbis files (*.ogg;*.oga)\0*.ogg;*.oga\0";

}  // namespace

void forEachSoundFile(void (*found)(const char* name, void* context), void* context) {
    // One search of every name, told apart as the rest of the program tells
    // them: a pattern also matches short names ("x.wave" is X~1.WAV). The wide
    // search: the ANSI one hands a name over in 260 bytes, too few for a long
    // name in UTF-8.
    WIN32_FIND_DATAW entry;
    ScopedFindHandle search(FindFirstFileW(L"*", &entry));
    if (!search) return;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        char name[PathCapacity];
        // A name the code page cannot write is skipped: it could not be opened.
        if (wideToProgramText(entry.cFileName, name, PathCapacity) && soundFileType(name) != SoundFileType::NotSound)
            found(name, context);
    } while (FindNextFileW(search.get(), &entry));
}

bool askImportSoundFolder(char folder[PathCapacity]) {
    char path[PathCapacity] = "";
    char name[PathCapacity] = "";
    OPENFILENAMEA dialog =
        fileDialog("Import Sounds", ImportFilter, "wav", OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, path, name);
    if (!GetOpenFileNameA(&dialog)) return false;
    // The folder is the part of the chosen path before the file name: exactly
    // the folder the dialog leaves current on Windows, also where a typed full
    // path does not change the current directory.
    size_t folderLength = dialog.nFileOffset;
    if (folderLength == 0 || folderLength >= PathCapacity) return false;
    std::memcpy(folder, path, folderLength);
    folder[folderLength] = '\0';
    // No trailing separator, except for a drive root such as C:\.
    if (folderLength > 1 && folder[folderLength - 1] == '\\' && !(folderLength == 3 && folder[1] == ':'))
        folder[folderLength - 1] = '\0';
    return fitsPath(folder);
}
