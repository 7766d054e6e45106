// The working folder, where the temporary page files of this instance
// live: its choice at start-up, the write test, the value stored back as
// File/ImageTempPath. (This slot's leftovers are removed by the working
// file model, which owns the temporary files.)
//
//   DefaultWorkFolder      temporary folder + "VEXO_TMP/"
//   ChooseWorkFolder       start-up choice from File/ImageTempPath
//   TestWriteFolder        the write probe
//   ImageTempPathToStore   what File/ImageTempPath is written as at exit
//   CreateImageFolder      the "Image" folder beside the program
//
// Failures the user must see (an unwritable folder, an unreportable
// temporary folder) are shown through the message presenter as system
// errors. Runs on the GUI thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace shell {

inline constexpr std::string_view kWorkFolderName = "VEXO_TMP";
// The working folder until one is chosen.
inline constexpr std::string_view kInitialWorkFolder = "/tmp/";
// The temporary folder is asked for through a buffer of this size.
inline constexpr std::size_t kTempFolderBufferSize = 300;
inline constexpr std::string_view kWriteProbePrefix = "TMP";
inline constexpr std::string_view kImageFolderName = "Image";

// Temporary folder + "VEXO_TMP/"; empty when the temporary folder cannot be
// reported.
std::string DefaultWorkFolder();

// Creates a uniquely named "TMP####.tmp" in folder, opens it for writing
// and deletes it again. On failure shows the system error of the failed
// step and returns false.
bool TestWriteFolder(const std::string& folder);

// The working folder for a start-up with File/ImageTempPath = configured
// (the result always ends in '/'):
//   - empty: the default folder, created and write-tested;
//   - otherwise the configured folder, unless it lies on no fixed drive
//     (removable, remote, CD-ROM, RAM disk, no or unknown root, or a
//     relative path), which gives the default; the folder is created and
//     tested, and a failed test falls back to the default, created and
//     tested once more (that result is not acted on).
// When the default is needed but the temporary folder cannot be reported,
// the system error is shown and the folder stays as it was: the configured
// one, or kInitialWorkFolder when none was configured (then nothing is
// created or tested). Folders are created one level deep, as the system
// creates a directory: a missing parent fails the test.
std::string ChooseWorkFolder(std::string_view configured);

// The File/ImageTempPath value for workFolder: "" when it is the default
// folder (ignoring ASCII case), else workFolder; nothing when the
// temporary folder cannot be reported (the key is then not written).
std::optional<std::string> ImageTempPathToStore(const std::string& workFolder);


// Creates the folder "Image" in the program folder; an existing one is no
// error. False when it cannot be created.
bool CreateImageFolder();

}  // namespace shell
