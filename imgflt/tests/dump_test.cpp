// The tuning file "HuxImgFlt.ini" read at the moment of use, and the
// parameter dump it switches on: file names and numbering, header and field
// lines, enumerator names.
#include <gtest/gtest.h>

#include <testsupport/temp_env.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "fixtures.h"
#include "tuning/param_dump.h"
#include "tuning/tuning_ini.h"

namespace imgflt::test {
namespace {

namespace fs = std::filesystem;

// A Windows folder of its own for each test, holding the tuning file.
class TuningFile {
 public:
  TuningFile() : env_("VISTEL_WINDOWS_DIR", windows_.Path()) {}
  void Write(const std::string& text) { testsupport::WriteFile(windows_.File("HuxImgFlt.ini"), text); }
  void DumpInto(const std::string& folder) { Write("[ImgFlt]\noutputDir=" + folder + "\n"); }

 private:
  testsupport::TempDir windows_;
  testsupport::ScopedEnv env_;
};

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

bool Contains(const std::string& text, const std::string& line) { return text.find(line) != std::string::npos; }

TEST(TuningIni, SwitchesAreReadWhenUsed) {
  TuningFile ini;
  EXPECT_FALSE(tuning::AllSideDetect()) << "no file: default";
  EXPECT_FALSE(tuning::CropRemovesSpecks());
  EXPECT_EQ(tuning::DumpFolder(), "");
  ini.Write("[deskew]\nALLSIDEDETECT = 1\n[Crop]\nnRmvKind=\"1\"\n[ImgFlt]\noutputDir=/some/where\n");
  EXPECT_TRUE(tuning::AllSideDetect());
  EXPECT_TRUE(tuning::CropRemovesSpecks());
  EXPECT_EQ(tuning::DumpFolder(), "/some/where");
  ini.Write("[Deskew]\nallSideDetect=2\n[Crop]\nnRmvKind=0\n");
  EXPECT_FALSE(tuning::AllSideDetect()) << "only 1 switches it on";
  EXPECT_FALSE(tuning::CropRemovesSpecks());
  EXPECT_EQ(tuning::DumpFolder(), "");
}

TEST(ParamDump, FileStemHasTheDateAndNumberPattern) {
  std::tm t{};
  t.tm_mday = 5;
  t.tm_mon = 2;
  t.tm_year = 126;
  t.tm_hour = 7;
  t.tm_min = 8;
  t.tm_sec = 9;
  EXPECT_EQ(dump::FileStem("QelExecute", t, 42), "QelExecute05-03-2026 07_08_09[00042]");
  EXPECT_EQ(dump::FileStem("QelMulti", t, 9999), "QelMulti05-03-2026 07_08_09[09999]");
}

TEST(ParamDump, NoFolderNoFile) {
  TuningFile ini;
  testsupport::TempDir out;
  ini.Write("[ImgFlt]\noutputDir=\n");
  TestImage t = MakeImage(10, 10, 8);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  ASSERT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 0);
  EXPECT_TRUE(FilesIn(out.Path()).empty());
}

TEST(ParamDump, CallsAreNumberedWithinTheSameSecond) {
  TuningFile ini;
  testsupport::TempDir out;
  std::string folder = out.Path();
  folder.pop_back();  // the separator is added when missing
  ini.DumpInto(folder);
  TestImage t = MakeImage(10, 10, 8);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  for (int i = 0; i < 3; ++i) ASSERT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 0);

  const std::regex name(R"(QelExecute(\d\d-\d\d-\d{4} \d\d_\d\d_\d\d)\[(\d{5})\]\((Start|End)\)\.csv)");
  std::map<std::string, std::vector<int>> startsBySecond;
  int ends = 0;
  for (const std::string& file : FilesIn(out.Path())) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(file, m, name)) << file;
    if (m[3] == "Start") startsBySecond[m[1]].push_back(std::stoi(m[2]));
    else ++ends;
    if (m[3] == "Start") {
      std::string end = file.substr(0, file.size() - std::string("(Start).csv").size()) + "(End).csv";
      EXPECT_TRUE(fs::exists(out.File(end))) << end;
    }
  }
  EXPECT_EQ(ends, 3);
  for (auto& [second, numbers] : startsBySecond) {
    std::sort(numbers.begin(), numbers.end());
    for (size_t i = 0; i < numbers.size(); ++i) EXPECT_EQ(numbers[i], static_cast<int>(i)) << second;
  }
}

