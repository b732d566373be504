// What most test programs include and never changes with the tree:
// GoogleTest and the standard headers. Precompiled once (tests/support) and
// reused by every test program of a Debug build with GCC; each test file still includes
// what it uses, so it compiles the same without it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>
