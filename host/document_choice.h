// Which of the user's documents a run plays: the chosen document, or the
// documents of the chosen folder in turn (by name, or shuffled), going on
// from the one played last and past any that do not open.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/saver_settings.h"

namespace lumi {

// The documents of `choice` in the order this run tries them. A file is
// tried alone; a folder's files that begin as a document or a Windows
// executable (a .scr carrying one) are tried by name from the one after
// `last`, or from the one `random` picks (never `last` when there are
// others) when shuffled, wrapping around. Empty when nothing is chosen.
std::vector<std::filesystem::path> DocumentsToTry(const DocumentChoice& choice, const std::filesystem::path& last,
                                                  std::uint32_t random);

// Opens the first of the chosen documents with `open`, which throws
// InputError for one that does not open, and remembers it as the last
// played. nullopt when none was chosen or none opened; then `error` says
// why, naming the first failure.
std::optional<std::filesystem::path> OpenChosenDocument(SaverSettings& settings, const DocumentChoice& choice,
                                                        std::uint32_t random,
                                                        const std::function<void(const std::filesystem::path&)>& open,
                                                        std::string& error);

}  // namespace lumi
