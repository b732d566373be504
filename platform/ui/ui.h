// The headless dialog framework in one include: windows and controls,
// dialogs with data exchange, property sheets and wizards, application
// objects and message boxes, file dialogs, resources, the modal driver and
// snapshots.
#pragma once

#include "platform/ui/app.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "platform/ui/paint.h"
#include "platform/ui/propsheet.h"
#include "platform/ui/resources.h"
#include "platform/ui/uidefs.h"
#include "platform/ui/wnd.h"
