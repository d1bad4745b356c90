#include "console/Panel.h"
#include "scheduler/Clock.h"
