// Open Setup, Save Setup, Save Setup As and the save-changes prompt.
#pragma once

enum class SaveChangesResult { Proceed, Stop };

// Asks to save a modified setup before it is replaced or the program closes.
SaveChangesResult confirmSaveChanges();
// The open flow; with no file, the Open dialog asks for one.
void openSetupFile(const char* file = nullptr);
void saveSetup();
void saveSetupAs();
