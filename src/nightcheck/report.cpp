#include "nightcheck/report.h"

#include <stdarg.h>
#include <windows.h>

// wsprintfA writes at most 1,024 characters a call; eleven topics of a
// line or two each take well under three times that.
static const int CALL_SIZE = 1024;
static const int REPORT_SIZE = 3 * CALL_SIZE;
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
static int problems[NIGHT_COUNT];
static char problemTopics[NIGHT_COUNT][NAMES_SIZE];
static Night night;
static const char *topic;

static void Append(const char *more)
{
    int length = lstrlenA(paragraphs);
    if (length + lstrlenA(more) < REPORT_SIZE - CALL_SIZE / 4)
        lstrcpyA(paragraphs + length, more);
}

void StartReport()
{
    paragraphs[0] = '\0';
    ZeroMemory(problems, sizeof problems);
    ZeroMemory(problemTopics, sizeof problemTopics);
    night = NIGHT_COUNT;
}

void StartTopic(Night topicNight, const char *name)
{
    if (topicNight != night)
        Append("\n");
    night = topicNight;
    topic = name;
}

void Say(Verdict verdict, const char *format, ...)
{
    if (verdict == VERDICT_PROBLEM)
    {
        problems[night]++;
        char *named = problemTopics[night];
        if (lstrlenA(named) + lstrlenA(topic) + 3 < NAMES_SIZE)
            wsprintfA(named + lstrlenA(named), "%s%s", named[0] ? ", " : "", topic);
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
    Append(paragraph);
}

const char *ReportText()
{
    char counts[COUNT_ROOM];
    char *end = counts;
    for (int n = 0; n < NIGHT_COUNT; n++)
        if (problems[n] == 0)
            end += wsprintfA(end, "%s: no problem.\n", NIGHT_NAMES[n]);
        else
            end += wsprintfA(end, "%s: %d problem%s (%s).\n", NIGHT_NAMES[n], problems[n], problems[n] == 1 ? "" : "s",
                             problemTopics[n]);
    // The paragraphs open with their own blank line.
    char *start = paragraphs - (end - counts);
    CopyMemory(start, counts, end - counts);
    end = paragraphs + lstrlenA(paragraphs);
    wsprintfA(end, "\nMore in readme.txt, under \"%s\" and \"%s\".", NIGHT_NAMES[EVERY_NIGHT],
              NIGHT_NAMES[NIGHT_ASLEEP]);
    return start;
}

int ReportProblems(Night of)
{
    return problems[of];
}

int ReportProblems()
{
    return problems[EVERY_NIGHT] + problems[NIGHT_ASLEEP];
}
