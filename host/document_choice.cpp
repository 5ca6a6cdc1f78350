#include "host/document_choice.h"

#include <algorithm>

#include "archive/document_source.h"
#include "archive/file_io.h"
#include "archive/input_error.h"
#include "archive/utf.h"

namespace lumi {
namespace {

// Only the first bytes are read: a folder may hold anything else too.
bool LooksLikeDocument(const std::filesystem::path& path) {
  try {
    const std::vector<std::uint8_t> start = ReadFileStart(path, 512);
    return (start.size() >= 2 && start[0] == 'M' && start[1] == 'Z') || StartsWithDocumentSignature(start);
  } catch (const InputError&) {
    return false;
  }
}

std::vector<std::filesystem::path> FolderDocuments(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().filename().string().starts_with(".") || !entry.is_regular_file(ec)) continue;
    if (LooksLikeDocument(entry.path())) found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

std::vector<std::filesystem::path> DocumentsToTry(const DocumentChoice& choice, const std::filesystem::path& last,
                                                  std::uint32_t random) {
  if (choice.path.empty()) return {};
  const std::filesystem::path chosen(choice.path);
  std::error_code ec;
  if (!std::filesystem::is_directory(chosen, ec)) return {chosen};
  std::vector<std::filesystem::path> documents = FolderDocuments(chosen);
  if (documents.empty()) return {};
  const auto at_last = std::find(documents.begin(), documents.end(), last);
  std::size_t first = at_last == documents.end() ? 0 : static_cast<std::size_t>(at_last - documents.begin()) + 1;
  if (choice.shuffle) {
    // A random step of 1 to n - 1 from the last never lands on it again.
    const std::size_t n = documents.size();
    const std::size_t from = at_last == documents.end() ? 0 : static_cast<std::size_t>(at_last - documents.begin());
    first = n == 1 ? 0 : at_last == documents.end() ? random % n : (from + 1 + random % (n - 1)) % n;
  }
  std::rotate(documents.begin(), documents.begin() + static_cast<std::ptrdiff_t>(first % documents.size()),
              documents.end());
  return documents;
}

DocumentKind KindOfChoice(const DocumentChoice& choice) {
  if (choice.path.empty()) return DocumentKind::Demo;
  std::error_code ec;
  if (!std::filesystem::is_directory(std::filesystem::path(choice.path), ec)) return DocumentKind::Document;
  return choice.shuffle ? DocumentKind::FolderShuffled : DocumentKind::FolderInOrder;
}

DocumentChoice ChoiceOfControls(DocumentKind kind, const std::filesystem::path& picked) {
  if (kind == DocumentKind::Demo) return {};
  DocumentChoice choice;
  std::error_code ec;
  const bool folder = std::filesystem::is_directory(picked, ec);
  if (!picked.empty() && folder == (kind != DocumentKind::Document)) choice.path = picked.u16string();
  choice.shuffle = kind == DocumentKind::FolderShuffled;
  return choice;
}

std::optional<std::filesystem::path> OpenChosenDocument(SaverSettings& settings, const DocumentChoice& choice,
                                                        std::uint32_t random,
                                                        const std::function<void(const std::filesystem::path&)>& open,
                                                        std::string& error) {
  const std::vector<std::filesystem::path> documents =
      DocumentsToTry(choice, std::filesystem::path(settings.LastDocument()), random);
  if (documents.empty()) {
    error = choice.path.empty() ? "no document chosen" : ToUtf8(choice.path) + ": no documents in the folder";
    return std::nullopt;
  }
  for (const std::filesystem::path& document : documents) {
    try {
      open(document);
      settings.WriteLastDocument(FromUtf8(document.string()));
      return document;
    } catch (const InputError& failure) {
      const std::string what = failure.what(), name = document.string();
      if (error.empty()) error = what.starts_with(name) ? what : name + ": " + what;
    }
  }
  return std::nullopt;
}

DocumentRounds::DocumentRounds(SaverSettings& settings, DocumentChoice choice, std::function<std::uint32_t()> random)
    : settings_(settings), choice_(std::move(choice)), random_(std::move(random)) {
  std::error_code ec;
  advances_ = std::filesystem::is_directory(std::filesystem::path(choice_.path), ec) &&
              DocumentsToTry(choice_, {}, 0).size() > 1;
}

std::optional<std::filesystem::path> DocumentRounds::Open(std::size_t round, const Opener& open, std::string& error) {
  if (round < rounds_.size()) {
    if (rounds_[round]) open(*rounds_[round]);
    return rounds_[round];
  }
  // Rounds come one after another; the next one goes on from the last played.
  return rounds_.emplace_back(OpenChosenDocument(settings_, choice_, random_(), open, error));
}

}  // namespace lumi
