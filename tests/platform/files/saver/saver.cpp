// md_files_saver <path> <text>: saves the text to the file the way every save
// does, as another process writing it; exits 0 once saved, else 1 saying why.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files/filestore.h"

int main(int argc, char** argv) {
  std::string error = "usage: md_files_saver <path> <text>";
  if (argc == 3 && md::files::WriteWholeFile(argv[1], argv[2], std::strlen(argv[2]), &error)) return 0;
  std::fprintf(stderr, "%s\n", error.c_str());
  return 1;
}
