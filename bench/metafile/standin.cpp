// The helper the start benchmark runs: it answers at once, having drawn
// nothing.
#include <string>

#include "platform/imaging/helper/isolatedmain.h"

int main(int argc, char** argv) {
  return md::imaging::detail::IsolatedMain(
      argc, argv, [](const md::imaging::detail::IsolatedRequest&) { return std::string(); });
}
