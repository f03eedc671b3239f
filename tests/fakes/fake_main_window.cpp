// Caption changes recorded as "title <text>".
#include "fakes/fake_main_window.h"

#include "fakes/call_log.h"
#include "setup/window_title.h"

FakeMainWindow fakeMainWindow;

void setMainWindowTitle(const char* title) {
    fakeMainWindow.title = title;
    callLog.push_back(std::string("title ") + title);
}
