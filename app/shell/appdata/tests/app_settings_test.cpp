// AppData.ini: defaults, the corrections applied on reading, the keys read
// with the current value as default, the shutdown write order and format,
// the locale-proof widths, and hostile files.
#include "shell/app_settings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "appdata_fixture.h"
#include "platform/ini.h"
#include "shell/work_folder.h"
#include "testsupport/temp_env.h"

namespace {

using shell::AppSettings;

// Puts the process back on the "C" locale however the test ends.
struct CLocaleAtExit {
  ~CLocaleAtExit() { std::setlocale(LC_ALL, "C"); }
};

class AppSettingsTest : public appdata_test::StartupFixture {
 protected:
  std::string Ini() const { return shell::AppDataIniPath(); }
  void Write(const std::string& text) const { testsupport::WriteFile(Ini(), text); }
  std::string Text() const { return testsupport::ReadFile(Ini()); }
  AppSettings Read() const { return shell::ReadAppSettings(Ini(), shell::DefaultAppSettings(0x0407), 0x0407); }
  // A working folder that is not the default one.
  std::string Work() const { return Folder("fixed"); }
};

TEST_F(AppSettingsTest, IniPathsLieInTheProgramFolder) {
  EXPECT_EQ(shell::AppDataIniPath(), program_ + "AppData.ini");
  EXPECT_EQ(shell::ScanSetIniPath(), program_ + "ScanSet.ini");
  EXPECT_EQ(shell::JobSetIniPath(), program_ + "JobSet.ini");
}

TEST_F(AppSettingsTest, MissingFileGivesTheTableDefaults) {
  AppSettings s = Read();
  struct Row {
    const char* key;
    int32_t actual, expected;
  } rows[] = {
      {"job", s.jobMode, 0},
      {"OpenFileExt", s.openFileExt, 0},
      {"ScanFileExt", s.scanFileExt, 0},
      {"SaveAsFileExt", s.saveAsFileExt, 0},
      {"left", s.window.left, 0},
      {"bottom", s.window.bottom, 0},
      {"ViewSep", s.viewSep, 0},
      {"ViewOrder", s.viewOrder, 1},
      {"ZoomStep", s.zoomStep, 10},
      {"DispGrayScale", s.dispGrayScale, 1},
      {"SupportContinueforJobScan", s.supportContinueforJobScan, 1},
      {"CompTiff1BitBW", s.compTiff1BitBW, 2},
      {"CompTiff4BitGR", s.compTiff4BitGR, 0},
      {"CompTiff8BitGR", s.compTiff8BitGR, 0},
      {"CompTiff24BitCLR", s.compTiff24BitCLR, 3},
      {"CompJpeg-Q", s.compJpegQ, 75},
      {"CompDiskSpace", s.compDiskSpace, 1},
      {"BinFileType", s.binFileType, 0},
      {"Gr4FileType", s.gr4FileType, 0},
      {"Gr8FileType", s.gr8FileType, 0},
      {"CRFileType", s.crFileType, 2},
      {"OverWriteCheck", s.scanSave.overWriteCheck, 1},
      {"FilePageMode", s.scanSave.filePageMode, 0},
      {"InitialNumber", s.scanSave.initialNumber, 1},
      {"Digit", s.scanSave.digit, 3},
      {"Unit", s.unit, 0},
  };
  for (const Row& r : rows) EXPECT_EQ(r.actual, r.expected) << r.key;
  for (double w : {s.borderRemovalLeft, s.borderRemovalRight, s.borderRemovalTop, s.borderRemovalBottom,
                   s.removeShadowLeft, s.removeShadowRight, s.removeShadowTop, s.removeShadowBottom})
    EXPECT_EQ(w, 3.0);
  EXPECT_TRUE(s.window.IsMaximized());
  EXPECT_TRUE(s.scannerName.empty() && s.openFilePath.empty() && s.imageTempPath.empty() && s.jobFilePath.empty());
  for (const std::string& t : s.dispWarning) EXPECT_TRUE(t.empty());
  for (const std::string& f : s.recentFiles) EXPECT_TRUE(f.empty());
  EXPECT_TRUE(shell::DisplayHalftoneOn(s));
}

TEST_F(AppSettingsTest, UnitDefaultsToInchesOnlyForUsAndCanadianEnglish) {
  struct Case {
    uint16_t langId;
    int32_t unit;
  } cases[] = {{0x0409, 1}, {0x1009, 1}, {0x0809, 0}, {0x0C09, 0}, {0x0407, 0}, {0x0411, 0}, {0x0C0C, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(shell::ReadAppSettings(Ini(), AppSettings{}, c.langId).unit, c.unit) << std::hex << c.langId;
  }
  Write("[Customize-Image]\nUnit=0\n");
  EXPECT_EQ(shell::ReadAppSettings(Ini(), AppSettings{}, 0x0409).unit, 0);
}

// One key's text and what the member reads as.
struct ReadCase {
  const char* section;
  const char* key;
  const char* text;  // nullptr: key missing
  std::function<double(const AppSettings&)> member;
  double expected;
};

TEST_F(AppSettingsTest, ReadingCorrectsFlagsQualityAndWidths) {
  auto jpeg = [](const AppSettings& s) { return double(s.compJpegQ); };
  auto job = [](const AppSettings& s) { return double(s.jobMode); };
  auto gray = [](const AppSettings& s) { return double(s.dispGrayScale); };
  auto cont = [](const AppSettings& s) { return double(s.supportContinueforJobScan); };
  auto left = [](const AppSettings& s) { return s.borderRemovalLeft; };
  auto shadowBottom = [](const AppSettings& s) { return s.removeShadowBottom; };
  const ReadCase cases[] = {
      {"Option", "CompJpeg-Q", "0", jpeg, 75},
      {"Option", "CompJpeg-Q", "101", jpeg, 75},
      {"Option", "CompJpeg-Q", "100", jpeg, 100},
      {"Option", "CompJpeg-Q", "1", jpeg, 1},
      {"Option", "CompJpeg-Q", "-20", jpeg, 75},
      {"Option", "CompJpeg-Q", "", jpeg, 75},
      {"Option", "CompJpeg-Q", "50abc", jpeg, 50},
      {"Scanner", "job", "-1", job, 1},
      {"Scanner", "job", "0", job, 0},
      {"Scanner", "job", "7", job, 1},
      {"Option", "DispGrayScale", "1", gray, 1},
      {"Option", "DispGrayScale", "2", gray, 0},
      {"Option", "DispGrayScale", "0", gray, 0},
      {"Option", "SupportContinueforJobScan", "-1", cont, 0},
      {"Option", "SupportContinueforJobScan", "1", cont, 1},
      {"Customize-Image", "BorderRemoval-Left", nullptr, left, 3.0},
      {"Customize-Image", "BorderRemoval-Left", "", left, 3.0},
      {"Customize-Image", "BorderRemoval-Left", "2.5mm", left, 2.5},
      {"Customize-Image", "BorderRemoval-Left", " -1.25", left, -1.25},
      {"Customize-Image", "BorderRemoval-Left", "abc", left, 0.0},
      {"Customize-Image", "BorderRemoval-Left", "2,5", left, 2.0},
      {"Customize-Image", "BorderRemoval-Left", ".5", left, 0.5},
      {"Customize-Image", "BorderRemoval-Left", "1.5e1x", left, 15.0},
      {"Customize-Image", "BorderRemoval-Left", "1e999", left, 3.0},
      {"Customize-Image", "BorderRemoval-Left", "inf", left, 0.0},
      {"Customize-Image", "BorderRemoval-Left", "nan", left, 0.0},
      {"Customize-Image", "BorderRemoval-Left", "0x10", left, 0.0},
      {"Customize-Image", "RemoveShadow-Bottom", "12.75", shadowBottom, 12.75},
  };
  for (const ReadCase& c : cases) {
    std::string text = std::string("[") + c.section + "]\n";
    if (c.text) text += std::string(c.key) + "=" + c.text + "\n";
    Write(text);
    EXPECT_EQ(c.member(Read()), c.expected) << c.key << "=" << (c.text ? c.text : "(missing)");
  }
}

TEST_F(AppSettingsTest, TypeKeysDefaultToTheCurrentValue) {
  AppSettings current = shell::DefaultAppSettings(0x0407);
  current.compTiff1BitBW = 4;
  current.compTiff4BitGR = 5;
  current.compTiff8BitGR = 6;
  current.compTiff24BitCLR = 7;
  current.binFileType = 1;
  current.gr4FileType = 2;
  current.gr8FileType = 3;
  current.crFileType = 1;
  current.openFileExt = 2;
  current.scanFileExt = 3;
  current.saveAsFileExt = 1;
  current.zoomStep = 15;     // not one of them: its own default
  current.compJpegQ = 50;    // neither
  current.viewOrder = 0;     // neither
  Write("[Option]\nCompTiff4BitGR=9\n");
  AppSettings s = shell::ReadAppSettings(Ini(), current, 0x0407);
  EXPECT_EQ(s.compTiff1BitBW, 4);
  EXPECT_EQ(s.compTiff4BitGR, 9);  // present: the file wins
  EXPECT_EQ(s.compTiff8BitGR, 6);
  EXPECT_EQ(s.compTiff24BitCLR, 7);
  EXPECT_EQ(s.binFileType, 1);
  EXPECT_EQ(s.gr4FileType, 2);
  EXPECT_EQ(s.gr8FileType, 3);
  EXPECT_EQ(s.crFileType, 1);
  EXPECT_EQ(s.openFileExt, 2);
  EXPECT_EQ(s.scanFileExt, 3);
  EXPECT_EQ(s.saveAsFileExt, 1);
  EXPECT_EQ(s.zoomStep, 10);
  EXPECT_EQ(s.compJpegQ, 75);
  EXPECT_EQ(s.viewOrder, 1);
}

TEST_F(AppSettingsTest, ReadsEverySectionOfAFullFile) {
  Write("[Scanner]\nName=Norvik DS-40\njob=1\n"
        "[File]\nOpenFilePath=/data/in/\nOpenFileExt=3\nScanFilePath=/data/scan/\nScanFileExt=2\n"
        "SaveAsFilePath=/data/out/\nSaveAsFileExt=1\nImageTempPath=/data/work/\n"
        "[Job]\nJobFilePath=/data/job/\n"
        "[Window]\nleft=10\ntop=20\nright=810\nbottom=620\nViewSep=5\nViewOrder=0\n"
        "[Option]\nZoomStep=20\n"
        "[SimpleScan]\nOverWriteCheck=0\nFilePageMode=1\nInitialNumber=42\nDigit=5\n"
        "[DispWarning]\nCleanRoller=a\nBkCleanPlate=f\n"
        "[Special]\nDisplayHalftone=OFF\n"
        "[Recent File List]\nFile1=/a.tif\nFile3=/c.tif\n");
  AppSettings s = Read();
  EXPECT_EQ(s.scannerName, "Norvik DS-40");
  EXPECT_TRUE(s.jobMode);
  EXPECT_EQ(s.openFilePath, "/data/in/");
  EXPECT_EQ(s.openFileExt, 3);
  EXPECT_EQ(s.scanFilePath, "/data/scan/");
  EXPECT_EQ(s.saveAsFilePath, "/data/out/");
  EXPECT_EQ(s.imageTempPath, "/data/work/");
  EXPECT_EQ(s.jobFilePath, "/data/job/");
  EXPECT_EQ(s.window, (shell::WindowRect{10, 20, 810, 620}));
  EXPECT_FALSE(s.window.IsMaximized());
  EXPECT_EQ(s.viewSep, 5);
  EXPECT_EQ(s.viewOrder, 0);
  EXPECT_EQ(s.zoomStep, 20);
  EXPECT_EQ(s.scanSave, (shell::ScanSaveOptions{0, 1, 42, 5}));
  EXPECT_EQ(s.dispWarning, (shell::MaintenanceWarnings{"a", "", "", "", "", "f"}));
  EXPECT_FALSE(shell::DisplayHalftoneOn(s));
  EXPECT_EQ(s.recentFiles, (shell::RecentFiles{"/a.tif", "", "/c.tif", ""}));
}

TEST_F(AppSettingsTest, HalftoneIsOffOnlyForOFF) {
  struct Case {
    const char* value;
    bool on;
  } cases[] = {{"OFF", false}, {"ON", true}, {"", true}, {"0", true}};
  for (const Case& c : cases) {
    AppSettings s;
    s.displayHalftone = c.value;
    EXPECT_EQ(shell::DisplayHalftoneOn(s), c.on) << c.value;
  }
}

TEST_F(AppSettingsTest, WritesInShutdownOrder) {
  AppSettings s = shell::DefaultAppSettings(0x0407);
  std::vector<std::string> keys;
  for (const shell::IniEntry& e : shell::AppSettingsWrites(s, Work())) keys.push_back(e.section + "/" + e.key);
  const std::vector<std::string> expected = {
      "Scanner/Name", "File/OpenFilePath", "File/OpenFileExt", "File/ScanFilePath", "File/ScanFileExt",
      "File/SaveAsFilePath", "File/SaveAsFileExt", "Job/JobFilePath", "Scanner/job", "Window/left",
      "Window/top", "Window/right", "Window/bottom", "Window/ViewSep", "Window/ViewOrder", "Option/ZoomStep",
      "Option/DispGrayScale", "Option/SupportContinueforJobScan", "Option/CompTiff1BitBW",
      "Option/CompTiff4BitGR", "Option/CompTiff8BitGR", "Option/CompTiff24BitCLR", "Option/CompJpeg-Q",
      "Option/CompDiskSpace", "File/ImageTempPath", "SimpleScan/BinFileType", "SimpleScan/Gr4FileType",
      "SimpleScan/Gr8FileType", "SimpleScan/CRFileType", "Customize-Image/Unit",
      "Customize-Image/BorderRemoval-Left", "Customize-Image/BorderRemoval-Right",
      "Customize-Image/BorderRemoval-Top", "Customize-Image/BorderRemoval-Bottom",
      "Customize-Image/RemoveShadow-Left", "Customize-Image/RemoveShadow-Right",
      "Customize-Image/RemoveShadow-Top", "Customize-Image/RemoveShadow-Bottom"};
  EXPECT_EQ(keys, expected);
}

TEST_F(AppSettingsTest, WrittenFileReadsBackAsText) {
  AppSettings s = shell::DefaultAppSettings(0x0407);
  s.scannerName = "Norvik DS-40";
  s.openFilePath = "/data/in/";
  s.jobMode = true;
  s.window = {10, 20, 810, 620};
  s.viewSep = 3;
  s.dispGrayScale = false;
  s.compJpegQ = 100;
  s.borderRemovalRight = 1.005;
  s.removeShadowTop = 12.5;
  ASSERT_TRUE(shell::WriteAppSettings(Ini(), s, Work()));
  // Sections appear in the order of their first write, keys in write order.
  EXPECT_EQ(Text(),
            "[Scanner]\nName=Norvik DS-40\njob=1\n\n"
            "[File]\nOpenFilePath=/data/in/\nOpenFileExt=0\nScanFilePath=\nScanFileExt=0\nSaveAsFilePath=\n"
            "SaveAsFileExt=0\nImageTempPath=" + Work() + "\n\n"
            "[Job]\nJobFilePath=\n\n"
            "[Window]\nleft=10\ntop=20\nright=810\nbottom=620\nViewSep=3\nViewOrder=1\n\n"
            "[Option]\nZoomStep=10\nDispGrayScale=0\nSupportContinueforJobScan=1\nCompTiff1BitBW=2\n"
            "CompTiff4BitGR=0\nCompTiff8BitGR=0\nCompTiff24BitCLR=3\nCompJpeg-Q=100\nCompDiskSpace=1\n\n"
            "[SimpleScan]\nBinFileType=0\nGr4FileType=0\nGr8FileType=0\nCRFileType=2\n\n"
            "[Customize-Image]\nUnit=0\nBorderRemoval-Left=3.00\nBorderRemoval-Right=1.00\n"
            "BorderRemoval-Top=3.00\nBorderRemoval-Bottom=3.00\nRemoveShadow-Left=3.00\nRemoveShadow-Right=3.00\n"
            "RemoveShadow-Top=12.50\nRemoveShadow-Bottom=3.00\n");
  AppSettings back = Read();
  EXPECT_EQ(back.window, s.window);
  EXPECT_EQ(back.removeShadowTop, 12.5);
  EXPECT_EQ(back.imageTempPath, Work());
}

TEST_F(AppSettingsTest, RoundTripsTheEdgeValues) {
  Write("[Scanner]\njob=-1\n[Window]\nleft=5\ntop=5\nright=500\nbottom=400\n[Option]\nCompJpeg-Q=100\n");
  AppSettings s = Read();
  // The frame closes maximized: its placement is stored as all zeros.
  s.window = shell::PlacementToStore(s.window, {0, 0, 1920, 1080}, false, true);
  ASSERT_TRUE(shell::WriteAppSettings(Ini(), s, Work()));
  namespace ini = platform::ini;
  EXPECT_EQ(ini::ReadString(Ini(), "Scanner", "job", "?"), "1");
  for (const char* k : {"left", "top", "right", "bottom"}) EXPECT_EQ(ini::ReadString(Ini(), "Window", k, "?"), "0") << k;
  EXPECT_EQ(ini::ReadString(Ini(), "Option", "CompJpeg-Q", "?"), "100");
  EXPECT_EQ(ini::ReadString(Ini(), "Customize-Image", "BorderRemoval-Left", "?"), "3.00");
  EXPECT_TRUE(Read().window.IsMaximized());
}

TEST_F(AppSettingsTest, PlacementFollowsTheWindowState) {
  const shell::WindowRect stored{1, 2, 3, 4}, frame{10, 20, 300, 400};
  EXPECT_EQ(shell::PlacementToStore(stored, frame, true, false), stored);
  EXPECT_EQ(shell::PlacementToStore(stored, frame, true, true), stored);
  EXPECT_EQ(shell::PlacementToStore(stored, frame, false, true), shell::WindowRect{});
  EXPECT_EQ(shell::PlacementToStore(stored, frame, false, false), frame);
}

TEST_F(AppSettingsTest, WidthsKeepTheDotUnderAGermanLocale) {
  CLocaleAtExit restore;
  testsupport::ScopedEnv lcAll("LC_ALL", "de_DE.UTF-8");
  // Machines without the locale installed may still have its sources: build
  // it into the test's folder.
  const std::string localeDir = base_ + "locale";
  testsupport::ScopedEnv locPath("LOCPATH", std::nullopt);
  if (!std::setlocale(LC_ALL, "")) {
    std::filesystem::create_directories(localeDir);
    std::string build = "localedef -i de_DE -f UTF-8 '" + localeDir + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(build.c_str()) == 0) setenv("LOCPATH", localeDir.c_str(), 1);
  }
  if (!std::setlocale(LC_ALL, "")) GTEST_SKIP() << "no de_DE.UTF-8 locale on this machine";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  AppSettings s = shell::DefaultAppSettings(0x0407);
  s.borderRemovalTop = 2.5;
  ASSERT_TRUE(shell::WriteAppSettings(Ini(), s, Work()));
  EXPECT_EQ(platform::ini::ReadString(Ini(), "Customize-Image", "BorderRemoval-Top", "?"), "2.50");
  EXPECT_EQ(platform::ini::ReadString(Ini(), "Customize-Image", "BorderRemoval-Left", "?"), "3.00");
  EXPECT_EQ(Read().borderRemovalTop, 2.5);
  // Both directions leave the user's locale in force.
  EXPECT_STREQ(std::localeconv()->decimal_point, ",");
}

TEST_F(AppSettingsTest, WidthFunctionsLeaveTheUserDefaultLocale) {
  CLocaleAtExit restore;
  std::setlocale(LC_ALL, "C");
  testsupport::ScopedEnv lcAll("LC_ALL", "C.UTF-8");
  EXPECT_EQ(shell::FormatWidth(3.0), "3.00");
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C.UTF-8");
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(shell::ReadWidth(Ini(), "BorderRemoval-Left"), 3.0);
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C.UTF-8");
}

TEST_F(AppSettingsTest, ImageTempPathIsEmptyForTheDefaultFolderAndAbsentWithoutATempFolder) {
  std::string def = shell::DefaultWorkFolder();
  ASSERT_FALSE(def.empty());
  std::string upper = def;
  for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
  for (const std::string& work : {def, upper}) {
    ASSERT_TRUE(shell::WriteAppSettings(Ini(), AppSettings{}, work));
    EXPECT_EQ(platform::ini::ReadString(Ini(), "File", "ImageTempPath", "?"), "") << work;
  }

  // A temporary folder that does not fit its buffer cannot be reported.
  std::string deep = base_;
  while (deep.size() <= shell::kTempFolderBufferSize) deep += std::string(60, 'd') + "/";
  std::filesystem::create_directories(deep);
  testsupport::ScopedEnv tmp("TMPDIR", deep);
  testsupport::WriteFile(Ini(), "[File]\nImageTempPath=/kept/\n");
  ASSERT_TRUE(shell::WriteAppSettings(Ini(), AppSettings{}, Work()));
  EXPECT_EQ(platform::ini::ReadString(Ini(), "File", "ImageTempPath", "?"), "/kept/");
  for (const shell::IniEntry& e : shell::AppSettingsWrites(AppSettings{}, Work())) EXPECT_NE(e.key, "ImageTempPath");
}

TEST_F(AppSettingsTest, DialogOwnedSectionsKeepTheirRules) {
  Write("[DispWarning]\nCleanRoller=old\nReplaceRoller=old2\n"
        "[Recent File List]\nFile2=/x.tif\nFile4=/y.tif\n");
  // Empty maintenance texts are not written back.
  ASSERT_TRUE(shell::WriteMaintenanceWarnings(Ini(), {"", "new", "", "", "", "plate"}));
  EXPECT_EQ(shell::ReadMaintenanceWarnings(Ini()), (shell::MaintenanceWarnings{"old", "new", "", "", "", "plate"}));
  // The recent list replaces its section.
  ASSERT_TRUE(shell::WriteRecentFileList(Ini(), {"/a.tif", "", "/c.tif", ""}));
  EXPECT_EQ(shell::ReadRecentFileList(Ini()), (shell::RecentFiles{"/a.tif", "", "/c.tif", ""}));
  EXPECT_EQ(Text().find("/x.tif"), std::string::npos);
  ASSERT_TRUE(shell::WriteScanSaveOptions(Ini(), {0, 1, 9999999, 7}));
  EXPECT_EQ(shell::ReadScanSaveOptions(Ini()), (shell::ScanSaveOptions{0, 1, 9999999, 7}));
}

TEST_F(AppSettingsTest, HostileFileGivesDefaultsAndClampsWithoutCrashing) {
  const std::string longValue(100000, 'p');
  Write("garbage line without equals\n]\n[\n"
        "[Option]\nCompJpeg-Q=99999999999999999999999\nZoomStep=twenty\nCompDiskSpace=-2147483649\n"
        "[File]\nOpenFilePath=" + longValue + "\nImageTempPath=" + longValue + "\n"
        "[Window]\nleft=99999999999\nViewSep=\x01\x02\xff\n"
        "[Customize-Image]\nBorderRemoval-Left=1e400\nBorderRemoval-Right=-1e400\nRemoveShadow-Top=" +
        std::string(5000, '9') + "\nUnit=\"1\"\n"
        "[Scanner]\n=nokey\njob\nName=\"unbalanced\n");
  AppSettings s = Read();
  EXPECT_GE(s.compJpegQ, 1);
  EXPECT_LE(s.compJpegQ, 100);
  EXPECT_EQ(s.zoomStep, 0);  // no digits
  EXPECT_EQ(s.openFilePath.size(), shell::kFolderBufferSize - 1);
  EXPECT_EQ(s.imageTempPath.size(), shell::kProfileStringSize - 1);
  EXPECT_EQ(s.viewSep, 0);
  EXPECT_EQ(s.borderRemovalLeft, 3.0);
  EXPECT_EQ(s.borderRemovalRight, 3.0);
  EXPECT_EQ(s.removeShadowTop, 3.0);
  EXPECT_EQ(s.unit, 1);
  EXPECT_FALSE(s.jobMode);
  EXPECT_EQ(s.scannerName, "\"unbalanced");
  EXPECT_EQ(s.compTiff1BitBW, 2);  // sections that are missing give defaults
  EXPECT_EQ(s.crFileType, 2);
  // What was read can be written and read again.
  ASSERT_TRUE(shell::WriteAppSettings(Ini(), s, Work()));
  EXPECT_EQ(Read().openFilePath, s.openFilePath);
}

TEST_F(AppSettingsTest, RandomBytesNeverBreakTheInvariants) {
  std::mt19937 rng(20260101);
  const std::string alphabet = "[]=\n\r\t -+.e0123456789OptionCompJpeg-QCustomize-ImageBorderRemoval-LeftFile\"'";
  for (int round = 0; round < 200; ++round) {
    std::string text = "[Option]\nCompJpeg-Q=";
    std::size_t n = rng() % 400;
    for (std::size_t i = 0; i < n; ++i)
      text += (rng() % 4 == 0) ? char(rng() % 256) : alphabet[rng() % alphabet.size()];
    Write(text);
    AppSettings s = Read();
    ASSERT_GE(s.compJpegQ, 1) << round;
    ASSERT_LE(s.compJpegQ, 100) << round;
    for (double w : {s.borderRemovalLeft, s.removeShadowBottom}) ASSERT_TRUE(std::isfinite(w)) << round;
    ASSERT_LT(s.openFilePath.size(), shell::kFolderBufferSize) << round;
  }
}

}  // namespace
