// The settings dialogs as GTK 3 views over the toolkit-free models: they
// show the models' state, pass the user's actions on, and find their texts
// in the saver's dialog texts.
#pragma once

#include <string_view>

#include "host/configuration_model.h"

namespace lumi {

// Runs the configuration dialog to its end; OK or Cancel reach the model.
void RunConfigurationDialog(ConfigurationModel& model);

// A start-up error's text in a message box with the error icon.
void ShowErrorMessage(std::u16string_view title, std::u16string_view text);

}  // namespace lumi
