// The night check: what on this Windows would stop tonight's job, told in
// one message box until the user is done with it.
#ifndef VARNEL_NIGHTCHECK_NIGHT_CHECK_H
#define VARNEL_NIGHTCHECK_NIGHT_CHECK_H

// Every topic checked, in order, into the report (report.h).
void RunNightCheck();

// Checks and shows the box, again for every Retry; returns the number of
// problems the last box showed, once the user cancels it.
int NightCheck();

#endif
