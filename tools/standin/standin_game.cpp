// A stand-in for a game executable: records how it was started and ends.
// The demo program folder and the launch tests use it in place of a real game.
//
// It writes "standin-launch.txt" into its working folder: the first line is
// "folder=" and the working folder, then one "arg=" line per argument.
//
// To play a game a little more like a real one (for the clean-up tool's round
// trip), three environment variables, each off when unset:
//   FRAGDOCK_STANDIN_STAY_MS=<ms>           stays alive that long first ("plays")
//   FRAGDOCK_STANDIN_TOUCH=<relative path>  then appends to that existing file,
//                                           the way a game rewrites its config
//   FRAGDOCK_STANDIN_SAVE=<relative path>   then writes a new "save" file there
// Paths are taken below the working folder only (no absolute path, no "..").
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

const char* setting(const char* name) {
  const char* value = std::getenv(name);
  return (value != nullptr && *value != '\0') ? value : nullptr;
}

bool insideWorkFolder(const std::filesystem::path& path) {
  if (path.empty() || path.is_absolute()) return false;
  for (const auto& part : path)
    if (part == "..") return false;
  return true;
}

bool touchFile(const char* relative) {
  if (!insideWorkFolder(relative) || !std::filesystem::is_regular_file(relative)) {
    std::cerr << "stand-in game: no file to touch at " << relative << '\n';
    return false;
  }
  std::ofstream out(relative, std::ios::binary | std::ios::app);
  out << "changed while playing\n";
  return static_cast<bool>(out);
}

bool writeSave(const char* relative) {
  if (!insideWorkFolder(relative)) return false;
  std::error_code ec;
  const std::filesystem::path path(relative);
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "saved game\n";
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  std::error_code ec;
  std::string folder = std::filesystem::current_path(ec).string();
  std::ofstream out("standin-launch.txt", std::ios::binary | std::ios::trunc);
  out << "folder=" << folder << '\n';
  for (int i = 1; i < argc; ++i) out << "arg=" << argv[i] << '\n';
  out.close();
  std::cout << "stand-in game started in " << folder << " with " << argc - 1 << " arguments\n";
  bool ok = static_cast<bool>(out);

  if (const char* stay = setting("FRAGDOCK_STANDIN_STAY_MS"))
    std::this_thread::sleep_for(std::chrono::milliseconds(std::strtol(stay, nullptr, 10)));
  if (const char* touch = setting("FRAGDOCK_STANDIN_TOUCH")) ok = touchFile(touch) && ok;
  if (const char* save = setting("FRAGDOCK_STANDIN_SAVE")) ok = writeSave(save) && ok;
  return ok ? 0 : 1;
}
