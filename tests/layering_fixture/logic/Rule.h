// clang-format off
#pragma once
#include "core/Window.h"
#include <core/Window.h>
#include "../core/Window.h"
#include "Other.h"
#include <QString>
#include <vector>
