// The saver's three dialogs (configuration 106, Display Settings 200, Sound
// Settings 2214) as templates of the resource script. Their layout lives
// here; every text comes from the saver's own dialog texts, so the Windows
// dialogs and the other systems' views read the same table.
#pragma once

#include <string>

namespace lumi::embed {

// Throws std::logic_error when a placed control has no text in the table,
// or a text of the table has no place: the build stops rather than ship a
// dialog with a control missing.
std::string DialogTemplates();

}  // namespace lumi::embed
