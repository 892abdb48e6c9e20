#include "nightcheck/night_check.h"

#include <windows.h>

#include "nightcheck/checks.h"

static const char BOX_TITLE[] = "Varnel night check";

struct Topic
{
    Night night;
    const char *name;
    void (*check)();
};

// In the order the box tells them: what every night needs, the programs
// first; then what a night asleep needs besides.
static const Topic TOPICS[] = {
    {EVERY_NIGHT, "recorder", CheckRecorder},
    {EVERY_NIGHT, "Varnel", CheckVarnel},
    {EVERY_NIGHT, "encoders", CheckEncoders},
    {EVERY_NIGHT, "power", CheckPower},
    {EVERY_NIGHT, "lid", CheckLid},
    {EVERY_NIGHT, "screen saver", CheckScreenSaver},
    {EVERY_NIGHT, "Windows Update", CheckWindowsUpdate},
    {NIGHT_ASLEEP, "wake timers", CheckWakeTimers},
    {NIGHT_ASLEEP, "waking", CheckWaking},
    {NIGHT_ASLEEP, "Modern Standby", CheckModernStandby},
    {NIGHT_ASLEEP, "sign-in", CheckSignIn},
};

void RunNightCheck()
{
    StartReport();
    for (const Topic &topic : TOPICS)
    {
        StartTopic(topic.night, topic.name);
        topic.check();
    }
}

int NightCheck()
{
    for (;;)
    {
        RunNightCheck();
        // The warning where a night left on would fail: a night asleep is
        // the user's choice, and its problems are no alarm to one who
        // leaves the machine on.
        UINT icon = ReportProblems(EVERY_NIGHT) ? MB_ICONWARNING : MB_ICONINFORMATION;
        if (MessageBoxA(NULL, ReportText(), BOX_TITLE, MB_RETRYCANCEL | icon) != IDRETRY)
            return ReportProblems();
    }
}