TEST(ParamDump, FailedCallLeavesOnlyTheStartFile) {
  TuningFile ini;
  testsupport::TempDir out;
  ini.DumpInto(out.Path());
  TestImage t = MakeImage(10, 10, 4);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  prm.binaryMode = IMG_FLT_HALFTONE;
  ASSERT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), IMG_FLT_ERR_HALFTONE);
  auto files = FilesIn(out.Path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_NE(files[0].find("(Start).csv"), std::string::npos);
}

TEST(ParamDump, TheFolderIsReadAtEveryCall) {
  TuningFile ini;
  testsupport::TempDir first, second;
  TestImage t = MakeImage(10, 10, 8);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  ini.DumpInto(first.Path());
  ASSERT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 0);
  ini.DumpInto(second.Path());
  ASSERT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 0);
  EXPECT_EQ(FilesIn(first.Path()).size(), 2u);
  EXPECT_EQ(FilesIn(second.Path()).size(), 2u);
}

TEST(ParamDump, StartAndEndListTheRecordsFieldByField) {
  TuningFile ini;
  testsupport::TempDir out;
  ini.DumpInto(out.Path());
  TestImage t = MakeImage(10, 4, 8);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  prm.rotAngle = 9000;
  prm.scannerID = SCANNER_MODEL_9_ALT;
  prm.bright = 0;
  prm.threshold = 140;
  prm.halftoneKind = 9;  // not read by this run, but dumped as it is
  ASSERT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 0);
  std::string start, end;
  for (const std::string& f : FilesIn(out.Path()))
    (f.find("(Start)") != std::string::npos ? start : end) = testsupport::ReadFile(out.File(f));

  for (const char* line : {
           "<<< HUX_IMG_INF [0] (画像関連情報) >>>\n",
           "\tdwWidth[IN/OUT], 10 \n",
           "\tdwHeight[IN/OUT], 4 \n",
           "\tbitsPixel[IN/OUT], IMG_FLT_BITSPIXEL8 \n",
           "\tdataDIB[IN], IMG_FLT_OFF \n",
           "\torderRGB[IN], IMG_FLT_COLOR_BGR \n",
           "\tinLineAlign[IN], IMG_FLT_MEM_BNDRY32 \n",
           "\toutBuffKind[OUT], IMG_FLT_MEMAREA_ORGN \n",
           "\thOutBuff[OUT](有効時のみ), 0x0 \n",
           "\timgDpiX[IN], 200 \n",
           "<<< HUX_IMG_FILTER_PARAM [0] (画像編集パラメータ) >>>\n",
           "\tverNo[IN], 9 \n",
           "\tdeskew[IN], IMG_FLT_OFF \n",
           "\tdeskewAngle[IN/OUT], 0.000000 \n",
           "\trotAngle(0～35999)[IN], 9000 \n",
           "\tgamma_r[IN], \n\t  0,  1,  2,  3,  4,  5,  6,  7,\n\t  8,  9, 10, 11, 12, 13, 14, 15,\n",
           "\tbinaryMode[IN], IMG_FLT_BINARY_OFF \n",
           "\tbright[IN], nothing \n",
           "\tthreshold[IN], 140 \n",
           "\tcontrast[IN], nothing \n",
           "\thalftoneKind, ???? halftoneKind error ????, 9 \n",
           "$$$$ subArea1[IN] $$$$\n\tenable[IN], IMG_FLT_OFF \n",
           "$$$$ subArea3[IN] $$$$\n",
           "\tsaturation[IN], nothing \n",
           "\tscannerID[IN], SCANNER_MODEL_9 \n",
           "\tcolortoGray[IN], IMG_FLT_OFF \n",
           "\t,\t++++ SuperImpose ++++ [IN] \n\tstring[IN], NULL \n",
           "\tpDthPrmTbl[IN], NULL \n",
           "\tdetectedAngle[OUT], 65535 \n",
       })
    EXPECT_TRUE(Contains(start, line)) << line;
  EXPECT_LT(start.find("<<< HUX_IMG_INF"), start.find("<<< HUX_IMG_FILTER_PARAM"));
  EXPECT_EQ(start.find("CIM_INFO"), std::string::npos);
  // The end file shows the result: turned, in a new block.
  EXPECT_TRUE(Contains(end, "\tdwWidth[IN/OUT], 4 \n"));
  EXPECT_TRUE(Contains(end, "\toutBuffKind[OUT], IMG_FLT_MEMAREA_NEW \n"));
  EXPECT_FALSE(Contains(end, "\thOutBuff[OUT](有効時のみ), 0x0 \n"));
  GlobalFree(t.inf.hOutBuff);
}

