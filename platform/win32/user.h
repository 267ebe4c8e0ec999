// Windows, messages, timers and input (user32).
#pragma once

#include "platform/win32/types.h"
