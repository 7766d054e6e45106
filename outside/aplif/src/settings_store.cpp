#include "settings_store.h"

#include <QString>

#include <algorithm>
#include <optional>

#include "platform/ini.h"
#include "profile_text.h"

namespace aplif {
namespace {

constexpr const char* kScanHead = "ScanSet";
constexpr const char* kJobHead = "JobSet";
constexpr const char* kUserSection = "UserReadCond";

std::string ScanSection(int n) { return "ScanSetting" + std::to_string(n); }
std::string JobSection(int n) { return "JobSetting" + std::to_string(n); }
std::string FunctionKey(int n) { return "Function" + std::to_string(n); }

int32_t InRange(int32_t v, int32_t lo, int32_t hi, int32_t fallback) { return v >= lo && v <= hi ? v : fallback; }

// A name as read from a file: cut to size; empty means unusable.
std::string StoredName(const std::optional<std::string>& raw) {
  return raw ? CutUtf8(*raw, kMaxNameBytes) : std::string();
}

void ReadScanPart(const std::string& text, SettingStore& s) {
  const int32_t count = std::clamp<int32_t>(FindInt(text, kScanHead, "Count", 0), 0, APLIF_MAX_SETTINGS);
  for (int n = 1; n <= count; ++n) {
    const std::string section = ScanSection(n);
    ScanSetting v;
    v.name = StoredName(FindString(text, section, "Name"));
    if (v.name.empty() || s.FindScan(v.name) >= 0) continue;
    v.imageType = InRange(FindInt(text, section, "ImageType", APL_IMAGE_BW), 0, kImageTypeCount - 1, APL_IMAGE_BW);
    v.resolution = InRange(FindInt(text, section, "Resolution", kDefaultResolution), kMinResolution,
                           kMaxResolution, kDefaultResolution);
    v.paper = InRange(FindInt(text, section, "Paper", APL_PAPER_LETTER), 0, kPaperCount - 1, APL_PAPER_LETTER);
    v.duplex = FindInt(text, section, "Duplex", 0) != 0;
    s.scans.push_back(std::move(v));
  }
  s.curScan = InRange(FindInt(text, kScanHead, "Current", 0), 0, static_cast<int32_t>(s.scans.size()) - 1, 0);
  s.unit = InRange(FindInt(text, kScanHead, "Unit", APL_UNIT_MM), APL_UNIT_MM, APL_UNIT_INCH, APL_UNIT_MM);
  for (int f = 1; f <= APLIF_USER_READ_CONDS; ++f)
    s.userReadCond[f - 1] = StoredName(FindString(text, kUserSection, FunctionKey(f)));
}

void ReadJobPart(const std::string& text, SettingStore& s) {
  const int32_t count = std::clamp<int32_t>(FindInt(text, kJobHead, "Count", 0), 0, APLIF_MAX_SETTINGS);
  for (int n = 1; n <= count; ++n) {
    const std::string section = JobSection(n);
    JobSetting v;
    v.name = StoredName(FindString(text, section, "Name"));
    if (v.name.empty() || s.FindJob(v.name) >= 0) continue;
    std::string prefix = StoredName(FindString(text, section, "FilePrefix"));
    if (!HasFileNameBreaker(prefix)) v.filePrefix = prefix;
    v.digits = InRange(FindInt(text, section, "Digits", kDefaultDigits), kMinDigits, kMaxDigits, kDefaultDigits);
    v.pagesPerFile = InRange(FindInt(text, section, "PagesPerFile", 0), 0, kMaxPagesPerFile, 0);
    v.readCond = StoredName(FindString(text, section, "ReadCond"));
    s.jobs.push_back(std::move(v));
  }
  s.curJob = InRange(FindInt(text, kJobHead, "Current", 0), 0, static_cast<int32_t>(s.jobs.size()) - 1, 0);
}

void ClearReferences(SettingStore& s, const std::string& name) {
  for (JobSetting& j : s.jobs)
    if (EqualsIgnoringCase(j.readCond, name)) j.readCond.clear();
  for (std::string& u : s.userReadCond)
    if (EqualsIgnoringCase(u, name)) u.clear();
}

int32_t AfterRemoval(int32_t current, int32_t removed, std::size_t newSize) {
  if (current > removed) --current;
  return std::clamp<int32_t>(current, 0, std::max<int32_t>(0, static_cast<int32_t>(newSize) - 1));
}

}  // namespace

int32_t BitsOfImageType(int32_t imageType) noexcept {
  switch (imageType) {
    case APL_IMAGE_GRAY16: return 4;
    case APL_IMAGE_GRAY256: return 8;
    case APL_IMAGE_COLOR: return 24;
    default: return 1;  // black and white, and the main stream of the two-stream types
  }
}

PaperSize PaperSizeOf(int32_t paper) noexcept {
  switch (paper) {
    case APL_PAPER_LEGAL: return {2159, 3556};
    case APL_PAPER_A3: return {2970, 4200};
    case APL_PAPER_A4: return {2100, 2970};
    case APL_PAPER_A5: return {1480, 2100};
    case APL_PAPER_B5: return {1820, 2570};
    default: return {2159, 2794};
  }
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) noexcept {
  try {
    return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
               .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())), Qt::CaseInsensitive) == 0;
  } catch (...) {
    return a == b;
  }
}

