/* Holds a file open the way another program that has it open does, sharing it
 * with nobody, until its standard input closes. The end-to-end tests use it
 * for a setup file that cannot be written.
 *
 *   holdfile PATH   -> prints "holding" once the file is open; exit code 1 when it cannot be opened
 */
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: holdfile PATH\n");
        return 2;
    }
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    puts("holding");
    fflush(stdout);
    while (getchar() != EOF) {}
    CloseHandle(file);
    return 0;
}
