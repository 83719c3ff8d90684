// A DirectSound capture class of the test's own, registered for the
// capture class id in the test process, so that a check talks to it instead
// of the system's.
#pragma once

#include <windows.h>

#include <string>

struct FakeCaptureScript {
    HRESULT hrCreate = S_OK;
    HRESULT hrInitialize = S_OK;
    HRESULT hrGetCaps = S_OK;
    DWORD dwFormats = 0;
};

struct FakeCaptureLog {
    int nLiving = 0;
    const GUID* pInitializedWith = nullptr;
    DWORD dwCapsSize = 0;
    std::string calls;
};

// Registered for as long as the object lives; the thread must have COM.
class FakeCaptureRegistration {
public:
    explicit FakeCaptureRegistration(const FakeCaptureScript& script);
    ~FakeCaptureRegistration();
    FakeCaptureRegistration(const FakeCaptureRegistration&) = delete;
    FakeCaptureRegistration& operator=(const FakeCaptureRegistration&) = delete;

    bool IsRegistered() const { return m_dwCookie != 0; }
    const FakeCaptureLog& Log() const;

private:
    DWORD m_dwCookie = 0;
};
