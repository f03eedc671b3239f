// Folders on disk, the search for sound files and the Import Sounds dialog as
// plain data.
#pragma once
#include <string>
#include <vector>

struct FakeSoundFolder {
    std::string currentFolder = "/start";
    std::vector<std::string> existingFolders;  // folders setCurrentFolder accepts
    std::vector<std::string> soundsInFolder;   // what the search for sound files returns
    bool importChosen = false;                 // the Import dialog's answer
    std::string importFolder;
    void reset() { *this = FakeSoundFolder(); }
};

extern FakeSoundFolder fakeSoundFolder;
