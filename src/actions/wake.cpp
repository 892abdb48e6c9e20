#include "actions/wake.h"

#include "actions/lookup.h"

typedef HANDLE(WINAPI *CreateTimer)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR);
typedef BOOL(WINAPI *SetTimerDue)(HANDLE, const LARGE_INTEGER *, LONG, void *, void *, BOOL);
typedef BOOL(WINAPI *CancelTimer)(HANDLE);

// 1601-01-01, where Windows' UTC count of 100 ns intervals begins, is this
// far before 1970-01-01, where time()'s seconds begin.
const LONGLONG FILETIME_OF_1970 = 116444736000000000LL;
const LONGLONG FILETIME_PER_SECOND = 10000000;

static HANDLE wakeTimer; // made by the first wake, kept for the run

int SetWakeUp(time_t when)
{
    if (when == 0)
    {
        CancelTimer cancel = (CancelTimer)(void *)LookUpKernel32("CancelWaitableTimer");
        return wakeTimer != NULL && cancel != NULL && cancel(wakeTimer) ? 1 : 0;
    }
    if (wakeTimer == NULL)
    {
        CreateTimer create = (CreateTimer)(void *)LookUpKernel32("CreateWaitableTimerA");
        if (create == NULL || (wakeTimer = create(NULL, FALSE, NULL)) == NULL)
            return 0;
    }
    SetTimerDue set = (SetTimerDue)(void *)LookUpKernel32("SetWaitableTimer");
    // Absolute, in UTC: a relative due time would not count the hours the
    // machine sleeps on Windows 8 and later (SetWaitableTimer). Resume: that
    // is the point.
    LARGE_INTEGER due;
    due.QuadPart = FILETIME_OF_1970 + (LONGLONG)when * FILETIME_PER_SECOND;
    return set != NULL && set(wakeTimer, &due, 0, NULL, NULL, TRUE) ? 1 : 0;
}
