// The releasing owner and the out-of-memory policy of factories.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <utility>

#include "host/basilo/makeornull.h"
#include "host/basilo/releaseptr.h"
#include "tests/support/logmark.h"

namespace {

using md::test::LogMark;

// An object that ends with Release, counting how often that happened.
class Counted {
 public:
  explicit Counted(int* releases) : releases_(releases) {}
  void Release() {
    ++*releases_;
    delete this;
  }

 private:
  ~Counted() = default;
  int* releases_;
};

TEST(ReleasePtr, ReleasesOnceOnScopeExitResetAndReplacement) {
  int releases = 0;
  {
    md::basilo::ReleasePtr<Counted> p(new Counted(&releases));
    EXPECT_EQ(releases, 0);
  }
  EXPECT_EQ(releases, 1);

  md::basilo::ReleasePtr<Counted> p(new Counted(&releases));
  p.reset(new Counted(&releases));  // the first one goes
  EXPECT_EQ(releases, 2);
  md::basilo::ReleasePtr<Counted> q = std::move(p);  // ownership moves, nothing released
  EXPECT_EQ(releases, 2);
  EXPECT_EQ(p, nullptr);
  q.reset();
  EXPECT_EQ(releases, 3);
  q.reset();  // holding nothing releases nothing
  EXPECT_EQ(releases, 3);
}

TEST(ReleasePtr, ReleaseHandsOwnershipBack) {
  int releases = 0;
  md::basilo::ReleasePtr<Counted> p(new Counted(&releases));
  Counted* raw = p.release();
  EXPECT_EQ(releases, 0);
  raw->Release();
  EXPECT_EQ(releases, 1);
}

struct Plain {
  Plain(int a, std::string b) : value(a), text(std::move(b)) {}
  int value;
  std::string text;
};

struct Hungry {
  Hungry() { throw std::bad_alloc(); }
};

TEST(MakeOrNull, MakesTheObjectWithItsArguments) {
  LogMark mark;
  Plain* p = md::basilo::MakeOrNull<Plain>("GIS_CreatePlain", 7, "seven");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->value, 7);
  EXPECT_EQ(p->text, "seven");
  delete p;
  EXPECT_EQ(mark.Count(), 0u);
}

TEST(MakeOrNull, AFailedAllocationInTheConstructorBecomesNullWithARecord) {
  LogMark mark;
  EXPECT_EQ(md::basilo::MakeOrNull<Hungry>("GIS_CreateHungry"), nullptr);
  const auto records = mark.Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].level, 3);
  EXPECT_EQ(records[0].method, "GIS_CreateHungry");
  EXPECT_EQ(records[0].text, "out of memory");
  EXPECT_EQ(records[0].sourcePath, "tests/host/basilo/test_ownership.cpp");  // where the factory is named
}

}  // namespace
