#include "FakeCapture.h"

#include "ScriptedCapture.h"

namespace {

FakeCaptureScript g_script;
FakeCaptureLog g_log;

// The answers the script asks for, and the log of what was called.
struct FakeScript {
    static HRESULT Create()
    {
        g_log.calls += "Create;";
        return g_script.hrCreate;
    }
    static void Living(LONG nChange)
    {
        g_log.nLiving += nChange;
        if (nChange > 0)
            return;
        // An object released after its apartment has gone is a fault of the
        // caller's: the log says so.
        HRESULT hr = ::CoInitialize(nullptr);
        g_log.calls += hr == S_FALSE ? "Release;" : "Release without COM;";
        ::CoUninitialize();
    }
    static HRESULT Initialize(LPCGUID pGuid)
    {
        g_log.calls += "Initialize;";
        g_log.pInitializedWith = pGuid;
        return g_script.hrInitialize;
    }
    static HRESULT GetCaps(DWORD dwSize, DWORD& dwFormats)
    {
        g_log.calls += "GetCaps;";
        g_log.dwCapsSize = dwSize;
        dwFormats = g_script.dwFormats;
        return g_script.hrGetCaps;
    }
};

ScriptedCaptureFactory<FakeScript> g_factory;

} // namespace

FakeCaptureRegistration::FakeCaptureRegistration(const FakeCaptureScript& script)
{
    g_script = script;
    g_log = FakeCaptureLog();
    if (FAILED(::CoRegisterClassObject(CLSID_DirectSoundCapture, &g_factory, CLSCTX_INPROC_SERVER,
                                       REGCLS_MULTIPLEUSE, &m_dwCookie)))
        m_dwCookie = 0;
}

FakeCaptureRegistration::~FakeCaptureRegistration()
{
    if (m_dwCookie)
        ::CoRevokeClassObject(m_dwCookie);
}

const FakeCaptureLog& FakeCaptureRegistration::Log() const
{
    return g_log;
}
