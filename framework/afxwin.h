// The framework layer in one include.
#pragma once

#include "afxres.h"
#include "System.h"
#include "Button.h"
#include "CmdTarget.h"
#include "Dialog.h"
#include "ListBox.h"
#include "PaintDC.h"
#include "String.h"
#include "ToolTipCtrl.h"
#include "WinApp.h"
#include "Wnd.h"
