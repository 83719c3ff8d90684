// A stand-in for the system's DirectSound capture class, registered under its
// class id in the test's Wine prefix so that Sondaro.exe loads it. The step
// to fail is read from SONDARO_STAND_IN_FAIL: "create", "initialize" or
// "getcaps"; the status it fails with from SONDARO_STAND_IN_STATUS (hex).
#include "fakes/ScriptedCapture.h"

#include <cstdlib>
#include <cstring>

namespace {

char g_szFail[32];
HRESULT g_hrFail = E_FAIL;
LONG g_nObjects = 0;

void ReadScript()
{
    ::GetEnvironmentVariableA("SONDARO_STAND_IN_FAIL", g_szFail, sizeof g_szFail);
    char szStatus[16] = "";
    if (::GetEnvironmentVariableA("SONDARO_STAND_IN_STATUS", szStatus, sizeof szStatus))
        g_hrFail = static_cast<HRESULT>(strtoul(szStatus, nullptr, 16));
}

HRESULT StepResult(const char* pszStep)
{
    return strcmp(g_szFail, pszStep) == 0 ? g_hrFail : S_OK;
}

struct StandInScript {
    static HRESULT Create() { return StepResult("create"); }
    static void Living(LONG nChange) { ::InterlockedExchangeAdd(&g_nObjects, nChange); }
    static HRESULT Initialize(LPCGUID) { return StepResult("initialize"); }
    static HRESULT GetCaps(DWORD, DWORD& dwFormats)
    {
        dwFormats = WAVE_FORMAT_96S16 | WAVE_FORMAT_1M08;
        return StepResult("getcaps");
    }
};

ScriptedCaptureFactory<StandInScript> g_factory;

} // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (!IsEqualCLSID(rclsid, CLSID_DirectSoundCapture)) {
        *ppv = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    ReadScript();
    return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return g_nObjects == 0 ? S_OK : S_FALSE;
}