std::string CutUtf8(std::string_view s, std::size_t maxBytes) {
  if (s.size() <= maxBytes) return std::string(s);
  std::size_t end = maxBytes;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return std::string(s.substr(0, end));
}

bool HasFileNameBreaker(std::string_view s) noexcept {
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return true;
    if (std::string_view("<>:\"|?*\\/").find(c) != std::string_view::npos) return true;
  }
  return false;
}

SettingStore SettingStore::Defaults() {
  SettingStore s;
  s.scans = {
      {"Letter", APL_IMAGE_BW, 200, APL_PAPER_LETTER, false},
      {"A4 300 dpi colour", APL_IMAGE_COLOR, 300, APL_PAPER_A4, false},
      {"B&W 200 dpi duplex", APL_IMAGE_BW, 200, APL_PAPER_A4, true},
      {"B&W + colour 300 dpi", APL_IMAGE_BW_COLOR, 300, APL_PAPER_A4, true},
  };
  s.userReadCond[0] = "Letter";
  s.userReadCond[1] = "A4 300 dpi colour";
  s.userReadCond[2] = "B&W 200 dpi duplex";
  s.jobs = {
      {"Single pages", "PAGE", 4, 1, ""},
      {"Invoices", "INV", 5, 0, "B&W 200 dpi duplex"},
  };
  return s;
}

int32_t SettingStore::FindScan(std::string_view name) const noexcept {
  if (name.empty()) return -1;
  for (std::size_t i = 0; i < scans.size(); ++i)
    if (EqualsIgnoringCase(scans[i].name, name)) return static_cast<int32_t>(i);
  return -1;
}

int32_t SettingStore::FindJob(std::string_view name) const noexcept {
  if (name.empty()) return -1;
  for (std::size_t i = 0; i < jobs.size(); ++i)
    if (EqualsIgnoringCase(jobs[i].name, name)) return static_cast<int32_t>(i);
  return -1;
}

namespace {
NameProblem CheckName(std::string_view name, int32_t found, int32_t except) {
  if (name.empty()) return NameProblem::kEmpty;
  if (name.size() > kMaxNameBytes) return NameProblem::kTooLong;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return NameProblem::kBadCharacter;
  }
  // Stored trimmed by the INI rules: blanks at either end would not survive.
  if (name.front() == ' ' || name.back() == ' ') return NameProblem::kBadCharacter;
  if (found >= 0 && found != except) return NameProblem::kDuplicate;
  return NameProblem::kNone;
}
}  // namespace

NameProblem SettingStore::CheckScanName(std::string_view name, int32_t except) const {
  return CheckName(name, FindScan(name), except);
}

NameProblem SettingStore::CheckJobName(std::string_view name, int32_t except) const {
  return CheckName(name, FindJob(name), except);
}

void SettingStore::RenameScan(int32_t index, const std::string& name) {
  if (index < 0 || index >= static_cast<int32_t>(scans.size())) return;
  const std::string old = scans[index].name;
  scans[index].name = name;
  for (JobSetting& j : jobs)
    if (EqualsIgnoringCase(j.readCond, old)) j.readCond = name;
  for (std::string& u : userReadCond)
    if (EqualsIgnoringCase(u, old)) u = name;
}

void SettingStore::RemoveScan(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(scans.size())) return;
  ClearReferences(*this, scans[index].name);
  scans.erase(scans.begin() + index);
  curScan = AfterRemoval(curScan, index, scans.size());
}

void SettingStore::RemoveJob(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(jobs.size())) return;
  jobs.erase(jobs.begin() + index);
  curJob = AfterRemoval(curJob, index, jobs.size());
}

