// The settings dialogs as GTK 3 views over the toolkit-free models: they
// show the models' state, pass the user's actions on, and find their texts
// in the saver's dialog texts.
//
// Implements: the configuration, Display Settings and Sound Settings dialogs.
// Does not: any rule of its own; every decision is the host's models'.
#pragma once

#include <string_view>

#include "host/command_line.h"
#include "host/configuration_model.h"

namespace lumi {

// Runs the configuration dialog to its end; OK or Cancel reach the model.
// On X11 a `parent` window that exists (the /c:ID of the command line)
// becomes the dialog's transient parent; any other is ignored.
void RunConfigurationDialog(ConfigurationModel& model, WindowHandle parent);

// A start-up error's text in a message box with the error icon, transient
// for `parent` as above.
void ShowErrorMessage(std::u16string_view title, std::u16string_view text, WindowHandle parent);

}  // namespace lumi
