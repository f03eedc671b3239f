// The program's own modal dialogs. Each message dialog returns the dialog's
// result: showMessage 1 (OK) or 0 (Escape); askOkCancel 1 or 0;
// askSaveChanges 1 (Save), 2 (Don't Save) or 0 (Cancel).
#pragma once

constexpr int AnswerCancel = 0;
constexpr int AnswerOk = 1;
constexpr int AnswerSave = 1;
constexpr int AnswerDontSave = 2;

int showMessage(const char* text);
int askOkCancel(const char* text);
int askSaveChanges(const char* text);
// The about box; any click closes it.
void showAboutBox();
