// Message maps: static tables of {message, notification code, control id,
// handler}, looked up from the most derived class to the root. Each handler
// is a small typed thunk that unpacks the message for one member function.
#pragma once

#include <windows.h>

class CCmdTarget;

// Calls the handler; returns false when the handler asked for the default
// processing instead of handling the message itself.
typedef bool (*AFX_THUNK)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    AFX_THUNK pfnThunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The notification code a WM_COMMAND is dispatched by. A menu's and an
// accelerator's commands come without a control (lParam 0), the
// accelerator's with code 1: both are the one command, code 0.
inline UINT AfxCommandCode(WPARAM wParam, LPARAM lParam)
{
    return lParam ? HIWORD(wParam) : 0;
}

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Finds the entry for a message, or for WM_COMMAND a notification code
    // and control id, and runs it. Returns true when it was handled.
    bool DispatchMessageMap(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam,
                            LRESULT& lResult);

    static const AFX_MSGMAP* GetThisMessageMap();

protected:
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Set by Default() in a handler that wants the system's processing.
    bool m_bDefaultRequested = false;
};

// The table macros are laid out as the lines they expand to.
// clang-format off
#define DECLARE_MESSAGE_MAP()                                                                                \
public:                                                                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();                                                            \
                                                                                                             \
protected:                                                                                                   \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }                        \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                          \
    {                                                                                                        \
        typedef theClass ThisClass [[maybe_unused]];                                                         \
        typedef baseClass TheBaseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY s_entries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    {0, 0, 0, nullptr}                                                                                       \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP s_map = {&TheBaseClass::GetThisMessageMap, s_entries};                           \
    return &s_map;                                                                                           \
    }
// clang-format on

// The class a member function belongs to.
template <class> struct AfxMemberClass;
template <class C, class R, class... Args> struct AfxMemberClass<R (C::*)(Args...)> {
    typedef C type;
};
template <auto pfn> using AfxTargetOf = typename AfxMemberClass<decltype(pfn)>::type;

// The handler kinds.
template <auto pfn> bool AfxThunkVoid(CCmdTarget* p, WPARAM, LPARAM, LRESULT& lResult)
{
    (static_cast<AfxTargetOf<pfn>*>(p)->*pfn)();
    lResult = 0;
    return true;
}

template <auto pfn> bool AfxThunkUintLparam(CCmdTarget* p, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    (static_cast<AfxTargetOf<pfn>*>(p)->*pfn)(static_cast<UINT>(wParam), lParam);
    lResult = 0;
    return true;
}

template <auto pfn> bool AfxThunkUintPtr(CCmdTarget* p, WPARAM wParam, LPARAM, LRESULT& lResult)
{
    (static_cast<AfxTargetOf<pfn>*>(p)->*pfn)(static_cast<UINT_PTR>(wParam));
    lResult = 0;
    return true;
}

template <auto pfn> bool AfxThunkMouse(CCmdTarget* p, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    (static_cast<AfxTargetOf<pfn>*>(p)->*pfn)(static_cast<UINT>(wParam), point);
    lResult = 0;
    return true;
}

template <auto pfn> bool AfxThunkHandle(CCmdTarget* p, WPARAM, LPARAM, LRESULT& lResult)
{
    lResult = reinterpret_cast<LRESULT>((static_cast<AfxTargetOf<pfn>*>(p)->*pfn)());
    return true;
}

template <auto pfn> bool AfxThunkMessage(CCmdTarget* p, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    lResult = (static_cast<AfxTargetOf<pfn>*>(p)->*pfn)(wParam, lParam);
    return true;
}

#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, (id), &AfxThunkVoid<memberFxn>},
#define ON_BN_CLICKED(id, memberFxn) {WM_COMMAND, BN_CLICKED, (id), &AfxThunkVoid<memberFxn>},
#define ON_LBN_SELCHANGE(id, memberFxn) {WM_COMMAND, LBN_SELCHANGE, (id), &AfxThunkVoid<memberFxn>},
#define ON_MESSAGE(message, memberFxn) {(message), 0, 0, &AfxThunkMessage<memberFxn>},
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, &AfxThunkUintLparam<&ThisClass::OnSysCommand>},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, &AfxThunkVoid<&ThisClass::OnPaint>},
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, &AfxThunkHandle<&ThisClass::OnQueryDragIcon>},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, &AfxThunkVoid<&ThisClass::OnClose>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, &AfxThunkVoid<&ThisClass::OnDestroy>},
#define ON_WM_SYSCOLORCHANGE() {WM_SYSCOLORCHANGE, 0, 0, &AfxThunkVoid<&ThisClass::OnSysColorChange>},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, &AfxThunkUintPtr<&ThisClass::OnTimer>},
#define ON_WM_MOUSEMOVE() {WM_MOUSEMOVE, 0, 0, &AfxThunkMouse<&ThisClass::OnMouseMove>},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, &AfxThunkMouse<&ThisClass::OnLButtonDown>},
#define ON_WM_LBUTTONUP() {WM_LBUTTONUP, 0, 0, &AfxThunkMouse<&ThisClass::OnLButtonUp>},
#define ON_WM_LBUTTONDBLCLK() {WM_LBUTTONDBLCLK, 0, 0, &AfxThunkMouse<&ThisClass::OnLButtonDblClk>},
#define ON_WM_RBUTTONDOWN() {WM_RBUTTONDOWN, 0, 0, &AfxThunkMouse<&ThisClass::OnRButtonDown>},
#define ON_WM_RBUTTONUP() {WM_RBUTTONUP, 0, 0, &AfxThunkMouse<&ThisClass::OnRButtonUp>},
#define ON_WM_RBUTTONDBLCLK() {WM_RBUTTONDBLCLK, 0, 0, &AfxThunkMouse<&ThisClass::OnRButtonDblClk>},
