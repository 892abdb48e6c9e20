// The shutdown request on each Windows family, with the system calls that
// Wine cannot make fail (or must not carry out here) played by the test.
#include <doctest/doctest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "actions/shutdown.h"
#include "contract.h"
#include "sequence.h"
#include "replace_import.h"

namespace
{

struct Scenario
{
    DWORD platform;
    BOOL versionAnswers;
    BOOL tokenOpens;
    BOOL privilegeFound;
    DWORD errorAfterAdjust; // 0: leaves the last error as it was, as Wine does
    BOOL exitAnswers;       // what ExitWindowsEx answers: FALSE where the shutdown is not allowed
};

Scenario scenario;
std::vector<std::string> calls;
const HANDLE FAKE_TOKEN = (HANDLE)(INT_PTR)0x7A11;
const LUID SHUTDOWN_LUID = {19, 0};

void Call(const std::string &text)
{
    calls.push_back(text);
}

BOOL WINAPI FakeGetVersionExA(OSVERSIONINFOA *version)
{
    Call("GetVersionExA size=" + std::to_string(version->dwOSVersionInfoSize));
    if (!scenario.versionAnswers)
        return FALSE;
    version->dwPlatformId = scenario.platform;
    version->dwMajorVersion = 4;
    return TRUE;
}

BOOL WINAPI FakeOpenProcessToken(HANDLE process, DWORD access, HANDLE *token)
{
    Call("OpenProcessToken own=" + std::to_string(process == GetCurrentProcess()) +
         " access=" + std::to_string(access));
    if (!scenario.tokenOpens)
        return FALSE;
    *token = FAKE_TOKEN;
    return TRUE;
}

BOOL WINAPI FakeLookupPrivilegeValueA(const char *system, const char *name, LUID *luid)
{
    Call(std::string("LookupPrivilegeValueA local=") + (system == NULL ? "1" : "0") + " name=" + name);
    if (!scenario.privilegeFound)
        return FALSE;
    *luid = SHUTDOWN_LUID;
    return TRUE;
}

BOOL WINAPI FakeAdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES *state, DWORD length,
                                      TOKEN_PRIVILEGES *previous, DWORD *returned)
{
    const LUID_AND_ATTRIBUTES &entry = state->Privileges[0];
    Call("AdjustTokenPrivileges token=" + std::to_string(token == FAKE_TOKEN) +
         " disableAll=" + std::to_string(disableAll) + " count=" + std::to_string(state->PrivilegeCount) +
         " luid=" + std::to_string(entry.Luid.LowPart == SHUTDOWN_LUID.LowPart && entry.Luid.HighPart == 0) +
         " attributes=" + std::to_string(entry.Attributes) + " length=" + std::to_string(length) +
         " previous=" + std::to_string(previous != NULL) + " returned=" + std::to_string(returned != NULL));
    if (scenario.errorAfterAdjust)
        SetLastError(scenario.errorAfterAdjust);
    return TRUE;
}

