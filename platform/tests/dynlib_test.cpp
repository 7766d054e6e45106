// Tests of loading libraries by name: the name mappings, the program folder
// before the library path, decorated symbol names, and the load errors.
#include "platform/dynlib.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "testsupport/temp_env.h"

namespace fs = std::filesystem;

namespace {

// The bin folder: the test binary and the fixture library live there.
std::string BinFolder() { return fs::read_symlink("/proc/self/exe").parent_path().string() + "/"; }

TEST(DynamicLibraryNames, MapsDllToSo) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"X.dll", "X.so"},          {"mscms.DLL", "mscms.so"}, {"/opt/a/Q.Dll", "/opt/a/Q.so"},
      {"a.dll.bak", "a.dll.bak"}, {"dll", "dll"},            {"plain.so", "plain.so"},
      {"xdll", "xdll"},           {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::NativeLibraryName(c.in), c.out) << c.in;
}

TEST(DynamicLibraryNames, StripsDecoration) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"_Name@12", "Name"}, {"_x@0", "x"},         {"_A@B@8", "A@B"},   {"_Name@", "_Name@"},
      {"Name@4", "Name@4"}, {"_@4", "_@4"},        {"_N@4x", "_N@4x"},  {"_Name", "_Name"},
      {"Name", "Name"},     {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::UndecoratedName(c.in), c.out) << c.in;
}

TEST(DynamicLibrary, LoadsFromTheProgramFolderAndFindsDecoratedNames) {
  testsupport::ScopedEnv program("VISTEL_PROGRAM_DIR", BinFolder());
  auto library = platform::DynamicLibrary::Load("dynlib_fixture.dll");
  ASSERT_NE(library, nullptr) << platform::DynamicLibrary::LastLoadError();
  EXPECT_EQ(fs::canonical(library->Path()), fs::canonical(BinFolder() + "dynlib_fixture.so"));

  auto answer = library->Function<int (*)(int)>("_FixtureAnswer@4");
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(20), 41);
  EXPECT_EQ(library->Symbol("FixtureAnswer"), reinterpret_cast<void*>(answer));
  EXPECT_EQ(library->Symbol("_Missing@4"), nullptr);
  EXPECT_EQ(library->Symbol("Missing"), nullptr);
  EXPECT_EQ(library->Symbol("_FixtureAnswer@4x"), nullptr) << "not a decorated name";
  EXPECT_EQ(library->Symbol(std::string_view("FixtureAnswer\0x", 15)), nullptr);
}

TEST(DynamicLibrary, ProgramFolderComesBeforeTheLibraryPath) {
  testsupport::TempDir dir;
  // A copy of the fixture under the name of a library the system has too.
  fs::copy_file(BinFolder() + "dynlib_fixture.so", dir.File("libm.so.6"));
  {
    testsupport::ScopedEnv program("VISTEL_PROGRAM_DIR", dir.Path());
    auto library = platform::DynamicLibrary::Load("libm.so.6");
    ASSERT_NE(library, nullptr) << platform::DynamicLibrary::LastLoadError();
    EXPECT_NE(library->Symbol("FixtureAnswer"), nullptr);
  }
  testsupport::TempDir empty;
  testsupport::ScopedEnv program("VISTEL_PROGRAM_DIR", empty.Path());
  auto system = platform::DynamicLibrary::Load("libm.so.6");
  ASSERT_NE(system, nullptr) << platform::DynamicLibrary::LastLoadError();
  EXPECT_EQ(system->Symbol("FixtureAnswer"), nullptr);
  EXPECT_NE(system->Symbol("cos"), nullptr);
}

TEST(DynamicLibrary, ReportsWhyALoadFailed) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("broken.so"), "not a library");
  testsupport::ScopedEnv program("VISTEL_PROGRAM_DIR", dir.Path());
  struct Case {
    const char* name;
    std::string errorMentions;
  } cases[] = {
      {"no_such_library.dll", "no_such_library.so"},
      {"broken.DLL", dir.File("broken.so")},  // the program folder's own error, not "not found"
      {"/no/such/folder/x.dll", "/no/such/folder/x.so"},
      {"", "invalid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(platform::DynamicLibrary::Load(c.name), nullptr);
    std::string error = platform::DynamicLibrary::LastLoadError();
    EXPECT_NE(error.find(c.errorMentions), std::string::npos) << error;
  }
  EXPECT_NE(platform::DynamicLibrary::LastLoadError().find("invalid"), std::string::npos);
  std::string elsewhere = "unset";
  std::thread([&] { elsewhere = platform::DynamicLibrary::LastLoadError(); }).join();
  EXPECT_EQ(elsewhere, "") << "the error text belongs to the failing thread";
}

}  // namespace
