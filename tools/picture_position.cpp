#include "tools/picture_position.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "host/saver_settings.h"
#include "host/screensaver.h"
#include "platform/user_settings_store.h"
#include "tools/command.h"

namespace lumi::tool {

PlacementMode ChosenPicturePosition(const std::optional<std::string>& asked, const char* command) {
  if (asked) {
    const std::optional<std::uint32_t> position = PicturePositionNamed(*asked);
    if (!position) throw UsageError{"--position must be fit, fill or stretch, not " + *asked};
    return static_cast<PlacementMode>(*position);
  }
  const std::unique_ptr<SettingsStore> store = OpenUserSettingsStore();
  SaverSettings settings(*store, kSettingsKeyPath);
  const std::uint32_t position = settings.PicturePosition();
  // The listing tells a stored value from the default, as `settings` shows it.
  const std::vector<ListedSetting> listed = settings.List(0);
  const bool stored = std::any_of(listed.begin(), listed.end(), [](const ListedSetting& s) {
    return s.name == kValuePicturePosition && s.source == "stored";
  });
  std::fprintf(stderr, "lumisave-tool %s: picture position %s, %s %s (--position chooses another)\n", command,
               PicturePositionName(position), stored ? "as stored in" : "the default: nothing stored in",
               settings.Location().c_str());
  return static_cast<PlacementMode>(position);
}

RenderQuality ChosenQuality(const std::optional<std::string>& asked) {
  if (!asked) return RenderQuality::Automatic;
  const std::optional<std::uint32_t> quality = QualityNamed(*asked);
  if (!quality) throw UsageError{"--quality must be automatic, best or fastest, not " + *asked};
  return static_cast<RenderQuality>(*quality);
}

}  // namespace lumi::tool
