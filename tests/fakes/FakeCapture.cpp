#include "FakeCapture.h"

#include <dsound.h>

namespace {

FakeCaptureScript g_script;
FakeCaptureLog g_log;

class FakeCapture : public IDirectSoundCapture {
public:
    FakeCapture()
    {
        ++g_log.nCreated;
        ++g_log.nLiving;
    }
    virtual ~FakeCapture() { --g_log.nLiving; }

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
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG nRefs = --m_nRefs;
        if (nRefs == 0) {
            // An object released after its apartment has gone is a fault of
            // the caller's: the log says so.
            HRESULT hr = ::CoInitialize(nullptr);
            g_log.calls += hr == S_FALSE ? "Release;" : "Release without COM;";
            ::CoUninitialize();
            delete this;
        }
        return nRefs;
    }
    HRESULT STDMETHODCALLTYPE CreateCaptureBuffer(LPCDSCBUFFERDESC, IDirectSoundCaptureBuffer**,
                                                  IUnknown*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetCaps(DSCCAPS* pCaps) override
    {
        ++g_log.nGetCapsCalls;
        g_log.calls += "GetCaps;";
        g_log.dwCapsSize = pCaps->dwSize;
        if (SUCCEEDED(g_script.hrGetCaps)) {
            pCaps->dwFlags = 0;
            pCaps->dwFormats = g_script.dwFormats;
            pCaps->dwChannels = 2;
        }
        return g_script.hrGetCaps;
    }
    HRESULT STDMETHODCALLTYPE Initialize(LPCGUID pGuid) override
    {
        ++g_log.nInitializeCalls;
        g_log.calls += "Initialize;";
        g_log.pInitializedWith = pGuid;
        return g_script.hrInitialize;
    }

private:
    ULONG m_nRefs = 1;
};

class FakeCaptureFactory : public IClassFactory {
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
    // A static object: reference counting does not apply.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        if (pOuter)
            return CLASS_E_NOAGGREGATION;
        g_log.calls += "Create;";
        if (FAILED(g_script.hrCreate))
            return g_script.hrCreate;
        FakeCapture* pCapture = new FakeCapture;
        HRESULT hr = pCapture->QueryInterface(riid, ppv);
        pCapture->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

FakeCaptureFactory g_factory;

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
