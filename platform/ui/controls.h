// Control classes: thin objects over control windows. Every operation works
// on the window's state through the same code the control's messages use, so
// a control changed through its object or through SendMessage behaves alike.
#pragma once

#include "platform/ui/cbutton.h"
#include "platform/ui/ccombobox.h"
#include "platform/ui/cedit.h"
#include "platform/ui/cimagelist.h"
#include "platform/ui/clistbox.h"
#include "platform/ui/clistctrl.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/cstatic.h"
