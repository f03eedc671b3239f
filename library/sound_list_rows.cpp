#include "library/sound_list_rows.h"

#include <cstdio>
#include <cstring>

#include "base/utf8_text.h"
#include "sound_files/sound_file_type.h"

namespace {

// The bytes of the name before its sound extension. A dot never falls inside
// a UTF-8 character, and at most a path's characters are shown, so the row
// ends on a whole character whatever the name.
size_t shownNameBytes(const char* name) {
    size_t length = std::strlen(name);
    if (soundFileType(name) != SoundFileType::NotSound) length = std::strrchr(name, '.') - name;
    return leadingTextBytes(name, PathCharacters, length);
}

}  // namespace

void soundListRowText(int index, const char* name, char text[RowTextCapacity]) {
    int number = index + 1;
    int shown = static_cast<int>(shownNameBytes(name));
    std::snprintf(text, RowTextCapacity, number < 10 ? " 0%d  %.*s" : " %d  %.*s", number, shown, name);
}
