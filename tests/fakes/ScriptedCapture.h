// The COM side of a DirectSound capture class of a test's own: the object
// and its class factory. What the calls answer comes from `Script`:
//   static HRESULT Create();             before an object is made
//   static void Living(LONG nChange);    +1 when one is made, -1 when it goes
//   static HRESULT Initialize(LPCGUID pGuid);
//   static HRESULT GetCaps(DWORD dwSize, DWORD& dwFormats);  dwSize as given
#pragma once

#include <windows.h>

#include <dsound.h>

template <class Script> class ScriptedCapture : public IDirectSoundCapture {
public:
    ScriptedCapture() { Script::Living(1); }
    virtual ~ScriptedCapture() { Script::Living(-1); }

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
        DWORD dwFormats = 0;
        HRESULT hr = Script::GetCaps(pCaps->dwSize, dwFormats);
        if (SUCCEEDED(hr)) {
            pCaps->dwFlags = 0;
            pCaps->dwFormats = dwFormats;
            pCaps->dwChannels = 2;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Initialize(LPCGUID pGuid) override { return Script::Initialize(pGuid); }

private:
    LONG m_nRefs = 1;
};

// Meant to be a static object: reference counting does not apply.
template <class Script> class ScriptedCaptureFactory : public IClassFactory {
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
        HRESULT hr = Script::Create();
        if (FAILED(hr))
            return hr;
        auto* pCapture = new ScriptedCapture<Script>;
        hr = pCapture->QueryInterface(riid, ppv);
        pCapture->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};
