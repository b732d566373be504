// The demo's command line and its output folder.
#pragma once

#include <string>
#include <vector>

namespace md::demo {

struct Options {
  std::string outputFolder = "demo-output";
  int dpi = 300;
  bool help = false;
  // The pages to make, by name (PageNames()), in the order given; empty
  // means every page.
  std::vector<std::string> pages;
};

// The demo's pages, in the order they are made.
inline const std::vector<std::string>& PageNames() {
  static const std::vector<std::string> names = {"sample-page", "map-sheet"};
  return names;
}

// True when the options ask for the page of that name.
bool WantsPage(const Options& options, const std::string& name);

// The usage text printed by --help (program is the name it was run as).
std::string Usage(const std::string& program);

// Reads the arguments after the program name. False with a message naming
// the offending argument on an unknown option, a missing or bad value, or a
// stray argument.
bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error);

// Makes the folder (and its parents) when missing and checks that files can
// be written in it; false with a message saying why not.
bool PrepareOutputFolder(const std::string& folder, std::string* error);

}  // namespace md::demo
