// A stand-in for the system's DirectSound capture class, registered under its
// class id in the test's Wine prefix so that Sondaro.exe loads it. The step
// to fail is read from SONDARO_STAND_IN_FAIL: "create", "initialize" or
// "getcaps"; the status it fails with from SONDARO_STAND_IN_STATUS (hex).
#include <windows.h>

#include <dsound.h>

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

class StandInCapture : public IDirectSoundCapture {
public:
    StandInCapture() { ::InterlockedIncrement(&g_nObjects); }
    virtual ~StandInCapture() { ::InterlockedDecrement(&g_nObjects); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDirectSoundCapture)) {
            *ppv = static_cast<IDirectSoundCapture*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&m_nRefs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG nRefs = ::InterlockedDecrement(&m_nRefs);
        if (nRefs == 0)
            delete this;
        return nRefs;
    }
    HRESULT STDMETHODCALLTYPE CreateCaptureBuffer(LPCDSCBUFFERDESC, IDirectSoundCaptureBuffer**,
                                                  IUnknown*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetCaps(DSCCAPS* pCaps) override
    {
        HRESULT hr = StepResult("getcaps");
        if (SUCCEEDED(hr)) {
            pCaps->dwFlags = 0;
            pCaps->dwFormats = WAVE_FORMAT_96S16 | WAVE_FORMAT_1M08;
            pCaps->dwChannels = 2;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Initialize(LPCGUID) override { return StepResult("initialize"); }

private:
    LONG m_nRefs = 1;
};

class StandInFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        if (pOuter)
            return CLASS_E_NOAGGREGATION;
        HRESULT hr = StepResult("create");
        if (FAILED(hr))
            return hr;
        StandInCapture* pCapture = new StandInCapture;
        hr = pCapture->QueryInterface(riid, ppv);
        pCapture->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

StandInFactory g_factory;

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
