#include "companion/box_text.h"

#include <stdarg.h>
#include <windows.h>

void StartText(BoxText *box, char *buffer, int size)
{
    box->text = buffer;
    box->size = size;
    buffer[0] = '\0';
}

int AddString(BoxText *box, const char *string)
{
    int used = lstrlenA(box->text);
    if (used + lstrlenA(string) >= box->size)
        return 0;
    lstrcpyA(box->text + used, string);
    return 1;
}

int AddText(BoxText *box, const char *format, ...)
{
    // wvsprintfA writes at most 1,024 characters and the end.
    char part[1025];
    va_list arguments;
    va_start(arguments, format);
    wvsprintfA(part, format, arguments);
    va_end(arguments);
    return AddString(box, part);
}