BOOL WINAPI FakeExitWindowsEx(UINT flags, DWORD reason)
{
    Call("ExitWindowsEx flags=" + std::to_string(flags) + " reason=" + std::to_string(reason));
    if (!scenario.exitAnswers)
    {
        SetLastError(ERROR_PRIVILEGE_NOT_HELD);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI SpyCloseHandle(HANDLE handle)
{
    if (handle != FAKE_TOKEN)
        return ((BOOL(WINAPI *)(HANDLE))(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "CloseHandle"))(
            handle);
    Call("CloseHandle token");
    return TRUE;
}

void Expect(const Scenario &s, DWORD lastErrorBefore, const std::vector<std::string> &expected)
{
    scenario = s;
    calls.clear();
    SetLastError(lastErrorBefore);
    ShutdownWindows();
    CHECK_SEQUENCE(calls, expected);
}

} // namespace

REPLACE_WINAPI_IMPORT(GetVersionExA, 4, FakeGetVersionExA)
REPLACE_WINAPI_IMPORT(OpenProcessToken, 12, FakeOpenProcessToken)
REPLACE_WINAPI_IMPORT(LookupPrivilegeValueA, 12, FakeLookupPrivilegeValueA)
REPLACE_WINAPI_IMPORT(AdjustTokenPrivileges, 24, FakeAdjustTokenPrivileges)
REPLACE_WINAPI_IMPORT(ExitWindowsEx, 8, FakeExitWindowsEx)
REPLACE_WINAPI_IMPORT(CloseHandle, 4, SpyCloseHandle)

static const std::string VERSION = "GetVersionExA size=148";
static const std::string OPEN = "OpenProcessToken own=1 access=" + std::to_string(Contract::TOKEN_ACCESS);
static const std::string LOOKUP = std::string("LookupPrivilegeValueA local=1 name=") + Contract::SHUTDOWN_PRIVILEGE;
static const std::string ADJUST =
    "AdjustTokenPrivileges token=1 disableAll=0 count=1 luid=1 attributes=2 length=0 previous=0 returned=0";
static const std::string POWER_OFF = "ExitWindowsEx flags=" + std::to_string(Contract::SHUTDOWN_FLAGS_NT) + " reason=0";
static const std::string SHUT_DOWN = "ExitWindowsEx flags=" + std::to_string(Contract::SHUTDOWN_FLAGS_95) + " reason=0";
static const std::string CLOSE = "CloseHandle token";

TEST_CASE("Windows 95 family: one forced shutdown, no token work")
{
    Expect({VER_PLATFORM_WIN32_WINDOWS, TRUE, TRUE, TRUE, 0, TRUE}, 0, {VERSION, SHUT_DOWN});
}

TEST_CASE("Windows 95 family reported, and its shutdown refused: the NT family's way after it")
{
    SUBCASE("the NT family in a compatibility mode: the privilege, then the power-off")
    {
        Expect({VER_PLATFORM_WIN32_WINDOWS, TRUE, TRUE, TRUE, ERROR_SUCCESS, FALSE}, 0,
               {VERSION, SHUT_DOWN, OPEN, LOOKUP, ADJUST, POWER_OFF, CLOSE});
    }
    SUBCASE("a real Windows 95, whose token calls fail: it ends there, quietly")
    {
        Expect({VER_PLATFORM_WIN32_WINDOWS, TRUE, FALSE, FALSE, 0, FALSE}, 0, {VERSION, SHUT_DOWN, OPEN});
    }
}

TEST_CASE("NT family: the privilege enabled, a forced power-off, the token closed")
{
    Expect({VER_PLATFORM_WIN32_NT, TRUE, TRUE, TRUE, ERROR_SUCCESS, TRUE}, 0,
           {VERSION, OPEN, LOOKUP, ADJUST, POWER_OFF, CLOSE});
    // Any platform other than the 95 family takes the same path.
    Expect({VER_PLATFORM_WIN32s, TRUE, TRUE, TRUE, ERROR_SUCCESS, TRUE}, 0,
           {VERSION, OPEN, LOOKUP, ADJUST, POWER_OFF, CLOSE});
    // A version query that fails leaves no platform: taken as NT, which asks for the privilege.
    Expect({VER_PLATFORM_WIN32_WINDOWS, FALSE, TRUE, TRUE, ERROR_SUCCESS, TRUE}, 0,
           {VERSION, OPEN, LOOKUP, ADJUST, POWER_OFF, CLOSE});
}

TEST_CASE("NT family, failures: no shutdown, and the token closed whenever it was opened")
{
    SUBCASE("the user may not shut down")
    {
        Expect({VER_PLATFORM_WIN32_NT, TRUE, TRUE, TRUE, ERROR_NOT_ALL_ASSIGNED, TRUE}, 0,
               {VERSION, OPEN, LOOKUP, ADJUST, CLOSE});
    }
    SUBCASE("the token cannot be opened")
    {
        Expect({VER_PLATFORM_WIN32_NT, TRUE, FALSE, TRUE, 0, TRUE}, 0, {VERSION, OPEN});
    }
    SUBCASE("the privilege cannot be looked up")
    {
        Expect({VER_PLATFORM_WIN32_NT, TRUE, TRUE, FALSE, 0, TRUE}, 0, {VERSION, OPEN, LOOKUP, CLOSE});
    }
}

TEST_CASE("NT family: a stale error from before does not block the shutdown")
{
    // The privilege call succeeds without touching the last error.
    Expect({VER_PLATFORM_WIN32_NT, TRUE, TRUE, TRUE, 0, TRUE}, ERROR_ACCESS_DENIED,
           {VERSION, OPEN, LOOKUP, ADJUST, POWER_OFF, CLOSE});
    Expect({VER_PLATFORM_WIN32_NT, TRUE, TRUE, TRUE, 0, TRUE}, ERROR_NOT_ALL_ASSIGNED,
           {VERSION, OPEN, LOOKUP, ADJUST, POWER_OFF, CLOSE});
}
