// Saves a file the way every save does, from a process of its own: the
// leftover tests run it as another writer of the same file.
//   md_files_saver <path> <text>
// Exits 0 once the file holds the text; 1, saying why, when the save failed.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/files/filestore.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: md_files_saver <path> <text>\n");
    return 2;
  }
  std::string error;
  if (md::files::WriteWholeFile(argv[1], argv[2], std::strlen(argv[2]), &error)) return 0;
  std::fprintf(stderr, "%s\n", error.c_str());
  return 1;
}
