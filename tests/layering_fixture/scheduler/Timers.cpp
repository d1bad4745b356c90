// clang-format off
#include "console/Panel.h"
#include <console/Panel.h>
#include "../console/Panel.h"
#include "scheduler/../console/Panel.h"
#include <scheduler/../console/Panel.h>
#include "./../console/Panel.h"
#include "..//console/./Panel.h"
#include "../../layering_fixture/console/Panel.h"
  #  include   <./console/Panel.h>
#include "Clock.h"
#include "./Clock.h"
#include "scheduler/Clock.h"
#include <scheduler/Clock.h>
#include "print/Sheet.h"
#include "core/Window.h"
#include <core/Window.h>
#include "../core/Window.h"
#include "../logic/Rule.h"
#include "Version.h"
#include <QString>
#include <vector>
#include <sys/stat.h>
