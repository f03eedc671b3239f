/* Posts key-down and key-up messages of the number row to Quillpad's window,
 * as fast as the computer keyboard's would come if it could: `pairs` presses
 * and releases, in bursts of 500 pairs every 100 ms. Beside a MIDI flood of
 * the same presses, it tells what the keys' own road costs.
 *
 *     post_keys.exe pairs
 */
#include <windows.h>
#include <stdlib.h>

static const WPARAM NumberRow[] = {0xC0, '1', '2', '3', '4', '5', '6', '7', '8', '9', '0', 0xBD, 0xBB};
#define KEYS (sizeof NumberRow / sizeof NumberRow[0])
#define BURST 500

int main(int argc, char** argv) {
    int pairs = argc > 1 ? atoi(argv[1]) : 5000;
    HWND window = FindWindowA("Quillpad", NULL);
    if (!window) return 1;
    for (int i = 0; i < pairs; ++i) {
        WPARAM key = NumberRow[i % KEYS];
        if (!PostMessageA(window, WM_KEYDOWN, key, 1) || !PostMessageA(window, WM_KEYUP, key, 0xC0000001)) return 2;
        if ((i + 1) % BURST == 0) Sleep(100);
    }
    return 0;
}
