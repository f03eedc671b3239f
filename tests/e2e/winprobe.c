/* A small Win32 console tool the end-to-end tests run inside the program's Wine
 * prefix, to read what X cannot show: the exact client rectangle, the texts of
 * dialog controls and which window Windows gives the keyboard.
 *
 *   winprobe client CLASS        -> "x y w h" of the client area in screen pixels
 *   winprobe texts TITLE         -> one line per child control: "id class text"
 *   winprobe list CLASS          -> the entries of the window's list box, one a line
 *   winprobe window              -> exit code 0 once a window can be made in this
 *                                   prefix (its desktop and display driver are up), 3 when not
 *   winprobe foreground          -> the foreground window and its thread's focus:
 *                                   "class 'title' focus-class"
 *   winprobe gui CLASS           -> the state of the window's thread as Windows keeps
 *                                   it: "flags capture menu-owner" (flags in hex:
 *                                   GUI_INMENUMODE 4, GUI_POPUPMENUMODE 16;
 *                                   windows as their class, "-" for none)
 *   winprobe menu CLASS DLL      -> the window's menu bar, one line per item:
 *                                   "popup id state text", read by menuprobe DLL
 *                                   loaded into the window's process
 *
 * CLASS is a window class name, TITLE a top-level window title. Texts are
 * read wide and printed in UTF-8, whatever this program's code page. Exit
 * code 1 when the window is not found.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The wide text in UTF-8; the caller frees it. */
static char* utf8Of(const WCHAR* text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    char* out = malloc(size > 0 ? size : 1);
    if (out && WideCharToMultiByte(CP_UTF8, 0, text, -1, out, size, NULL, NULL) == 0) out[0] = 0;
    return out;
}

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

static BOOL CALLBACK printChild(HWND child, LPARAM unused) {
    (void)unused;
    char className[128];
    WCHAR text[1024];
    GetClassNameA(child, className, sizeof className);
    /* WM_GETTEXT rather than GetWindowText: it reads controls of other processes too. */
    SendMessageW(child, WM_GETTEXT, sizeof text / sizeof *text, (LPARAM)text);
    text[sizeof text / sizeof *text - 1] = 0;
    printf("%d %s ", GetDlgCtrlID(child), className);
    char* utf8 = utf8Of(text);
    if (utf8) printEscaped(utf8);
    free(utf8);
    putchar('\n');
    return TRUE;
}

static int printListEntries(HWND window) {
    HWND list = FindWindowExA(window, NULL, "ListBox", NULL);
    if (!list) return 1;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR text[1024] = L"";
        LRESULT length = SendMessageW(list, LB_GETTEXTLEN, (WPARAM)i, 0);
        if (length < 0 || length >= (LRESULT)(sizeof text / sizeof *text)) return 2;
        SendMessageW(list, LB_GETTEXT, (WPARAM)i, (LPARAM)text);
        char* utf8 = utf8Of(text);
        if (!utf8) return 2;
        printEscaped(utf8);
        putchar('\n');
        free(utf8);
    }
    return 0;
}

static int makeWindow(void) {
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "WinprobeWindow";
    if (!RegisterClassA(&windowClass)) return 3;
    HWND window = CreateWindowA("WinprobeWindow", "winprobe", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                                windowClass.hInstance, NULL);
    if (!window) return 3;
    DestroyWindow(window);
    return 0;
}

static int printForeground(void) {
    HWND foreground = GetForegroundWindow();
    char className[128] = "", title[256] = "", focusClass[128] = "";
    if (foreground) {
        GetClassNameA(foreground, className, sizeof className);
        GetWindowTextA(foreground, title, sizeof title);
        GUITHREADINFO info = {sizeof info};
        if (GetGUIThreadInfo(GetWindowThreadProcessId(foreground, NULL), &info) && info.hwndFocus)
            GetClassNameA(info.hwndFocus, focusClass, sizeof focusClass);
    }
    printf("%s '%s' %s\n", foreground ? className : "none", title, focusClass[0] ? focusClass : "none");
    return 0;
}

// Loads the DLL into the window's process, where it writes the menu to a file.
static int printMenu(HWND window, const char* dll) {
    char result[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH - 16, result);
    if (length == 0 || length >= MAX_PATH - 16) return 2;
    lstrcatA(result, "menuprobe.txt");
    DeleteFileA(result);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
    if (!process) return 2;
    size_t size = strlen(dll) + 1;
    void* remote = VirtualAllocEx(process, NULL, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    int rc = 2;
    if (remote && WriteProcessMemory(process, remote, dll, size, NULL)) {
        FARPROC load = GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA");
        HANDLE thread = CreateRemoteThread(process, NULL, 0, (LPTHREAD_START_ROUTINE)load, remote, 0, NULL);
        if (thread) {
            WaitForSingleObject(thread, 10000);
            CloseHandle(thread);
            FILE* in = fopen(result, "r");
            if (in) {
                char line[512];
                while (fgets(line, sizeof line, in)) fputs(line, stdout);
                fclose(in);
                rc = 0;
            }
        }
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    DeleteFileA(result);
    return rc;
}

static const char* classOf(HWND window, char* name, int size) {
    if (!window || !GetClassNameA(window, name, size)) return "-";
    return name;
}

static int printGuiThread(HWND window) {
    GUITHREADINFO info = {sizeof info};
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info)) return 2;
    char capture[128], owner[128];
    printf("%lx %s %s\n", (unsigned long)info.flags, classOf(info.hwndCapture, capture, sizeof capture),
           classOf(info.hwndMenuOwner, owner, sizeof owner));
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "foreground") == 0) return printForeground();
    if (argc == 2 && strcmp(argv[1], "window") == 0) return makeWindow();
    if (argc < 3) {
        fprintf(stderr,
                "usage: winprobe client CLASS, winprobe list CLASS, winprobe gui CLASS, winprobe menu CLASS DLL, "
                "winprobe texts TITLE, "
                "winprobe window or winprobe foreground\n");
        return 2;
    }
    const char* command = argv[1];
    HWND window = strcmp(command, "texts") == 0 ? FindWindowA(NULL, argv[2]) : FindWindowA(argv[2], NULL);
    if (!window) return 1;
    int rc = 2;
    if (strcmp(command, "client") == 0) rc = printClient(window);
    else if (strcmp(command, "menu") == 0 && argc == 4) rc = printMenu(window, argv[3]);
    else if (strcmp(command, "list") == 0) rc = printListEntries(window);
    else if (strcmp(command, "gui") == 0) rc = printGuiThread(window);
    else if (strcmp(command, "texts") == 0) {
        EnumChildWindows(window, printChild, 0);
        rc = 0;
    }
    fflush(stdout);
    return rc;
}
