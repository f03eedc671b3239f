/* Keeps Wine running in a test's prefix until its standard input closes.
 * Without a program of the prefix alive, the wine server and the desktop end
 * with each program, and each start of quillpad.exe starts them anew, which
 * on a busy machine can fail the program's first window. Asking for the
 * desktop window makes this a user of the desktop, which keeps it up.
 *
 *   keepwine   -> prints "running" once the desktop is up
 */
#include <windows.h>
#include <stdio.h>

int main(void) {
    if (!GetDesktopWindow()) return 1;
    puts("running");
    fflush(stdout);
    while (getchar() != EOF) {}
    return 0;
}
