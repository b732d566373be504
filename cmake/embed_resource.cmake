# Script mode: turns the file INPUT into OUTPUT, a C++ source that registers
# its bytes under NAME with the dialog framework when its binary loads.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${NAME}; edit that file instead.
#include \"platform/ui/resources.h\"

namespace {
const unsigned char kData[] = {
${bytes}0x00};
struct Registration {
  Registration() {
    md::ui::RegisterResourceText(\"${NAME}\", reinterpret_cast<const char*>(kData), sizeof kData - 1);
  }
} registration;
}  // namespace
")
