// The files objects are made from (see sourcefile.h).
#include "platform/ole/sourcefile.h"

#include <linux/magic.h>
#include <sys/vfs.h>

#include <cerrno>
#include <system_error>

#include "platform/files/errortext.h"
#include "platform/files/filestore.h"

namespace md::ole {
namespace {

// The kernel's file systems whose files describe the running system.
struct KernelFileSystem {
  unsigned long magic;
  const char* name;
};
constexpr KernelFileSystem kKernelFileSystems[] = {
    {PROC_SUPER_MAGIC, "proc"},
    {SYSFS_MAGIC, "sysfs"},
    {DEBUGFS_MAGIC, "debugfs"},
    {TRACEFS_MAGIC, "tracefs"},
    {CGROUP_SUPER_MAGIC, "cgroup"},
    {CGROUP2_SUPER_MAGIC, "cgroup2"},
    {SECURITYFS_MAGIC, "securityfs"},
    {SELINUX_MAGIC, "selinuxfs"},
    {SMACK_MAGIC, "smackfs"},
    {AAFS_MAGIC, "apparmorfs"},
    {PSTOREFS_MAGIC, "pstore"},
    {EFIVARFS_MAGIC, "efivarfs"},
    {BPF_FS_MAGIC, "bpf"},
    {DEVPTS_SUPER_MAGIC, "devpts"},
    {BINFMTFS_MAGIC, "binfmt_misc"},
    {BINDERFS_SUPER_MAGIC, "binderfs"},
    {NSFS_MAGIC, "nsfs"},
    {RDTGROUP_SUPER_MAGIC, "resctrl"},
    {USBDEVICE_SUPER_MAGIC, "usbfs"},
    {OPENPROM_SUPER_MAGIC, "openpromfs"},
    {XENFS_SUPER_MAGIC, "xenfs"},
    {0x62656570, "configfs"},
    {0x65735543, "fusectl"},
    {0x19800202, "mqueue"},
};

}  // namespace

bool IsSourceFile(const std::string& path, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  if (!md::files::IsReadableFile(path.c_str(), &error)) return false;
  struct statfs fs {};
  if (::statfs(path.c_str(), &fs) != 0) {
    error = md::files::ErrorText(errno);
    return false;
  }
  for (const KernelFileSystem& k : kKernelFileSystems) {
    if (static_cast<unsigned long>(fs.f_type) == k.magic) {
      error = std::string("a file of the kernel's ") + k.name +
              " file system, not a stored file: its size says nothing of its content";
      return false;
    }
  }
  return true;
}

}  // namespace md::ole
