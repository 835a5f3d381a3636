// Listing a folder of 100,000 files, all files and then images only, against
// the floor of two plain readdir passes over the same folder in the same run.
// Prints the ratio of the medians; the goal is at most 1.5.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "store/store.h"

namespace {

constexpr int FileCount = 100'000;
constexpr int Rounds = 15;

using Clock = std::chrono::steady_clock;

// A mix like a real disc folder: mostly program files, some pictures of
// every case, a few folders.
std::string MakeFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vellumor-bench-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) std::perror("mkdtemp"), std::exit(1);
  const std::string dir = std::string(buffer.data()) + "/";
  const char* extensions[] = {".exe", ".dll", ".txt", ".dat", ".jpg", ".GIF", ".Bmp", ".hlp", ".ini", ".jpeg"};
  for (int i = 0; i < FileCount; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "%s_%06d%s", (i % 3 == 0) ? "Setup" : "data", (i * 7919) % 1'000'003,
                  extensions[i % 10]);
    const int fd = ::open((dir + name).c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0) std::perror("open"), std::exit(1);
    ::close(fd);
  }
  for (int i = 0; i < 100; ++i) std::filesystem::create_directory(dir + "folder" + std::to_string(i));
  return dir;
}

std::size_t PlainReaddirPass(const std::string& dir) {
  DIR* d = ::opendir(dir.c_str());
  std::size_t count = 0;
  while (::readdir(d) != nullptr) ++count;
  ::closedir(d);
  return count;
}

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

template <typename F>
double Seconds(F&& f) {
  const auto start = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main() {
  const std::string dir = MakeFolder();
  std::vector<double> floor, listing;
  std::size_t sink = 0;
  for (int round = 0; round < Rounds; ++round) {
    floor.push_back(Seconds([&] { sink += PlainReaddirPass(dir) + PlainReaddirPass(dir); }));
    listing.push_back(Seconds([&] {
      sink += store::ListFolderFiles(dir + "program.desc", false).size();
      sink += store::ListFolderFiles(dir + "program.desc", true).size();
    }));
  }
  std::filesystem::remove_all(dir);

  const double floorSeconds = Median(floor), listingSeconds = Median(listing);
  std::printf("folder of %d files: listing all + images %.2f ms, two readdir passes %.2f ms (checksum %zu)\n",
              FileCount, listingSeconds * 1e3, floorSeconds * 1e3, sink);
  std::printf("ratio %.2f (goal at most 1.5)\n", listingSeconds / floorSeconds);
  return 0;
}
