/* Prints the version resource of a program as Windows reads it (the Details
 * tab of a file's Properties), one "name=value" a line:
 *
 *   fileversion FILE   -> "fixed=1.2.3.0" (file version numbers), then
 *                         ProductName, ProductVersion, FileVersion and
 *                         FileDescription of its first translation
 *
 * Exit code 1 when the file has no version resource.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static const char* const Names[] = {"ProductName", "ProductVersion", "FileVersion", "FileDescription"};

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: fileversion FILE\n");
        return 2;
    }
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeA(argv[1], &unused);
    if (size == 0) return 1;
    char* data = malloc(size);
    if (!data || !GetFileVersionInfoA(argv[1], 0, size, data)) return 1;
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    if (!VerQueryValueA(data, "\\", (void**)&fixed, &length) || length < sizeof *fixed) return 1;
    printf("fixed=%lu.%lu.%lu.%lu\n", (unsigned long)HIWORD(fixed->dwFileVersionMS),
           (unsigned long)LOWORD(fixed->dwFileVersionMS), (unsigned long)HIWORD(fixed->dwFileVersionLS),
           (unsigned long)LOWORD(fixed->dwFileVersionLS));
    WORD* translation = NULL;
    if (!VerQueryValueA(data, "\\VarFileInfo\\Translation", (void**)&translation, &length) || length < 4) return 1;
    for (size_t i = 0; i < sizeof Names / sizeof Names[0]; ++i) {
        char query[128];
        char* value = NULL;
        snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], Names[i]);
        if (VerQueryValueA(data, query, (void**)&value, &length) && value) printf("%s=%s\n", Names[i], value);
    }
    free(data);
    return 0;
}
