#include "nightcheck/report.h"

#include <stdarg.h>
#include <windows.h>

// wsprintfA writes at most 1,024 characters a call; ten topics of a few
// lines each take well under half the report.
static const int CALL_SIZE = 1024;
static const int REPORT_SIZE = 5 * CALL_SIZE;
// Room before the paragraphs for the line that counts the problems.
static const int COUNT_ROOM = 32;

static const char *const VERDICT_WORDS[] = {"Fine", "Check", "Problem"};

// One buffer for the whole text: the paragraphs from COUNT_ROOM on, and the
// count written just before them once they are all there.
static char text[COUNT_ROOM + REPORT_SIZE];
static char *const paragraphs = text + COUNT_ROOM;
static const char *topic;
static int problems;

void StartReport()
{
    paragraphs[0] = '\0';
    problems = 0;
}

void StartTopic(const char *name)
{
    topic = name;
}

void Say(Verdict verdict, const char *format, ...)
{
    if (verdict == VERDICT_PROBLEM)
        problems++;
    // The two writes together end within 1,024 characters and the short
    // opening: a paragraph with no room left for it is left out, not cut.
    int length = lstrlenA(paragraphs);
    if (length + COUNT_ROOM + CALL_SIZE >= REPORT_SIZE)
        return;
    length += wsprintfA(paragraphs + length, "\n%s: %s: ", VERDICT_WORDS[verdict], topic);
    va_list arguments;
    va_start(arguments, format);
    wvsprintfA(paragraphs + length, format, arguments);
    va_end(arguments);
}

const char *ReportText()
{
    char count[COUNT_ROOM];
    if (problems == 0)
        lstrcpyA(count, "No problem found.\n");
    else if (problems == 1)
        lstrcpyA(count, "1 problem found.\n");
    else
        wsprintfA(count, "%d problems found.\n", problems);
    // With the first paragraph's own line end, a blank line under the count.
    char *start = paragraphs - lstrlenA(count);
    CopyMemory(start, count, lstrlenA(count));
    return start;
}

int ReportProblems()
{
    return problems;
}
