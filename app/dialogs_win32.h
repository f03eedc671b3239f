// The about box (the message dialogs are declared in app/dialogs.h).
#pragma once

void showAboutBox();
