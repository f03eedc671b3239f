/* A small Win32 console tool the end-to-end tests run inside the program's
 * Wine prefix to drop files on the main window the way the shell does: it
 * writes a DROPFILES block (ANSI names, each ended by a zero, one more zero
 * at the end) into the program's memory and posts WM_DROPFILES with its
 * address, which DragQueryFileA then reads like a shell drop. The program's
 * ANSI code page is UTF-8, so the names are written in UTF-8, taken from the
 * wide command line: this tool's own code page could not hold every name.
 *
 *   drop_files FILE...   -> drops the files, in this order, on the window of
 *                           class "Quillpad", at (100, 100) of its client area
 *   drop_files --at X Y FILE...
 *                        -> the same, dropped at (X, Y) of the client area
 *
 * Exit code 1 when the window is not found, 2 on a wrong call, 3 when the
 * block cannot be placed or the message not posted.
 * Built with: x86_64-w64-mingw32-gcc-posix -O2 -static -o drop_files.exe drop_files.c
 */
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The arguments in UTF-8, or NULL; the caller frees them. */
static char** utf8Arguments(int* count) {
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), count);
    if (!wide) return NULL;
    char** names = calloc(*count, sizeof *names);
    for (int i = 0; names && i < *count; ++i) {
        int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, NULL, 0, NULL, NULL);
        names[i] = size > 0 ? malloc(size) : NULL;
        if (!names[i] || WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, names[i], size, NULL, NULL) == 0) {
            names = NULL; /* what was made is reclaimed with the process */
            break;
        }
    }
    LocalFree(wide);
    return names;
}

/* Whether text is a whole decimal number, read into value. */
static int readNumber(const char* text, LONG* value) {
    char* end = NULL;
    *value = strtol(text, &end, 10);
    return end != text && *end == 0;
}

/* The block as the shell lays it out; the caller frees it. */
static char* makeDropBlock(POINT at, int count, char** names, size_t* size) {
    size_t namesSize = 1;
    for (int i = 0; i < count; ++i) namesSize += strlen(names[i]) + 1;
    *size = sizeof(DROPFILES) + namesSize;
    char* block = calloc(1, *size);
    if (!block) return NULL;
    DROPFILES* header = (DROPFILES*)block;
    header->pFiles = sizeof(DROPFILES);
    header->pt = at; /* in client coordinates */
    header->fNC = FALSE;
    header->fWide = FALSE;
    char* name = block + sizeof(DROPFILES);
    for (int i = 0; i < count; ++i) {
        size_t length = strlen(names[i]) + 1;
        memcpy(name, names[i], length);
        name += length;
    }
    return block;
}

int main(void) {
    int argc = 0;
    char** argv = utf8Arguments(&argc);
    /* By default on the panel, away from the key caps and the sound list. */
    POINT at = {100, 100};
    int first = 1;
    int wrong = !argv;
    if (!wrong && argc > 1 && strcmp(argv[1], "--at") == 0) {
        first = 4;
        wrong = argc < first || !readNumber(argv[2], &at.x) || !readNumber(argv[3], &at.y);
    }
    if (wrong || argc <= first) {
        fprintf(stderr, "usage: drop_files [--at X Y] FILE...\n");
        return 2;
    }
    HWND window = FindWindowA("Quillpad", NULL);
    if (!window) {
        fprintf(stderr, "no window of class Quillpad\n");
        return 1;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) {
        fprintf(stderr, "cannot open process %lu: %lu\n", processId, GetLastError());
        return 3;
    }
    size_t size = 0;
    char* block = makeDropBlock(at, argc - first, argv + first, &size);
    /* The program frees the block with DragFinish; what is left is reclaimed
     * with the process. */
    void* remote = block ? VirtualAllocEx(process, NULL, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE) : NULL;
    int result = 0;
    if (!remote || !WriteProcessMemory(process, remote, block, size, NULL) ||
        !PostMessageA(window, WM_DROPFILES, (WPARAM)remote, 0)) {
        fprintf(stderr, "cannot deliver the drop: %lu\n", GetLastError());
        result = 3;
    }
    free(block);
    CloseHandle(process);
    return result;
}
