// SHA-256 of a content, through libcrypto's EVP interface.
#include "platform/imaging/digest.h"

#include <openssl/evp.h>

#include <cstdlib>

namespace md::imaging {

Content ContentOf(const void* data, std::size_t size) {
  // Fetched once: a fetch by name looks through the providers each time.
  static EVP_MD* const sha256 = EVP_MD_fetch(nullptr, "SHA2-256", nullptr);
  Content c;
  c.size = size;
  unsigned int length = 0;
  // Only an allocation failure inside libcrypto fails a digest of memory.
  if (sha256 == nullptr || EVP_Digest(data, size, c.digest.data(), &length, sha256, nullptr) != 1 ||
      length != c.digest.size())
    std::abort();
  return c;
}

}  // namespace md::imaging
