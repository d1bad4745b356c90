#include "logic/Rule.h"
