// clang-format off
#include "Sheet.h"
#include "../Clock.h"
#include "../../core/Window.h"
#include "../../console/Panel.h"
#include "console/Panel.h"
