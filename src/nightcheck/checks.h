// The topics the night check looks at, each a check that says its verdict
// (report.h) once, in the order the box lists them.
#ifndef VARNEL_NIGHTCHECK_CHECKS_H
#define VARNEL_NIGHTCHECK_CHECKS_H

#include <windows.h>

#include "companion/windows_version.h"
#include "nightcheck/report.h"

// The box must fit a 640 x 480 screen with every topic at its longest, so
// each paragraph says little more than what was found and what to do; the
// guide's sections that the count lines name say more.

// windows_open.cpp: the programs Varnel works with, as their windows show.
void CheckRecorder();
void CheckVarnel();
void CheckEncoders();
// power.cpp: how the machine is powered, and how it sleeps.
void CheckPower();
void CheckModernStandby();
// power_plan.cpp: the active power plan, or the older power policy.
void CheckLid();
void CheckWakeTimers();
void CheckSignIn();
// waking.cpp: a wake-up timer, tried.
void CheckWaking();
// screen_saver.cpp, windows_update.cpp.
void CheckScreenSaver();
void CheckWindowsUpdate();

#endif