TEST(ParamDump, MultiListsItsRecordsWithTheirLimits) {
  TestImage t = MakeImage(6, 6, 24);
  HUX_IMG_FILTER_PARAM prm[5];
  const HUX_IMG_FILTER_PARAM* prms[5];
  CIM_INFO cims[4]{};
  const CIM_INFO* cimPtrs[4];
  for (int i = 0; i < 5; ++i) {
    prm[i] = NothingRecord(static_cast<uint16_t>(i + 3));
    prms[i] = &prm[i];
  }
  DTH_PARAM dth[5] = {{80, 0, 45}, {1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
  prm[1].pDthPrmTbl = dth;
  prm[1].contrast = -5;
  prm[1].superImpose.string = "Seite";
  prm[1].superImpose.fontName = "Sans";
  prms[2] = nullptr;
  const uint8_t kinds[4] = {COLOR_EXTRACT, COLOR_NONE, 3, COLOR_JUDGE};
  for (int i = 0; i < 4; ++i) {
    cims[i].mngKind = kinds[i];
    cimPtrs[i] = &cims[i];
  }
  const HUX_IMG_INF* images[] = {&t.inf};
  std::string text = dump::Format({images, prms, cimPtrs});
  EXPECT_TRUE(Contains(text, "<<< HUX_IMG_FILTER_PARAM [0] (画像編集パラメータ) >>>\n\tverNo[IN], 3 \n"));
  EXPECT_TRUE(Contains(text, "<<< HUX_IMG_FILTER_PARAM [1] (画像編集パラメータ) >>>\n\tverNo[IN], 4 \n"));
  EXPECT_FALSE(Contains(text, "HUX_IMG_FILTER_PARAM [2]")) << "a null record is skipped";
  EXPECT_TRUE(Contains(text, "<<< HUX_IMG_FILTER_PARAM [3] (画像編集パラメータ) >>>\n\tverNo[IN], 6 \n"));
  EXPECT_FALSE(Contains(text, "HUX_IMG_FILTER_PARAM [4]")) << "at most four";
  EXPECT_TRUE(Contains(text, "\tpDthPrmTbl(clamp, m, n)[IN], 80, 0, 45 \n\tpDthPrmTbl(clamp, m, n)[IN], 1, 2, 3 \n"));
  EXPECT_TRUE(Contains(text, "\tstring[IN], Seite \n"));
  EXPECT_TRUE(Contains(text, "\tcontrast[IN], -5 \n"));
  EXPECT_TRUE(Contains(text, "\tfontName[IN], Sans \n"));
  EXPECT_TRUE(Contains(text, "<<< CIM_INFO [0] (カラーイメージマネージメント情報) >>>\n\tmngKind[IN], 色抽出 \n"));
  EXPECT_TRUE(Contains(text, "<<< CIM_INFO [1] (カラーイメージマネージメント情報) >>>\n\tmngKind[IN], COLOR_NONE \n"));
  EXPECT_TRUE(Contains(text, "\tmngKind, ???? mngKind error ????, 3 \n"));
  EXPECT_FALSE(Contains(text, "CIM_INFO [3]")) << "at most three";
  EXPECT_LT(text.find("<<< HUX_IMG_FILTER_PARAM [3]"), text.find("<<< CIM_INFO [0]"));

  // The entry itself writes under its own prefix.
  TuningFile ini;
  testsupport::TempDir out;
  ini.DumpInto(out.Path());
  HUX_IMG_FILTER_PARAM* run[] = {&prm[0]};
  HUX_IMG_INF outs[1]{};
  ASSERT_EQ(HUX_ImgFlt_Execute_Multi(&t.inf, run, nullptr, outs, 1), 0);
  GlobalFree(outs[0].hOutBuff);
  auto files = FilesIn(out.Path());
  ASSERT_EQ(files.size(), 2u);
  for (const std::string& f : files) EXPECT_EQ(f.rfind("QelMulti", 0), 0u) << f;
}

TEST(ParamDump, UnwritableFolderNeverFailsTheCall) {
  TuningFile ini;
  ini.DumpInto("/nonexistent-folder/for/the/dump");
  TestImage t = MakeImage(10, 10, 8);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  EXPECT_EQ(HUX_ImgFlt_Execute(&t.inf, &prm), 0);
}

}  // namespace
}  // namespace imgflt::test
