// Start-up time of the program: from process start to the main window's
// first paint, as a ratio to a minimal Qt Widgets program (one empty window)
// started the same way in the same run. Both run under the offscreen
// platform with VELLUMOR_STARTUP_PROBE set, which makes them print "shown"
// and end at their first paint. The runs alternate, and the medians are
// compared. The figures and the ratio are printed, with a note when the ratio
// is above the goal; the exit code is 0 whenever the benchmark measured, and
// 2 only when a program could not be started or did not report its first
// show. A second floor, the same window with one line of text, is reported
// beside it for reading the figure.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int Runs = 21;
constexpr double Goal = 1.3;

// Seconds from spawning `path` to its "shown" line; negative on failure.
double TimeToFirstShow(const char* path) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);

  std::vector<std::string> env{"VELLUMOR_STARTUP_PROBE=1", "QT_QPA_PLATFORM=offscreen"};
  for (char** e = environ; *e != nullptr; ++e)
    if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0 && std::strncmp(*e, "VELLUMOR_STARTUP_PROBE=", 23) != 0)
      env.emplace_back(*e);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = path;
  char* argv[] = {program.data(), nullptr};

  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, path, &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return -1;
  }
  std::string out;
  char buffer[256];
  ssize_t got = 0;
  while (out.find("shown\n") == std::string::npos && (got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
    out.append(buffer, static_cast<std::size_t>(got));
  const auto end = std::chrono::steady_clock::now();
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (out.find("shown\n") == std::string::npos) return -1;
  return std::chrono::duration<double>(end - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  // One run of each first, so that both start from warm caches.
  if (TimeToFirstShow(FLOOR_PATH) < 0 || TimeToFirstShow(TEXT_FLOOR_PATH) < 0 || TimeToFirstShow(PROGRAM_PATH) < 0) {
    std::fprintf(stderr, "bench_startup: a program did not report its first show\n");
    return 2;
  }
  std::vector<double> floor, textFloor, program;
  for (int i = 0; i < Runs; ++i) {
    const double f = TimeToFirstShow(FLOOR_PATH);
    const double t = TimeToFirstShow(TEXT_FLOOR_PATH);
    const double p = TimeToFirstShow(PROGRAM_PATH);
    if (f < 0 || t < 0 || p < 0) {
      std::fprintf(stderr, "bench_startup: a program did not report its first show\n");
      return 2;
    }
    floor.push_back(f);
    textFloor.push_back(t);
    program.push_back(p);
  }
  const double ratio = Median(program) / Median(floor);
  std::printf("start-up to first show: program %.1f ms, minimal Qt window %.1f ms (medians of %d)\n",
              Median(program) * 1000, Median(floor) * 1000, Runs);
  std::printf("ratio %.2f (goal <= %.1f)%s\n", ratio, Goal, ratio <= Goal ? "" : ": ABOVE THE GOAL");
  // For reading the figure: against a window with one line of text, which
  // pays for the font system's start as the program does.
  std::printf("informative: minimal window with one line of text %.1f ms, ratio %.2f\n", Median(textFloor) * 1000,
              Median(program) / Median(textFloor));
  return 0;
}
