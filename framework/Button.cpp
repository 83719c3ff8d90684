#include "Button.h"

BEGIN_MESSAGE_MAP(CButton, CWnd)
END_MESSAGE_MAP()
