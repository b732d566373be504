// SHA-256 of a content, by libcrypto's SHA-256 functions themselves: the
// same code its EVP interface runs (the processor's SHA instructions where it
// has them), without the set-up of that interface's providers, which costs a
// process more than digesting the pictures of a page.
#define OPENSSL_SUPPRESS_DEPRECATED
#include "platform/imaging/digest.h"

#include <openssl/sha.h>

#include <cstdlib>

namespace md::imaging {

Content ContentOf(const void* data, std::size_t size) {
  static_assert(SHA256_DIGEST_LENGTH == sizeof(Content::digest));
  Content c;
  c.size = size;
  SHA256_CTX context;
  // They fail only when given no context.
  if (SHA256_Init(&context) != 1 || SHA256_Update(&context, data, size) != 1 ||
      SHA256_Final(c.digest.data(), &context) != 1)
    std::abort();
  return c;
}

}  // namespace md::imaging
