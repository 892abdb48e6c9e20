#include "nightcheck/report.h"

#include <stdarg.h>
#include <windows.h>

#include "companion/box_text.h"

// wsprintfA writes at most 1,024 characters a call; eleven topics of a
// line or two each take well under three times that.
static const int CALL_SIZE = 1024;
static const int REPORT_SIZE = 3 * CALL_SIZE;
// Room kept under the paragraphs for the line that ends the text.
static const int LAST_LINE_ROOM = 128;
// Room before the paragraphs for the two lines that count the problems,
// each naming at most every topic.
static const int COUNT_ROOM = 256;
static const int NAMES_SIZE = 112;

static const char *const VERDICT_WORDS[] = {"Fine", "Check", "Problem"};
// As the guide's sections are headed.
static const char *const NIGHT_NAMES[NIGHT_COUNT] = {"Every night", "A night asleep"};

// One buffer for the whole text: the paragraphs from COUNT_ROOM on, each
// night's after a blank line, and the counts written just before them
// once they are all there.
static char text[COUNT_ROOM + REPORT_SIZE];
static char *const paragraphs = text + COUNT_ROOM;
static BoxText said;
static int problems[NIGHT_COUNT];
static char problemTopics[NIGHT_COUNT][NAMES_SIZE];
static Night night;
static const char *topic;

void StartReport()
{
    StartText(&said, paragraphs, REPORT_SIZE - LAST_LINE_ROOM);
    ZeroMemory(problems, sizeof problems);
    ZeroMemory(problemTopics, sizeof problemTopics);
    night = NIGHT_COUNT;
}

void StartTopic(Night topicNight, const char *name)
{
    if (topicNight != night)
        AddString(&said, "\n");
    night = topicNight;
    topic = name;
}

void Say(Verdict verdict, const char *format, ...)
{
    if (verdict == VERDICT_PROBLEM)
    {
        problems[night]++;
        BoxText named = {problemTopics[night], NAMES_SIZE};
        AddText(&named, "%s%s", problemTopics[night][0] ? ", " : "", topic);
    }
    // Opening, text and line end: the text's own call ends within 1,024
    // characters. A paragraph with no room left for it is left out, not cut.
    char paragraph[CALL_SIZE + 64];
    int length = wsprintfA(paragraph, "%s: %s: ", VERDICT_WORDS[verdict], topic);
    va_list arguments;
    va_start(arguments, format);
    length += wvsprintfA(paragraph + length, format, arguments);
    va_end(arguments);
    lstrcpyA(paragraph + length, "\n");
    AddString(&said, paragraph);
}

const char *ReportText()
{
    char countLines[COUNT_ROOM];
    BoxText counts;
    StartText(&counts, countLines, COUNT_ROOM);
    for (int n = 0; n < NIGHT_COUNT; n++)
        if (problems[n] == 0)
            AddText(&counts, "%s: no problem.\n", NIGHT_NAMES[n]);
        else
            AddText(&counts, "%s: %d problem%s (%s).\n", NIGHT_NAMES[n], problems[n], problems[n] == 1 ? "" : "s",
                    problemTopics[n]);
    // The paragraphs open with their own blank line.
    int length = lstrlenA(countLines);
    CopyMemory(paragraphs - length, countLines, length);
    BoxText whole = {paragraphs, REPORT_SIZE};
    AddText(&whole, "\nMore in readme.txt, under \"%s\" and \"%s\".", NIGHT_NAMES[EVERY_NIGHT],
            NIGHT_NAMES[NIGHT_ASLEEP]);
    return paragraphs - length;
}

int ReportProblems(Night of)
{
    return problems[of];
}

int ReportProblems()
{
    return problems[EVERY_NIGHT] + problems[NIGHT_ASLEEP];
}
