// A static text control.
#pragma once

#include "platform/ui/wnd.h"

class CStatic : public CWnd {};
