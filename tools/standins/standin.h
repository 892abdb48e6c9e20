// The common part of the stand-in programs that play the outside programs
// Varnel drives: one top-level window that logs, one line per event with
// the local time, everything it receives.
//
// Options shared by every stand-in (seconds may have a fraction):
//   --log FILE            append the log to FILE instead of standard output
//   --appear-after S      create the window only after S seconds
//   --close-after S       close the window S seconds after it appeared
//   --hang-at S           stop pumping messages S seconds after appearing...
//   --hang-for S          ...for S seconds (a hung program)
#ifndef VARNEL_STANDIN_H
#define VARNEL_STANDIN_H

struct StandIn
{
    const char *className;
    const char *title;
    int closeOnSpace; // close once a Space key is released (the driver's alert)
};

// Reads the common options; returns the value of a program's own option, or
// NULL, with StandInOption.
void StandInStart(int argc, char **argv);
const char *StandInOption(const char *name);

// Creates the window and pumps its messages until it closes. Returns 0.
int StandInRun(const StandIn &standIn);

#endif
