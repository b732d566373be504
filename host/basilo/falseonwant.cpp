#include "host/basilo/falseonwant.h"

#include <cerrno>
#include <string>

#include "platform/files/errortext.h"

void md::basilo::LogWant(const FactoryName& call, const std::exception& e) {
  std::string text = "out of memory";
  if (const auto* failed = dynamic_cast<const std::system_error*>(&e)) {
    const std::error_code code = failed->code();
    const bool system =
        code.category() == std::generic_category() || code.category() == std::system_category();
    if (system && code.value() == EAGAIN)
      text = "a thread or process could not be started: " + md::files::StartErrorText(code.value());
    else
      text = std::string("stopped: ") + (system ? md::files::ErrorText(code.value()) : failed->what());
  }
  GIS_WriteLogF(GIS_LOG_LEVEL_CHECK, call.name, call.file, call.line, __TIMESTAMP__, "%s", text.c_str());
}
