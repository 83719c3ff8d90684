// Measures Sondaro.exe against the plain Win32 reference program: start-up
// until the main dialog shows its devices, one "check", and the process's
// memory over 200 checks. Prints each as a ratio to the reference.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kStarts = 11;
const int kTimedChecks = 20;
const int kMemoryChecks = 200;

double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct FindArgs {
    DWORD dwProcessId;
    HWND hFound;
};

BOOL CALLBACK FindMainDialog(HWND hWnd, LPARAM lParam)
{
    FindArgs* pArgs = reinterpret_cast<FindArgs*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (dwProcessId == pArgs->dwProcessId && ::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, 1004)) {
        pArgs->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

struct Run {
    PROCESS_INFORMATION pi = {};
    HWND hDlg = nullptr;
    double dStartMs = 0;
};

// Starts the program and waits for its dialog with a filled device list.
Run Start(const std::string& strExe)
{
    Run run;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string strCommand = "\"" + strExe + "\"";
    double dBegin = Now();
    if (!::CreateProcessA(strExe.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &run.pi))
        return run;
    while (Now() - dBegin < 60000) {
        FindArgs args = {run.pi.dwProcessId, nullptr};
        ::EnumWindows(FindMainDialog, reinterpret_cast<LPARAM>(&args));
        if (args.hFound && ::SendMessageW(::GetDlgItem(args.hFound, 1004), LB_GETCOUNT, 0, 0) > 0) {
            run.hDlg = args.hFound;
            break;
        }
        ::Sleep(2);
    }
    run.dStartMs = Now() - dBegin;
    return run;
}

void Stop(Run& run)
{
    if (run.hDlg)
        ::PostMessageA(run.hDlg, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(run.pi.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(run.pi.hProcess, 1);
    ::CloseHandle(run.pi.hThread);
    ::CloseHandle(run.pi.hProcess);
}

void Check(HWND hDlg)
{
    ::SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(1016, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, 1016)));
}

SIZE_T PrivateBytes(HANDLE hProcess)
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // The committed private memory; Wine leaves PrivateUsage at 0.
    return counters.PagefileUsage;
}

struct Result {
    std::vector<double> starts;
    std::vector<double> checks;
    long long nStartKiB = 0;
    long long nGrowthKiB = 0;
    int nLines = 0;
};

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One start of the program with its timed checks; the first start also
// measures the memory over many checks.
void MeasureOnce(const std::string& strExe, Result& result)
{
    Run run = Start(strExe);
    if (!run.hDlg) {
        fprintf(stderr, "%s: no dialog\n", strExe.c_str());
        Stop(run);
        return;
    }
    result.starts.push_back(run.dStartMs);
    Check(run.hDlg); // the first check loads the capture driver
    for (int i = 0; i < kTimedChecks; ++i) {
        double dBegin = Now();
        Check(run.hDlg);
        result.checks.push_back(Now() - dBegin);
    }
    if (result.starts.size() == 1) {
        SIZE_T nBefore = PrivateBytes(run.pi.hProcess);
        result.nStartKiB = static_cast<long long>(nBefore) / 1024;
        for (int i = 0; i < kMemoryChecks; ++i)
            Check(run.hDlg);
        result.nGrowthKiB =
            (static_cast<long long>(PrivateBytes(run.pi.hProcess)) - static_cast<long long>(nBefore)) / 1024;
        result.nLines = static_cast<int>(::SendMessageW(::GetDlgItem(run.hDlg, 1005), LB_GETCOUNT, 0, 0));
    }
    Stop(run);
}

std::string DosPath(std::string strPath)
{
    if (strPath.empty() || strPath[0] != '/')
        return strPath;
    std::replace(strPath.begin(), strPath.end(), '/', '\\');
    return "Z:" + strPath;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s Sondaro.exe MinimalProbe.exe\n", argv[0]);
        return 2;
    }
    // Alternated, so that whatever else the machine does weighs on both.
    Result sondaro, minimal;
    for (int nStart = 0; nStart < kStarts; ++nStart) {
        MeasureOnce(DosPath(argv[1]), sondaro);
        MeasureOnce(DosPath(argv[2]), minimal);
    }
    const double dStartMs = Median(sondaro.starts), dMinimalStartMs = Median(minimal.starts);
    const double dCheckMs = Median(sondaro.checks), dMinimalCheckMs = Median(minimal.checks);
    if (dStartMs <= 0 || dMinimalStartMs <= 0 || dMinimalCheckMs <= 0)
        return 1;
    printf("%-34s %12s %12s %8s\n", "", "Sondaro", "reference", "ratio");
    printf("%-34s %9.1f ms %9.1f ms %7.2fx\n", "start to devices listed (median)", dStartMs, dMinimalStartMs,
           dStartMs / dMinimalStartMs);
    printf("%-34s %9.2f ms %9.2f ms %7.2fx\n", "one check (median)", dCheckMs, dMinimalCheckMs,
           dCheckMs / dMinimalCheckMs);
    printf("%-34s %8lld KiB %8lld KiB\n", "private memory at the start", sondaro.nStartKiB,
           minimal.nStartKiB);
    printf("%-34s %8lld KiB %8lld KiB\n", "private memory growth, 200 checks", sondaro.nGrowthKiB,
           minimal.nGrowthKiB);
    printf("%-34s %12d %12d\n", "result lines after the checks", sondaro.nLines, minimal.nLines);
    return 0;
}
