// Whether this Windows would wake the machine for Varnel: a wake-up timer
// of the kind Varnel sets, tried and taken back at once.
#include "actions/lookup.h"
#include "nightcheck/checks.h"
#include "nightcheck/power_api.h"

typedef HANDLE(WINAPI *CreateTimer)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR);
typedef BOOL(WINAPI *SetTimerDue)(HANDLE, const LARGE_INTEGER *, LONG, void *, void *, BOOL);
typedef BOOL(WINAPI *CancelTimer)(HANDLE);

// Hours ahead, relative, in the 100 ns steps of a due time: well after the
// check has cancelled it.
const LONGLONG TRIAL_DUE = -6LL * 3600 * 10000000;
// What Windows answers a timer it took but cannot wake the machine for:
// SetWaitableTimer names ERROR_NOT_SUPPORTED; Wine answers 722.
const DWORD CANNOT_RESUME = 722; // ERROR_TIMER_RESUME_IGNORED, of later headers

void CheckWaking()
{
    // No wake from it is documented: its own topic says what to do.
    if (ReadModernStandby() == STANDBY_MODERN)
    {
        Say(VERDICT_CHECK, "no wake from this machine's sleep is documented: see Modern Standby.");
        return;
    }
    CreateTimer create = (CreateTimer)(void *)LookUpKernel32("CreateWaitableTimerA");
    SetTimerDue set = (SetTimerDue)(void *)LookUpKernel32("SetWaitableTimer");
    CancelTimer cancel = (CancelTimer)(void *)LookUpKernel32("CancelWaitableTimer");
    if (create == NULL || set == NULL || cancel == NULL)
    {
        Say(VERDICT_PROBLEM, "this Windows cannot wake the machine. Leave it on, with suspend off.");
        return;
    }
    HANDLE timer = create(NULL, FALSE, NULL);
    if (timer == NULL)
    {
        Say(VERDICT_CHECK, "Windows made no wake-up timer (error %lu). Leave the machine on.", GetLastError());
        return;
    }
    LARGE_INTEGER due;
    due.QuadPart = TRIAL_DUE;
    // Taken: TRUE. Taken but unable to resume the machine: TRUE, and the last
    // error says so, where a plain success may leave it as it was.
    SetLastError(ERROR_SUCCESS);
    BOOL taken = set(timer, &due, 0, NULL, NULL, TRUE);
    DWORD error = GetLastError();
    cancel(timer);
    CloseHandle(timer);
    if (taken && (error == ERROR_NOT_SUPPORTED || error == CANNOT_RESUME))
        Say(VERDICT_PROBLEM, "Windows says it cannot wake this machine (error %lu). Leave it on tonight.", error);
    else if (!taken)
        Say(VERDICT_CHECK, "Windows refused a wake-up timer (error %lu). Leave the machine on.", error);
    else
        Say(VERDICT_FINE, "a wake-up timer was taken.");
}
