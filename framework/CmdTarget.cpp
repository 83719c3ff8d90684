#include "CmdTarget.h"

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY s_entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP s_map = {nullptr, s_entries};
    return &s_map;
}

bool CCmdTarget::DispatchMessageMap(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam,
                                    LRESULT& lResult)
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->pfnThunk; ++pEntry) {
            if (pEntry->nMessage != nMessage || pEntry->nCode != nCode || pEntry->nID != nID)
                continue;
            // Handlers nest (a handler may run a modal loop), so keep the
            // outer handler's request.
            bool bOuterRequest = m_bDefaultRequested;
            m_bDefaultRequested = false;
            bool bHandled = pEntry->pfnThunk(this, wParam, lParam, lResult);
            bHandled = bHandled && !m_bDefaultRequested;
            m_bDefaultRequested = bOuterRequest;
            return bHandled;
        }
    }
    return false;
}
