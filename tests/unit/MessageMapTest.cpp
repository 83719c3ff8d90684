#include "CmdTarget.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CBaseTarget : public CCmdTarget {
public:
    std::string m_log;
    void OnBaseCommand() { m_log += "base-command;"; }
    void OnOverridden() { m_log += "base-overridden;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
ON_COMMAND(100, &CBaseTarget::OnBaseCommand)
ON_BN_CLICKED(200, &CBaseTarget::OnOverridden)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
public:
    POINT m_point = {};
    UINT m_nFlags = 0;
    UINT m_nID = 0;
    LPARAM m_lParam = 0;

    void OnDerivedClick() { m_log += "derived-overridden;"; }
    void OnSelchange() { m_log += "selchange;"; }
    void OnMouseMove(UINT nFlags, POINT point)
    {
        m_nFlags = nFlags;
        m_point = point;
    }
    void OnSysCommand(UINT nID, LPARAM lParam)
    {
        m_nID = nID;
        m_lParam = lParam;
    }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(0x1234); }
    LRESULT OnMouseLeave(WPARAM, LPARAM) { return 7; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
ON_BN_CLICKED(200, &CDerivedTarget::OnDerivedClick)
ON_LBN_SELCHANGE(300, &CDerivedTarget::OnSelchange)
ON_WM_MOUSEMOVE()
ON_WM_SYSCOMMAND()
ON_WM_QUERYDRAGICON()
ON_MESSAGE(WM_MOUSELEAVE, &CDerivedTarget::OnMouseLeave)
END_MESSAGE_MAP()

bool Command(CCmdTarget& target, UINT nCode, UINT nID)
{
    LRESULT lResult = -1;
    return target.DispatchMessageMap(WM_COMMAND, nCode, nID, MAKEWPARAM(nID, nCode), 0, lResult);
}

} // namespace

TEST(MessageMapTest, CommandsMatchCodeAndIdAndChainToTheBase)
{
    CDerivedTarget target;
    EXPECT_TRUE(Command(target, BN_CLICKED, 200));
    EXPECT_TRUE(Command(target, 0, 100));
    EXPECT_TRUE(Command(target, LBN_SELCHANGE, 300));
    // Same id, other notification: no handler.
    EXPECT_FALSE(Command(target, LBN_DBLCLK, 300));
    EXPECT_FALSE(Command(target, BN_CLICKED, 999));
    // The derived entry hides the base's for the same command.
    EXPECT_EQ("derived-overridden;base-command;selchange;", target.m_log);
}

TEST(MessageMapTest, BaseMapAloneKnowsOnlyItsOwnEntries)
{
    CBaseTarget target;
    EXPECT_TRUE(Command(target, BN_CLICKED, 200));
    EXPECT_FALSE(Command(target, LBN_SELCHANGE, 300));
    EXPECT_EQ("base-overridden;", target.m_log);
}

TEST(MessageMapTest, HandlerKindsUnpackTheirArguments)
{
    CDerivedTarget target;
    LRESULT lResult = -1;

    // Client coordinates are signed 16-bit values.
    ASSERT_TRUE(target.DispatchMessageMap(WM_MOUSEMOVE, 0, 0, MK_LBUTTON, MAKELPARAM(-5, 40), lResult));
    EXPECT_EQ(static_cast<UINT>(MK_LBUTTON), target.m_nFlags);
    EXPECT_EQ(-5, target.m_point.x);
    EXPECT_EQ(40, target.m_point.y);
    EXPECT_EQ(0, lResult);

    ASSERT_TRUE(target.DispatchMessageMap(WM_SYSCOMMAND, 0, 0, 0x13, 0x00420017, lResult));
    EXPECT_EQ(0x13u, target.m_nID);
    EXPECT_EQ(0x00420017, target.m_lParam);

    ASSERT_TRUE(target.DispatchMessageMap(WM_QUERYDRAGICON, 0, 0, 0, 0, lResult));
    EXPECT_EQ(0x1234, lResult);

    ASSERT_TRUE(target.DispatchMessageMap(WM_MOUSELEAVE, 0, 0, 0, 0, lResult));
    EXPECT_EQ(7, lResult);

    EXPECT_FALSE(target.DispatchMessageMap(WM_PAINT, 0, 0, 0, 0, lResult));
}
