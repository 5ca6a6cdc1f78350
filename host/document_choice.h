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

// What the settings dialog's list offers to play, in its order; the list
// and the document or folder picked beside it make the choice.
enum class DocumentKind { Demo, Document, FolderInOrder, FolderShuffled };

// The entry a stored choice shows as.
DocumentKind KindOfChoice(const DocumentChoice& choice);
// The choice the list entry and the pick stand for. A pick that does not
// fit the entry (a folder for one document, a file for a folder's
// documents, nothing yet) plays the demo until a fitting one is made.
DocumentChoice ChoiceOfControls(DocumentKind kind, const std::filesystem::path& picked);

// Opens the first of the chosen documents with `open`, which throws
// InputError for one that does not open, and remembers it as the last
// played. nullopt when none was chosen or none opened; then `error` says
// why, naming the first failure.
std::optional<std::filesystem::path> OpenChosenDocument(SaverSettings& settings, const DocumentChoice& choice,
                                                        std::uint32_t random,
                                                        const std::function<void(const std::filesystem::path&)>& open,
                                                        std::string& error);

// The chosen documents one run plays in turn. Round 0 is the document
// OpenChosenDocument opens; each later round, asked for once the round
// before has played its slides, opens the next one after it. Every render
// unit asks for its rounds, so all of them play the same document.
class DocumentRounds {
 public:
  using Opener = std::function<void(const std::filesystem::path&)>;

  DocumentRounds(SaverSettings& settings, DocumentChoice choice, std::function<std::uint32_t()> random);

  // Whether later rounds play other documents: a folder of several.
  bool Advances() const { return advances_; }
  // Opens the document of `round` with `open` (see OpenChosenDocument). A
  // round asked for again opens the same document again. nullopt when none
  // opens; `error` says why when the round was new.
  std::optional<std::filesystem::path> Open(std::size_t round, const Opener& open, std::string& error);

 private:
  SaverSettings& settings_;
  DocumentChoice choice_;
  std::function<std::uint32_t()> random_;
  bool advances_ = false;
  std::vector<std::optional<std::filesystem::path>> rounds_;
};

}  // namespace lumi
