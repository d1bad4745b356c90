#include "scheduler/Clock.h"
#include "core/Window.h"
