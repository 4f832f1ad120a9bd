// Where the program's files are: the one place that decides it. The program runs from the folder
// of its executable, with everything in "data/" there.
#pragma once
#include <string>

namespace app {

struct Folders {
  std::string data;      // read-only data: fonts, images, sounds, help pages, cuts (ends in '/')
  std::string config;    // config.txt and the progress file (ends in '/')
  std::string pictures;  // the pictures folder

  std::string config_file() const { return config + "config.txt"; }
  std::string progress_file() const { return config + "pipkin.txt"; }
};

// Everything in "data/" beside the program (the working folder once start-up has moved there).
Folders portable_folders();

}  // namespace app
