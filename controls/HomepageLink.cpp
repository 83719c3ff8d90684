#include "controls/HomepageLink.h"

#include "info/Homepage.h"

void SetUpHomepageLink(CHButton& link, HCURSOR hHandCursor)
{
    link.SetLinkCursor(hHandCursor);
    link.SetUnderlineMode(2);
    link.SetHoverColor(RGB(50, 128, 255), TRUE);
    link.SetTooltipText("visit homepage for updates and documentation", TRUE);
    link.SetWindowText(HomepageHost);
}
