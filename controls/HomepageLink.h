// The homepage link of both dialogs, set up the same way in each.
#pragma once

#include "controls/HButton.h"

// Hand cursor, underline only under the pointer, light blue under the
// pointer, the tooltip, and the maker's host as the caption.
void SetUpHomepageLink(CHButton& link, HCURSOR hHandCursor);
