// A stand-in for a game executable: records how it was started and ends.
// The demo program folder and the launch tests use it in place of a real game.
//
// It writes "standin-launch.txt" into its working folder: the first line is
// "folder=" and the working folder, then one "arg=" line per argument.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
  std::error_code ec;
  std::string folder = std::filesystem::current_path(ec).string();
  std::ofstream out("standin-launch.txt", std::ios::binary | std::ios::trunc);
  out << "folder=" << folder << '\n';
  for (int i = 1; i < argc; ++i) out << "arg=" << argv[i] << '\n';
  out.close();
  std::cout << "stand-in game started in " << folder << " with " << argc - 1 << " arguments\n";
  return out ? 0 : 1;
}
