#include "app/file_type.h"

#include "app/joined_text.h"
#include "app/registry.h"

bool composeOpenCommand(const char* programPath, char command[PathCapacity]) {
    return joinWholeText(command, PathCapacity, {"\"", programPath, "\" %1"});
}

bool composeIconValue(const char* programPath, char icon[PathCapacity]) {
    return joinWholeText(icon, PathCapacity, {programPath, ",1"});
}

void registerFileType() {
    char program[PathCapacity];
    bool programKnown = programFilePath(program);
    char value[PathCapacity];
    // A value cut to fit would name another program: it is left out instead.
    if (programKnown && composeOpenCommand(program, value))
        setClassesRootDefault("Quillpad\\shell\\open\\command", RegistryKeyUse::CreateOrOpen, value);
    setClassesRootDefault("Quillpad", RegistryKeyUse::OpenExisting, "Quillpad Setup File");
    if (programKnown && composeIconValue(program, value))
        setClassesRootDefault("Quillpad\\DefaultIcon", RegistryKeyUse::CreateOrOpen, value);
    setClassesRootDefault(".qpd", RegistryKeyUse::CreateOrOpen, "Quillpad");
}
