#include "shell/file_type.h"

#include "base/joined_text.h"
#include "base/registry.h"

namespace {

// The four values, each step on its own; a value that could not be composed
// is left out.
void registerIn(ClassesStore store, const char* command, const char* icon) {
    if (command[0] != '\0')
        setClassesDefault(store, "Quillpad\\shell\\open\\command", RegistryKeyUse::CreateOrOpen, command);
    setClassesDefault(store, "Quillpad", RegistryKeyUse::OpenExisting, "Quillpad Setup File");
    if (icon[0] != '\0') setClassesDefault(store, "Quillpad\\DefaultIcon", RegistryKeyUse::CreateOrOpen, icon);
    setClassesDefault(store, ".qpd", RegistryKeyUse::CreateOrOpen, "Quillpad");
}

}  // namespace

bool composeOpenCommand(const char* programPath, char command[PathCapacity]) {
    return joinWholeText(command, PathCapacity, {"\"", programPath, "\" %1"});
}

bool composeIconValue(const char* programPath, char icon[PathCapacity]) {
    return joinWholeText(icon, PathCapacity, {programPath, ",1"});
}

void registerFileType() {
    char program[PathCapacity];
    // A value cut to fit would name another program: it is left out instead.
    char command[PathCapacity] = "";
    char icon[PathCapacity] = "";
    if (programFilePath(program)) {
        composeOpenCommand(program, command);
        composeIconValue(program, icon);
    }
    // The user's own first: a standard user may write nothing else, and
    // Windows looks there first. The machine's serve every user, and Wine,
    // which does not look in the user's.
    registerIn(ClassesStore::CurrentUser, command, icon);
    registerIn(ClassesStore::AllUsers, command, icon);
    announceFileTypesChanged();
}
