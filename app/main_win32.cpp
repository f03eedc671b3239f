#include <windows.h>

#include "keys/key_bank.h"
#include "keys/playing.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    initKeyBank();
    return 0;
}
