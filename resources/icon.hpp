#pragma once

// The program's icon as XPM data: 32 by 32 pixels, 16 colours, transparent around the flag.
#include "resources/qmz_icon.xpm"
