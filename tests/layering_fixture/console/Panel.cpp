#include "Panel.h"
#include "core/Window.h"
#include "scheduler/Clock.h"
