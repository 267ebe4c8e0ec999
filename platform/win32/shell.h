// The notification area and documents opened through the shell (shell32).
#pragma once

#include "platform/win32/types.h"
