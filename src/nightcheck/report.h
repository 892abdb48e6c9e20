// What the night check tells the user: a line counting the problems of
// each night, one for a night left on and one for a night asleep, then one
// paragraph a topic, each opening with its verdict and the topic's name,
// the two nights' paragraphs apart, and last where the guide says more.
#ifndef VARNEL_NIGHTCHECK_REPORT_H
#define VARNEL_NIGHTCHECK_REPORT_H

enum Verdict
{
    VERDICT_FINE,    // checked, and in order
    VERDICT_CHECK,   // Windows cannot tell, or it is up to the user
    VERDICT_PROBLEM, // this would stop tonight's job, or a night asleep
};

// The two nights, each named as the guide's section that says more of it.
enum Night
{
    EVERY_NIGHT,  // what any night needs, the machine left on
    NIGHT_ASLEEP, // what a night with the machine asleep needs besides
    NIGHT_COUNT,
};

// Empties the report.
void StartReport();

// Starts the paragraph of a topic of that night; the topic's check then
// says its verdict.
void StartTopic(Night night, const char *topic);

// The verdict on the topic started, with its text formatted as wsprintfA
// does ("Problem: recorder: " goes before it).
void Say(Verdict verdict, const char *format, ...);

// The whole text: the two counts, then each night's paragraphs in the
// order said, then where to read more.
const char *ReportText();

// The problems of one night, and of both.
int ReportProblems(Night night);
int ReportProblems();

#endif
