#pragma once
// The host editor in one include: prompts, selection sets, system variables, printing, the
// UCS, the screen state, host command calls, the jig, input sources and the session.
#include "zhost/editor/command_call.h"
#include "zhost/editor/display.h"
#include "zhost/editor/format.h"
#include "zhost/editor/input.h"
#include "zhost/editor/jig.h"
#include "zhost/editor/output.h"
#include "zhost/editor/prompts.h"
#include "zhost/editor/result.h"
#include "zhost/editor/selection.h"
#include "zhost/editor/session.h"
#include "zhost/editor/sysvars.h"
#include "zhost/editor/ucs.h"
#include "zhost/rx/app.h"
#include "zhost/rx/commands.h"
