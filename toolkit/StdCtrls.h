// Standard controls, all windowless: labels, edits, combo boxes with their drop-down list, list
// boxes and push buttons, in the classic grey look. Toolkit layer. Each control has a file pair
// of its own; this header gathers them.
#pragma once

#include "toolkit/Buttons.h"
#include "toolkit/ClassicLook.h"
#include "toolkit/ComboBoxes.h"
#include "toolkit/Edits.h"
#include "toolkit/Labels.h"
#include "toolkit/ListBoxes.h"
