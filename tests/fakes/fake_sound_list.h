// The sound list and sound folder as plain data.
#pragma once
#include <string>
#include <vector>

struct FakeLibrary {
    std::vector<std::string> entries;
    int selection = -1;
    std::string currentFolder = "/start";
    std::vector<std::string> existingFolders;  // folders setCurrentFolder accepts
    std::vector<std::string> wavesInFolder;    // what the "*.wav" search returns
    bool importChosen = false;                 // the Import dialog's answer
    std::string importFolder;
    std::string windowTitle = "Quillpad Beta A";
    int textQueries = 0;  // soundListText calls: each is a message to the list window
    void reset();
};

extern FakeLibrary fakeLibrary;
