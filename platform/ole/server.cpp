// The installed servers, by class id.
#include "platform/ole/server.h"

#include <map>
#include <mutex>
#include <utility>

namespace md::ole {
namespace {

std::mutex g_mutex;
std::map<ClassId, ObjectServer>& Servers() {
  static std::map<ClassId, ObjectServer> servers;
  return servers;
}

}  // namespace

ObjectServer SetObjectServer(const ClassId& clsid, ObjectServer server) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto& servers = Servers();
  ObjectServer before;
  if (auto it = servers.find(clsid); it != servers.end()) {
    before = std::move(it->second);
    servers.erase(it);
  }
  if (server) servers.emplace(clsid, std::move(server));
  return before;
}

ObjectServer FindObjectServer(const ClassId& clsid) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = Servers().find(clsid);
  return it != Servers().end() ? it->second : ObjectServer{};
}

}  // namespace md::ole
