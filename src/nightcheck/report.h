// What the night check tells the user: one paragraph a topic, each opening
// with its verdict and the topic's name, after a line that counts the
// problems.
#ifndef VARNEL_NIGHTCHECK_REPORT_H
#define VARNEL_NIGHTCHECK_REPORT_H

enum Verdict
{
    VERDICT_FINE,    // checked, and in order
    VERDICT_CHECK,   // Windows cannot tell, or it is up to the user
    VERDICT_PROBLEM, // this would stop tonight's job, or a night asleep
};

// Empties the report.
void StartReport();

// Starts the paragraph of a topic; the topic's check then says its verdict.
void StartTopic(const char *topic);

// The verdict on the topic started, with its text formatted as wsprintfA
// does ("Problem: recorder: " goes before it).
void Say(Verdict verdict, const char *format, ...);

// The whole text: the count, then the paragraphs in the order said.
const char *ReportText();
int ReportProblems();

#endif
