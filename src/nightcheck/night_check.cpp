#include "nightcheck/night_check.h"

#include <windows.h>

#include "nightcheck/checks.h"

static const char BOX_TITLE[] = "Varnel night check";

struct Topic
{
    const char *name;
    void (*check)();
};

// In the order the box tells them: the programs first, then the night.
static const Topic TOPICS[] = {
    {"recorder", CheckRecorder},
    {"Varnel", CheckVarnel},
    {"encoders", CheckEncoders},
    {"power", CheckPower},
    {"wake timers", CheckWakeTimers},
    {"waking", CheckWaking},
    {"Modern Standby", CheckModernStandby},
    {"sign-in", CheckSignIn},
    {"screen saver", CheckScreenSaver},
    {"Windows Update", CheckWindowsUpdate},
};

void RunNightCheck()
{
    StartReport();
    for (const Topic &topic : TOPICS)
    {
        StartTopic(topic.name);
        topic.check();
    }
}

int NightCheck()
{
    for (;;)
    {
        RunNightCheck();
        UINT icon = ReportProblems() ? MB_ICONWARNING : MB_ICONINFORMATION;
        if (MessageBoxA(NULL, ReportText(), BOX_TITLE, MB_RETRYCANCEL | icon) != IDRETRY)
            return ReportProblems();
    }
}
