#include "maintenance.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>

#include "aplif_resources.h"
#include "platform/message_box.h"
#include "profile_text.h"

namespace aplif {
namespace {

// A warning is repeated once the counter has grown by this part of the
// item's interval since the last one.
constexpr int32_t kReminderDivisor = 10;

char* TextOf(APL_WARNING_TEXTS& t, MaintenanceItem item) noexcept {
  switch (item) {
    case kCleanRoller: return t.cleanRoller;
    case kReplaceRoller: return t.replaceRoller;
    case kFrReplaceLamp: return t.frReplaceLamp;
    case kBkReplaceLamp: return t.bkReplaceLamp;
    case kFrCleanPlate: return t.frCleanPlate;
    default: return t.bkCleanPlate;
  }
}

std::string Section(int32_t deviceId) { return "Scanner" + std::to_string(deviceId); }

struct LastWarning {
  int32_t deviceId;
  int32_t generation;
  int32_t pages;
};

// "<id>:<generation>:<pages>"; anything else (also an unterminated buffer)
// reads as "not warned".
std::optional<LastWarning> ParseText(const char* text) {
  const char* end = static_cast<const char*>(std::memchr(text, '\0', APLIF_WARNING_TEXT_SIZE));
  if (!end) return std::nullopt;
  int32_t values[3];
  const char* p = text;
  for (int i = 0; i < 3; ++i) {
    auto [next, ec] = std::from_chars(p, end, values[i]);
    if (ec != std::errc() || values[i] < 0) return std::nullopt;
    p = next;
    if (i < 2) {
      if (p == end || *p != ':') return std::nullopt;
      ++p;
    }
  }
  if (p != end) return std::nullopt;
  return LastWarning{values[0], values[1], values[2]};
}

void WriteText(char* text, int32_t deviceId, int32_t generation, int32_t pages) {
  std::snprintf(text, APLIF_WARNING_TEXT_SIZE, "%d:%d:%d", deviceId, generation, pages);
}

bool StoreReset(const std::string& deviceIni, int32_t deviceId, MaintenanceItem item, int32_t generation,
                int* error) {
  ProfileText old = ReadProfileText(deviceIni);
  if (old.error) {
    *error = old.error;
    return false;
  }
  const std::string section = Section(deviceId);
  const std::string key = MaintenanceKey(item);
  std::string text = WithInt(old.text, section, key, 0);
  text = WithInt(text, section, key + "Gen", generation);
  return ReplaceProfileText(deviceIni, text, error);
}

}  // namespace

const char* MaintenanceKey(MaintenanceItem item) noexcept {
  static constexpr const char* kKeys[kMaintenanceItemCount] = {"CleanRoller",   "ReplaceRoller", "FrReplaceLamp",
                                                                "BkReplaceLamp", "FrCleanPlate",  "BkCleanPlate"};
  return kKeys[item];
}

PageCounter ReadCounter(const std::string& deviceIni, int32_t deviceId, MaintenanceItem item) {
  ProfileText file = ReadProfileText(deviceIni);
  PageCounter c;
  if (file.error) return c;
  const std::string section = Section(deviceId);
  const std::string key = MaintenanceKey(item);
  c.pages = std::max<int32_t>(0, FindInt(file.text, section, key, 0));
  c.generation = std::max<int32_t>(0, FindInt(file.text, section, key + "Gen", 0));
  return c;
}

int32_t CheckMaintenance(const std::string& deviceIni, const DeviceInfo& device, APL_WARNING_TEXTS& texts,
                         QWidget* parent, const std::string& caption) {
  int32_t shown = 0;
  int writeError = 0;
  for (int i = 0; i < kMaintenanceItemCount; ++i) {
    const auto item = static_cast<MaintenanceItem>(i);
    const int32_t limit = device.limits[i];
    if (limit <= 0) continue;
    const PageCounter counter = ReadCounter(deviceIni, device.id, item);
    if (counter.pages < limit) continue;
    char* text = TextOf(texts, item);
    const std::optional<LastWarning> last = ParseText(text);
    const int32_t step = std::max<int32_t>(1, limit / kReminderDivisor);
    if (last && last->deviceId == device.id && last->generation == counter.generation &&
        last->pages <= counter.pages && counter.pages - last->pages < step)
      continue;

    const QString message = Text(TextId::kWarnMaintenance)
                                .arg(QString::fromStdString(device.name), Text(TextId::kMaintenanceFirst, i))
                                .arg(counter.pages)
                                .arg(limit);
    const int answer = platform::ShowMessageBox(parent, message.toStdString(), caption,
                                                platform::kMbYesNo | platform::kMbIconWarning);
    ++shown;
    if (answer == platform::kIdYes) {
      const int32_t generation = counter.generation + 1;
      int error = 0;
      if (!StoreReset(deviceIni, device.id, item, generation, &error) && !writeError) writeError = error;
      WriteText(text, device.id, generation, 0);
    } else {
      WriteText(text, device.id, counter.generation, counter.pages);
    }
  }
  return writeError ? APLIF_ERR_WRITE : shown;
}

}  // namespace aplif
