/* Reads the menu bar of the program it is loaded into and writes it to a file:
 * Wine keeps a program's menus in that program, so no other process can read
 * them. winprobe loads it with a remote thread; it writes, then refuses to stay
 * loaded, so that it can be loaded again for the next reading.
 *
 * Output, one line per item, to %TEMP%\menuprobe.txt:
 *   "popup id state text" (id -1 for a popup of the bar, 0 for a separator)
 * and for the items of a submenu of a popup, after the submenu's own line:
 *   "popup/position id state text" (position: the submenu's place in the popup)
 */
#include <windows.h>
#include <stdio.h>

static void writeEscaped(FILE* out, const char* text) {
    for (const char* p = text; *p; ++p) {
        if (*p == '\t') fputs("\\t", out);
        else if (*p == '\\') fputs("\\\\", out);
        else fputc(*p, out);
    }
    fputc('\n', out);
}

static void writeMenu(FILE* out, HMENU bar) {
    int popups = GetMenuItemCount(bar);
    for (int p = 0; p < popups; ++p) {
        char text[256] = "";
        GetMenuStringA(bar, p, text, sizeof text, MF_BYPOSITION);
        fprintf(out, "%d -1 %u ", p, GetMenuState(bar, p, MF_BYPOSITION));
        writeEscaped(out, text);
        HMENU popup = GetSubMenu(bar, p);
        int items = popup ? GetMenuItemCount(popup) : 0;
        for (int i = 0; i < items; ++i) {
            text[0] = 0;
            GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
            fprintf(out, "%d %d %u ", p, (int)GetMenuItemID(popup, i), GetMenuState(popup, i, MF_BYPOSITION));
            writeEscaped(out, text);
            HMENU submenu = GetSubMenu(popup, i);
            int subitems = submenu ? GetMenuItemCount(submenu) : 0;
            for (int j = 0; j < subitems; ++j) {
                text[0] = 0;
                GetMenuStringA(submenu, j, text, sizeof text, MF_BYPOSITION);
                fprintf(out, "%d/%d %d %u ", p, i, (int)GetMenuItemID(submenu, j),
                        GetMenuState(submenu, j, MF_BYPOSITION));
                writeEscaped(out, text);
            }
        }
    }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH - 16, path);
    if (length == 0 || length >= MAX_PATH - 16) return FALSE;
    lstrcatA(path, "menuprobe.txt");
    HWND window = FindWindowA("Quillpad", NULL);
    HMENU bar = window ? GetMenu(window) : NULL;
    FILE* out = fopen(path, "w");
    if (out) {
        if (bar) writeMenu(out, bar);
        fclose(out);
    }
    return FALSE;
}
