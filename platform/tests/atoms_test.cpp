// Tests of the global atoms: find, add and delete, names that need escaping,
// value collisions, and atoms shared with and outliving other processes.
#include "platform/atoms.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "testsupport/temp_env.h"

namespace fs = std::filesystem;
using platform::Atom;

namespace {

// Each test gets its own atom folder through its own XDG_RUNTIME_DIR.
class Atoms : public testing::Test {
 protected:
  std::string Folder() const { return runtime_.Path() + "vistel-atoms/"; }
  std::vector<std::string> AtomFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder()))
      if (entry.path().filename().string()[0] != '.') names.push_back(entry.path().filename().string());
    return names;
  }

  testsupport::TempDir runtime_;
  testsupport::ScopedEnv env_{"XDG_RUNTIME_DIR", runtime_.Path()};
};

// Runs body in a forked child; returns its exit status (-1 when it died).
template <typename Body>
int InChild(Body body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST_F(Atoms, AddFindDeleteIgnoringCase) {
  EXPECT_EQ(platform::GlobalFindAtom("Vistel.Instance"), 0);
  Atom atom = platform::GlobalAddAtom("Vistel.Instance");
  ASSERT_GE(atom, 0xC000);
  EXPECT_EQ(platform::GlobalFindAtom("VISTEL.instance"), atom);
  EXPECT_EQ(platform::GlobalAddAtom("vistel.INSTANCE"), atom) << "adding again gives the same atom";
  EXPECT_EQ(AtomFiles(), std::vector<std::string>{"vistel.instance"});
  EXPECT_EQ(platform::GlobalDeleteAtom(atom), 0);
  EXPECT_EQ(platform::GlobalFindAtom("Vistel.Instance"), 0);
  EXPECT_EQ(platform::GlobalDeleteAtom(atom), atom) << "already deleted";
  EXPECT_EQ(platform::GlobalDeleteAtom(0x1234), 0x1234) << "not a string atom";
}

TEST_F(Atoms, NamesThatNeedEscapingStayDistinctFilesInTheFolder) {
  const std::vector<std::string> names = {
      "plain", "a/b", "a%2fb", "a%2Fb%", ".", "..", ".hidden", "tab\tname", "../escape", "/", "%",
      std::string("nul\0byte", 8), "\xC3\xA4-utf8",
  };
  std::set<Atom> atoms;
  for (const std::string& name : names) {
    Atom atom = platform::GlobalAddAtom(name);
    ASSERT_NE(atom, 0) << name;
    atoms.insert(atom);
  }
  EXPECT_EQ(atoms.size(), names.size());
  for (const std::string& name : names) EXPECT_NE(platform::GlobalFindAtom(name), 0) << name;
  EXPECT_EQ(AtomFiles().size(), names.size()) << "every atom is one file directly in the folder";
  EXPECT_FALSE(fs::exists(runtime_.Path() + "escape"));
  for (Atom atom : atoms) EXPECT_EQ(platform::GlobalDeleteAtom(atom), 0);
  EXPECT_TRUE(AtomFiles().empty());
}

TEST_F(Atoms, RefusesEmptyAndOverlongNames) {
  EXPECT_EQ(platform::GlobalAddAtom(""), 0);
  EXPECT_EQ(platform::GlobalFindAtom(""), 0);
  EXPECT_EQ(platform::GlobalAddAtom(std::string(300, 'x')), 0);
  EXPECT_EQ(platform::GlobalAddAtom(std::string(100, '/')), 0) << "300 bytes once escaped";
  EXPECT_NE(platform::GlobalAddAtom(std::string(255, 'x')), 0);
}

TEST_F(Atoms, AvoidsValuesOtherAtomsHold) {
  Atom first = platform::GlobalAddAtom("alpha");
  ASSERT_NE(first, 0);
  ASSERT_EQ(platform::GlobalDeleteAtom(first), 0);
  // Another atom now holds the value "alpha" hashes to.
  char text[8];
  std::snprintf(text, sizeof text, "%04X\n", first);
  testsupport::WriteFile(Folder() + "squatter", text);
  ASSERT_EQ(platform::GlobalFindAtom("squatter"), first);

  Atom second = platform::GlobalAddAtom("alpha");
  EXPECT_NE(second, 0);
  EXPECT_NE(second, first);
  EXPECT_EQ(platform::GlobalDeleteAtom(first), 0);
  EXPECT_EQ(platform::GlobalFindAtom("squatter"), 0) << "deleting by value removed the squatter";
  EXPECT_EQ(platform::GlobalFindAtom("alpha"), second);
}

TEST_F(Atoms, IgnoresFilesThatHoldNoAtom) {
  fs::create_directories(Folder());
  testsupport::WriteFile(Folder() + "garbage", "hello");
  testsupport::WriteFile(Folder() + "low", "0001\n");
  testsupport::WriteFile(Folder() + "empty", "");
  for (const char* name : {"garbage", "low", "empty"}) EXPECT_EQ(platform::GlobalFindAtom(name), 0) << name;
}

TEST_F(Atoms, OutliveTheProcessThatAddedThem) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  int rc = InChild([&] {
    Atom atom = platform::GlobalAddAtom("Child.Atom");
    return write(pipeFds[1], &atom, sizeof atom) == sizeof atom ? 0 : 1;
  });
  ASSERT_EQ(rc, 0);
  Atom fromChild = 0;
  ASSERT_EQ(read(pipeFds[0], &fromChild, sizeof fromChild), static_cast<ssize_t>(sizeof fromChild));
  close(pipeFds[0]);
  close(pipeFds[1]);
  ASSERT_NE(fromChild, 0);
  EXPECT_EQ(platform::GlobalFindAtom("child.atom"), fromChild);
  EXPECT_EQ(platform::GlobalDeleteAtom(fromChild), 0);
}

TEST_F(Atoms, TwoProcessesAddingAtOnceNeverShareAValue) {
  constexpr int kEach = 100;
  auto addAll = [](const char* prefix) {
    for (int i = 0; i < kEach; ++i)
      if (platform::GlobalAddAtom(prefix + std::to_string(i)) == 0) return 1;
    return 0;
  };
  pid_t pid = fork();
  if (pid == 0) _exit(addAll("child-"));
  ASSERT_GT(pid, 0);
  int parentRc = addAll("parent-");
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(parentRc, 0);

  std::set<Atom> atoms;
  for (const char* prefix : {"child-", "parent-"})
    for (int i = 0; i < kEach; ++i) atoms.insert(platform::GlobalFindAtom(prefix + std::to_string(i)));
  EXPECT_EQ(atoms.count(0), 0u);
  EXPECT_EQ(atoms.size(), 2u * kEach);
}

}  // namespace
