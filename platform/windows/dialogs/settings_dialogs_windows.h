// The settings dialogs on Windows: the resource dialogs 106, 200 and 2214
// as views over the toolkit-free models. They show the models' state and
// pass the user's actions on; their texts and layout come with the
// executable's resources.
//
// Implements: the configuration, Display Settings and Sound Settings dialogs.
// Does not: any rule of its own; every decision is the host's models'.
#pragma once

#include "host/command_line.h"
#include "host/configuration_model.h"
#include "host/saver_settings.h"
#include "platform/saver_display.h"

namespace lumi {

// Runs the configuration dialog to its end, owned by `owner` (0, or a
// handle that names no window, for none); OK or Cancel reach the model.
// False, with the reason on standard error, when it could not be shown.
bool RunConfigurationDialog(ConfigurationModel& model, WindowHandle owner);

// The configuration over the monitors and adapters `display` lists, as
// the full-screen saver would see them.
bool ShowConfigurationDialogs(SaverDisplay& display, SaverSettings& settings, WindowHandle owner);

}  // namespace lumi
