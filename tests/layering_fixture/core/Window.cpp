// clang-format off
#include "Window.h"
#include "./Window.h"
#include "logic/Rule.h"
#include <logic/Rule.h>
#include "../logic/Rule.h"
#include "core/../logic/Rule.h"
#include "Version.h"
#include <QWidget>
