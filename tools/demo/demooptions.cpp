#include "tools/demo/demooptions.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "tools/demo/pagedraw.h"

namespace md::demo {

std::string Usage(const std::string& program) {
  return "Usage: " + program +
         " [options]\n"
         "\n"
         "Builds a sample A4 layout page through the mapdeck element factory, prints it\n"
         "to a PNG and a PDF, stores every element and saves the feature set, loads it\n"
         "into a fresh feature set, prints it again and checks that both prints are\n"
         "the same pixel for pixel.\n"
         "\n"
         "Options:\n"
         "  -o, --output FOLDER     where the files go (default: demo-output; made when missing)\n"
         "  -r, --resolution DPI    dots per inch of the PNG, " +
         std::to_string(kMinDpi) + " to " + std::to_string(kMaxDpi) +
         " (default: 300)\n"
         "  -h, --help              show this text and exit\n"
         "\n"
         "Files written: sample-page.png, sample-page.pdf and sample-page.mdfs (the\n"
         "stored feature set). When the second print differs, sample-page-reloaded.png\n"
         "and sample-page-difference.png are written too and the exit status is 1.\n"
         "Exit status: 0 success, 1 the prints differ or a step failed, 2 bad options.\n";
}

namespace {

bool ParseDpi(const std::string& text, int* dpi, std::string* error) {
  int value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  if (text.empty() || ec != std::errc() || end != last || value < kMinDpi || value > kMaxDpi) {
    *error = "bad resolution '" + text + "': give a whole number of dots per inch from " +
             std::to_string(kMinDpi) + " to " + std::to_string(kMaxDpi);
    return false;
  }
  *dpi = value;
  return true;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options* options, std::string* error) {
  Options out = *options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string name = arg;
    std::string value;
    bool hasValue = false;
    if (arg.rfind("--", 0) == 0) {
      const std::size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
        hasValue = true;
      }
    }
    const bool isOutput = name == "-o" || name == "--output";
    const bool isDpi = name == "-r" || name == "--resolution";
    if (name == "-h" || name == "--help") {
      if (hasValue) {
        *error = "option --help takes no value";
        return false;
      }
      out.help = true;
      continue;
    }
    if (!isOutput && !isDpi) {
      *error = (!arg.empty() && arg[0] == '-') ? "unknown option '" + arg + "'"
                                               : "unexpected argument '" + arg + "'";
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= args.size()) {
        *error = "option " + name + (isOutput ? " needs a folder" : " needs a number of dots per inch");
        return false;
      }
      value = args[++i];
    }
    if (isOutput) {
      if (value.empty()) {
        *error = "option " + name + " needs a folder";
        return false;
      }
      out.outputFolder = value;
    } else if (!ParseDpi(value, &out.dpi, error)) {
      return false;
    }
  }
  *options = out;
  return true;
}

bool PrepareOutputFolder(const std::string& folder, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path dir(folder);
  if (!fs::exists(dir, ec)) {
    fs::create_directories(dir, ec);
    if (ec) {
      *error = "cannot make the output folder '" + folder + "': " + ec.message();
      return false;
    }
  }
  if (!fs::is_directory(dir, ec)) {
    *error = "the output path '" + folder + "' is not a folder";
    return false;
  }
  // Writing a file is the only sure test (permissions, read-only mounts).
  std::string probe = (dir / ".mapdeck-demo-XXXXXX").string();
  const int fd = mkstemp(probe.data());
  if (fd < 0) {
    *error = "cannot write into the output folder '" + folder + "': " + std::strerror(errno);
    return false;
  }
  close(fd);
  std::remove(probe.c_str());
  return true;
}

}  // namespace md::demo
