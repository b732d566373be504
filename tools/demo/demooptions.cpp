#include "tools/demo/demooptions.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/files/errortext.h"
#include "tools/demo/pagedraw.h"

namespace md::demo {

std::string Usage(const std::string& program) {
  return "Usage: " + program +
         " [options]\n"
         "\n"
         "Builds layout pages through the mapdeck element factory: a sample A4 page of\n"
         "plain elements and an A2 topographic map sheet of the 1:50,000 sample map.\n"
         "Each is printed to a PNG and a PDF, its elements are stored and the feature\n"
         "set saved, loaded into a fresh feature set, printed again and checked to be\n"
         "the same pixel for pixel.\n"
         "\n"
         "Options:\n"
         "  -o, --output FOLDER     where the files go (default: demo-output; made when missing)\n"
         "  -r, --resolution DPI    dots per inch of the PNG, " +
         std::to_string(kMinDpi) + " to " + std::to_string(kMaxDpi) +
         " (default: 300)\n"
         "  -p, --page NAME         make only that page: sample-page or map-sheet (may be\n"
         "                          given again; default: every page)\n"
         "  -h, --help              show this text and exit\n"
         "\n"
         "Files written per page NAME: NAME.png, NAME.pdf and NAME.mdfs (the stored\n"
         "feature set). When the second print differs, NAME-reloaded.png and\n"
         "NAME-difference.png are written too and the exit status is 1. The files the\n"
         "pages' pictures and link come from go beside them: sample-logo.png,\n"
         "sample-mark.emf and sample-notes.txt.\n"
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
    const bool isPage = name == "-p" || name == "--page";
    if (name == "-h" || name == "--help") {
      if (hasValue) {
        *error = "option --help takes no value";
        return false;
      }
      out.help = true;
      continue;
    }
    if (!isOutput && !isDpi && !isPage) {
      *error = (!arg.empty() && arg[0] == '-') ? "unknown option '" + arg + "'"
                                               : "unexpected argument '" + arg + "'";
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= args.size()) {
        *error = "option " + name +
                 (isOutput ? " needs a folder"
                  : isPage ? " needs a page name"
                           : " needs a number of dots per inch");
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
    } else if (isPage) {
      const auto& names = PageNames();
      if (std::find(names.begin(), names.end(), value) == names.end()) {
        std::string known;
        for (const std::string& n : names) known += (known.empty() ? "" : " or ") + n;
        *error = "unknown page '" + value + "': give " + known;
        return false;
      }
      if (std::find(out.pages.begin(), out.pages.end(), value) == out.pages.end()) out.pages.push_back(value);
    } else if (!ParseDpi(value, &out.dpi, error)) {
      return false;
    }
  }
  *options = out;
  return true;
}

bool WantsPage(const Options& options, const std::string& name) {
  return options.pages.empty() ||
         std::find(options.pages.begin(), options.pages.end(), name) != options.pages.end();
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
    *error = "cannot write into the output folder '" + folder + "': " + md::files::ErrorText(errno);
    return false;
  }
  close(fd);
  std::remove(probe.c_str());
  return true;
}

}  // namespace md::demo
