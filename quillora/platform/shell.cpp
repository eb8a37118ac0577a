#include "quillora/platform/shell.h"

#include <spawn.h>
#include <sys/wait.h>


extern char** environ;

namespace quillora::platform {

namespace {

TSpawnFunction g_spawn;

void SpawnDetached(const std::vector<std::string>& argv) {
  // The child is not waited for. Children started earlier that have ended
  // are collected here, so a long session leaves no zombies behind.
  static std::vector<pid_t> started;
  for (auto it = started.begin(); it != started.end();) {
    int status = 0;
    pid_t r = waitpid(*it, &status, WNOHANG);
    it = (r == 0) ? it + 1 : started.erase(it);
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) == 0) {
    started.push_back(pid);
  }
}

}  // namespace

void ShellOpen(const std::string& target) {
  std::vector<std::string> argv = {"xdg-open", target};
  try {
    if (g_spawn)
      g_spawn(argv);
    else
      SpawnDetached(argv);
  } catch (...) {
    // Opening the viewer is a courtesy; its failure is not the caller's.
  }
}

void SetSpawnFunction(TSpawnFunction spawn) { g_spawn = std::move(spawn); }

}  // namespace quillora::platform
