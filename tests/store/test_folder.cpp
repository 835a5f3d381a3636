#include "test_folder.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace store::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "vellumor-store-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = IncludeSlash(buffer.data());
  SetMode(dir_, 0777);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Folders a test made read-only must open again before they can go.
  for (auto it = fs::recursive_directory_iterator(dir_, ignored); it != fs::recursive_directory_iterator();
       it.increment(ignored)) {
    if (it->is_directory(ignored)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(dir_, ignored);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

void MakeFolder(const std::string& path) { fs::create_directories(path); }

void SetMode(const std::string& path, unsigned mode) {
  if (::chmod(path.c_str(), mode) != 0) throw std::runtime_error("chmod failed: " + path);
}

std::string RunAsOrdinaryUser(const std::function<std::string()>& check) {
  if (::geteuid() != 0) return check();

  int channel[2];
  if (::pipe(channel) != 0) throw std::runtime_error("pipe failed");
  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    ::close(channel[0]);
    std::string answer;
    constexpr gid_t nobodyGroup = 65534;
    constexpr uid_t nobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobodyGroup) != 0 || ::setuid(nobody) != 0) {
      answer = "could not drop to an ordinary user";
    } else {
      try {
        answer = check();
      } catch (const std::exception& error) {
        answer = std::string("exception: ") + error.what();
      }
    }
    const ssize_t written = ::write(channel[1], answer.data(), answer.size());
    ::_exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
  }
  ::close(channel[1]);
  std::string answer;
  char buffer[4096];
  ssize_t got;
  while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0) answer.append(buffer, static_cast<std::size_t>(got));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child process failed: " + answer;
  return answer;
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace store::testing
