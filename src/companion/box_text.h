// The text of a companion's message box, built in a buffer of the caller's
// a part at a time. Each part goes in whole or not at all: a text too long
// for its buffer loses its last parts, never ends in the middle of one.
#ifndef VARNEL_COMPANION_BOX_TEXT_H
#define VARNEL_COMPANION_BOX_TEXT_H

struct BoxText
{
    char *text;
    int size;
};

// An empty text in the buffer.
void StartText(BoxText *box, char *buffer, int size);

// Adds what the format makes, as wsprintfA makes it (at most 1,024
// characters); 0 where it did not fit.
int AddText(BoxText *box, const char *format, ...);

// Adds the string as it is; 0 where it did not fit.
int AddString(BoxText *box, const char *string);

#endif
