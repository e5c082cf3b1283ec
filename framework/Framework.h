#pragma once
// The framework in one include: application, windows and message maps, dialogs and data
// exchange, strings, GDI objects, controls and files.

#include <windows.h>
#include <commctrl.h>

#include "FrameworkRes.h"
#include "FwTypes.h"
#include "FwString.h"
#include "FwWindow.h"
#include "FwGdi.h"
#include "FwControls.h"
#include "FwDialog.h"
#include "FwFile.h"
#include "FwApp.h"
