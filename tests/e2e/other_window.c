/* Another program for the end-to-end tests: a plain window titled "Other
 * Program" that takes the keyboard when it comes up, as a program the player
 * switches to does. It ends when its standard input closes.
 *
 *   other_window   -> prints "shown" once its window is up
 */
#include <windows.h>
#include <stdio.h>

static DWORD WINAPI waitForInputToClose(LPVOID thread) {
    while (getchar() != EOF) {}
    PostThreadMessageA((DWORD)(UINT_PTR)thread, WM_QUIT, 0, 0);
    return 0;
}

int main(void) {
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "OtherProgram";
    if (!RegisterClassA(&windowClass)) return 1;
    HWND window = CreateWindowA("OtherProgram", "Other Program", WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, NULL, NULL,
                                windowClass.hInstance, NULL);
    if (!window) return 1;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    puts("shown");
    fflush(stdout);
    CreateThread(NULL, 0, waitForInputToClose, (LPVOID)(UINT_PTR)GetCurrentThreadId(), 0, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
