#include "core/Window.h"
#include "scheduler/Clock.h"
