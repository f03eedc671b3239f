/* A small Win32 console tool the end-to-end tests run inside the program's Wine
 * prefix, to read what X cannot show: the exact client rectangle, menu item
 * states and the texts of dialog controls.
 *
 *   winprobe client CLASS        -> "x y w h" of the client area in screen pixels
 *   winprobe menu CLASS          -> one line per item: "popup id state text"
 *   winprobe texts TITLE         -> one line per child control: "id class text"
 *
 * CLASS is a window class name, TITLE a top-level window title. Exit code 1
 * when the window is not found.
 */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static void printEscaped(const char* text) {
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') fputs("\\n", stdout);
        else if (*p == '\r') fputs("\\r", stdout);
        else if (*p == '\t') fputs("\\t", stdout);
        else if (*p == '\\') fputs("\\\\", stdout);
        else putchar(*p);
    }
}

static int printClient(HWND window) {
    RECT client;
    POINT origin = {0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return 1;
    printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right - client.left, client.bottom - client.top);
    return 0;
}

static int printMenu(HWND window) {
    HMENU bar = GetMenu(window);
    if (!bar) return 1;
    int popups = GetMenuItemCount(bar);
    for (int p = 0; p < popups; ++p) {
        HMENU popup = GetSubMenu(bar, p);
        char text[256];
        GetMenuStringA(bar, p, text, sizeof text, MF_BYPOSITION);
        printf("%d -1 %u ", p, GetMenuState(bar, p, MF_BYPOSITION));
        printEscaped(text);
        putchar('\n');
        if (!popup) continue;
        int items = GetMenuItemCount(popup);
        for (int i = 0; i < items; ++i) {
            text[0] = 0;
            GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
            printf("%d %d %u ", p, (int)GetMenuItemID(popup, i), GetMenuState(popup, i, MF_BYPOSITION));
            printEscaped(text);
            putchar('\n');
        }
    }
    return 0;
}

static BOOL CALLBACK printChild(HWND child, LPARAM unused) {
    (void)unused;
    char className[128];
    char text[1024];
    GetClassNameA(child, className, sizeof className);
    /* WM_GETTEXT rather than GetWindowText: it reads controls of other processes too. */
    SendMessageA(child, WM_GETTEXT, sizeof text, (LPARAM)text);
    text[sizeof text - 1] = 0;
    printf("%d %s ", GetDlgCtrlID(child), className);
    printEscaped(text);
    putchar('\n');
    return TRUE;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: winprobe client|menu CLASS, or winprobe texts TITLE\n");
        return 2;
    }
    const char* command = argv[1];
    HWND window = strcmp(command, "texts") == 0 ? FindWindowA(NULL, argv[2]) : FindWindowA(argv[2], NULL);
    if (!window) return 1;
    int rc = 2;
    if (strcmp(command, "client") == 0) rc = printClient(window);
    else if (strcmp(command, "menu") == 0) rc = printMenu(window);
    else if (strcmp(command, "texts") == 0) {
        EnumChildWindows(window, printChild, 0);
        rc = 0;
    }
    fflush(stdout);
    return rc;
}