int32_t SettingStore::OwnScanOfCurrentJob() const noexcept {
  if (curJob < 0 || curJob >= static_cast<int32_t>(jobs.size())) return -1;
  return FindScan(jobs[curJob].readCond);
}

int32_t SettingStore::ScanInForce(bool jobMode) const noexcept {
  if (jobMode) {
    const int32_t own = OwnScanOfCurrentJob();
    if (own >= 0) return own;
  }
  if (curScan < 0 || curScan >= static_cast<int32_t>(scans.size())) return -1;
  return curScan;
}

bool SaveScanSettings(const std::string& scanIni, const SettingStore& s, int* error) {
  ProfileText old = ReadProfileText(scanIni);
  if (old.error) {
    if (error) *error = old.error;
    return false;
  }
  std::string text = std::move(old.text);
  for (int n = 1; n <= APLIF_MAX_SETTINGS; ++n) text = platform::ini::WithoutSection(text, ScanSection(n));
  text = WithInt(text, kScanHead, "Count", static_cast<int64_t>(s.scans.size()));
  text = WithInt(text, kScanHead, "Current", s.curScan);
  text = WithInt(text, kScanHead, "Unit", s.unit);
  for (std::size_t i = 0; i < s.scans.size(); ++i) {
    const ScanSetting& v = s.scans[i];
    const std::string section = ScanSection(static_cast<int>(i) + 1);
    text = WithString(text, section, "Name", v.name);
    text = WithInt(text, section, "ImageType", v.imageType);
    text = WithInt(text, section, "Resolution", v.resolution);
    text = WithInt(text, section, "Paper", v.paper);
    text = WithInt(text, section, "Duplex", v.duplex ? 1 : 0);
  }
  for (int f = 1; f <= APLIF_USER_READ_CONDS; ++f) {
    const std::string& name = s.userReadCond[f - 1];
    text = name.empty() ? platform::ini::WithValue(text, kUserSection, FunctionKey(f), std::nullopt)
                        : WithString(text, kUserSection, FunctionKey(f), name);
  }
  return ReplaceProfileText(scanIni, text, error);
}

bool SaveJobSettings(const std::string& jobIni, const SettingStore& s, int* error) {
  ProfileText old = ReadProfileText(jobIni);
  if (old.error) {
    if (error) *error = old.error;
    return false;
  }
  std::string text = std::move(old.text);
  for (int n = 1; n <= APLIF_MAX_SETTINGS; ++n) text = platform::ini::WithoutSection(text, JobSection(n));
  text = WithInt(text, kJobHead, "Count", static_cast<int64_t>(s.jobs.size()));
  text = WithInt(text, kJobHead, "Current", s.curJob);
  for (std::size_t i = 0; i < s.jobs.size(); ++i) {
    const JobSetting& v = s.jobs[i];
    const std::string section = JobSection(static_cast<int>(i) + 1);
    text = WithString(text, section, "Name", v.name);
    text = WithString(text, section, "FilePrefix", v.filePrefix);
    text = WithInt(text, section, "Digits", v.digits);
    text = WithInt(text, section, "PagesPerFile", v.pagesPerFile);
    text = WithString(text, section, "ReadCond", v.readCond);
  }
  return ReplaceProfileText(jobIni, text, error);
}

int LoadSettings(const std::string& scanIni, const std::string& jobIni, SettingStore& store) {
  store = SettingStore();
  const SettingStore defaults = SettingStore::Defaults();
  int result = 0;

  ProfileText scanText = ReadProfileText(scanIni);
  if (!scanText.error) ReadScanPart(scanText.text, store);
  bool scanDefaults = store.scans.empty();
  if (scanDefaults) {
    store.scans = defaults.scans;
    store.curScan = defaults.curScan;
    store.unit = defaults.unit;
    store.userReadCond = defaults.userReadCond;
  }

  ProfileText jobText = ReadProfileText(jobIni);
  if (!jobText.error) ReadJobPart(jobText.text, store);
  bool jobDefaults = store.jobs.empty();
  if (jobDefaults) {
    store.jobs = defaults.jobs;
    store.curJob = defaults.curJob;
  }

  int error = 0;
  if (scanDefaults) {
    if (scanText.error)
      result = scanText.error;
    else if (!SaveScanSettings(scanIni, store, &error))
      result = error;
  }
  if (jobDefaults) {
    if (jobText.error) {
      if (!result) result = jobText.error;
    } else if (!SaveJobSettings(jobIni, store, &error) && !result) {
      result = error;
    }
  }
  return result;
}

}  // namespace aplif
