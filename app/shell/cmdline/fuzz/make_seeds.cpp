// Writes the seeds of cmdline_fuzz: command lines that reach every switch,
// values, "/" paths and file lists, arguments separated by NUL bytes.
// Usage: cmdline_seeds <corpus root>  (writes <root>/cmdline/seed_*)
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus root>\n", argv[0]);
    return 2;
  }
  std::string dir = std::string(argv[1]) + "/cmdline";
  ::mkdir(dir.c_str(), 0777);
  const std::vector<std::vector<std::string>> lines = {
      {"/Scan", "/ReadCond", "Letter", "/Exit"},
      {"/Job", "/Scan"},
      {"a.tif", "b.tif"},
      {"/Help", "a.tif"},
      {"/ReadCond", "/Scan"},
      {"/BarCode", "123", "a.tif"},
      {"-scan", "-jOB", "Batch", "/ScanFile", "/home/u/My Scans/out.pdf", "/ScanFileType", "pdf"},
      {"/home/u/a.tif", "", "-", "/", "/Scanner"},
  };
  int n = 0;
  for (const auto& line : lines) {
    std::string bytes;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (i != 0) bytes.push_back('\0');
      bytes += line[i];
    }
    std::string path = dir + "/seed_" + std::to_string(n++);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 1;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) return 1;
  }
  return 0;
}
