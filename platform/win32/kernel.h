// System facts, files and paths, the registry, the executable's resources and version
// information (kernel32, advapi32, version).
#pragma once

#include "platform/win32/types.h"
