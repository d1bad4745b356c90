#pragma once
#include "core/Window.h"
