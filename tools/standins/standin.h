// The common part of the stand-in programs: those that play the outside
// programs Varnel drives, each one top-level window that logs everything it
// receives, and the one that plays Windows' own news of sleeping and waking
// (power.cpp), which logs what it sends. One line per event, with the local
// time.
//
// Options shared by every stand-in. A time T is either seconds (with a
// fraction, counted from the stand-in's start or, for the last three, from
// its window's appearing) or a local clock time hh:mm:ss[.fff], which the
// stand-in reads as TZ places it, as Varnel does. A clock time already gone
// by when it is read is logged as "started after its moment" and taken as
// now:
//   --log FILE            append the log to FILE instead of standard output
//   --appear-after T      create the window only then
//   --close-after T       close the window then
//   --close-on FILE       close the window once FILE exists
//   --hang-at T           stop pumping messages then...
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

// Seconds from now until the option's time T (see above); `otherwise` when
// the option is not given.
double StandInSeconds(const char *name, double otherwise);

// One line of the log, stamped with the local time to the millisecond.
void StandInSay(const char *format, ...);

#endif
