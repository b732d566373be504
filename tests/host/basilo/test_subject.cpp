#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/basilo/igis_subject.h"
#include "tests/support/onthreads.h"

namespace {

// An observer that records what it heard in a shared journal and can run an
// action inside its Update.
class Recorder : public IGIS_Observer {
 public:
  Recorder(std::string name, std::vector<std::string>* journal) : name_(std::move(name)), journal_(journal) {}
  void Update(const char* message, int argument, IGIS_Element* sender) override {
    journal_->push_back(name_ + ":" + message + ":" + std::to_string(argument) +
                        (sender == nullptr ? "" : ":sender"));
    if (action) action();
  }
  std::function<void()> action;

 private:
  std::string name_;
  std::vector<std::string>* journal_;
};

struct SubjectFixture : ::testing::Test {
  IGIS_Subject* subject = GIS_CreateSubjectObject();
  std::vector<std::string> journal;
  Recorder a{"a", &journal}, b{"b", &journal}, c{"c", &journal};
  void TearDown() override {
    if (subject != nullptr) GIS_ReleaseSubjectObject(subject);
  }
};

TEST_F(SubjectFixture, NotifiesInAttachOrderOncePerObserver) {
  ASSERT_NE(subject, nullptr);
  EXPECT_TRUE(subject->Attach(&c, 0));
  EXPECT_TRUE(subject->Attach(&a, 0));
  EXPECT_TRUE(subject->Attach(&b, 0));
  EXPECT_FALSE(subject->Attach(&a, 0));  // already attached
  EXPECT_FALSE(subject->Attach(nullptr, 0));
  auto* sender = reinterpret_cast<IGIS_Element*>(&journal);  // never dereferenced
  subject->Notify("GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED", 5, sender);
  EXPECT_EQ(journal, (std::vector<std::string>{"c:GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED:5:sender",
                                               "a:GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED:5:sender",
                                               "b:GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED:5:sender"}));
  journal.clear();
  EXPECT_TRUE(subject->Detach(&a, 0));
  EXPECT_FALSE(subject->Detach(&a, 0));
  subject->Notify("M", 0, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"c:M:0", "b:M:0"}));
  journal.clear();
  subject->DetachAll();
  subject->Notify("M", 0, nullptr);
  EXPECT_TRUE(journal.empty());
}

TEST_F(SubjectFixture, ObserverDetachingItselfDuringNotify) {
  subject->Attach(&a, 0);
  subject->Attach(&b, 0);
  subject->Attach(&c, 0);
  b.action = [&] { subject->Detach(&b, 0); };
  subject->Notify("M", 1, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"a:M:1", "b:M:1", "c:M:1"}));
  journal.clear();
  subject->Notify("M", 2, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"a:M:2", "c:M:2"}));
}

TEST_F(SubjectFixture, DetachingAnotherOrAttachingDuringNotify) {
  subject->Attach(&a, 0);
  subject->Attach(&b, 0);
  subject->Attach(&c, 0);
  Recorder d{"d", &journal};
  // a detaches c (not yet reached: skipped) and attaches d (hears the next message).
  a.action = [&] {
    subject->Detach(&c, 0);
    subject->Attach(&d, 0);
    a.action = nullptr;
  };
  subject->Notify("M", 1, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"a:M:1", "b:M:1"}));
  journal.clear();
  subject->Notify("M", 2, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"a:M:2", "b:M:2", "d:M:2"}));
  journal.clear();
  // DetachAll inside Update stops the walk.
  a.action = [&] { subject->DetachAll(); };
  subject->Notify("M", 3, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"a:M:3"}));
}

TEST_F(SubjectFixture, NestedNotifyAndReleaseDuringNotify) {
  subject->Attach(&a, 0);
  subject->Attach(&b, 0);
  // a forwards a second message from inside its Update, then b releases the
  // subject: the walk ends cleanly and the subject is gone afterwards.
  a.action = [&] {
    a.action = nullptr;
    subject->Notify("inner", 0, nullptr);
  };
  b.action = [&] {
    if (journal.size() == 3) {
      GIS_ReleaseSubjectObject(subject);
      subject = nullptr;
    }
  };
  IGIS_Subject* s = subject;
  s->Notify("outer", 0, nullptr);
  EXPECT_EQ(journal, (std::vector<std::string>{"a:outer:0", "a:inner:0", "b:inner:0"}));
  EXPECT_EQ(subject, nullptr);
}

// Frames of pages on several threads attach to their map and detach, while a
// thread notifies: every observer left is kept once, none detached is told.
TEST_F(SubjectFixture, ObserversAttachedAndDetachedFromSeveralThreadsAtOnce) {
  ASSERT_NE(subject, nullptr);
  struct Counter : IGIS_Observer {
    int heard = 0;
    void Update(const char*, int, IGIS_Element*) override { ++heard; }
  };
  constexpr int kThreads = 4, kEach = 200;
  std::vector<Counter> counters(kThreads * kEach);
  md::test::OnThreads(kThreads + 1, [&](int t) {
    for (int i = 0; t == kThreads && i < kEach; ++i) subject->Notify("M", 0, nullptr);  // the last notifies
    for (int i = 0; t < kThreads && i < kEach; ++i) EXPECT_TRUE(subject->Attach(&counters[t * kEach + i], 0));
    for (int i = 0; t < kThreads && i < kEach; i += 2)
      EXPECT_TRUE(subject->Detach(&counters[t * kEach + i], 0));
  });
  for (Counter& c : counters) c.heard = 0;
  subject->Notify("M", 0, nullptr);
  for (std::size_t i = 0; i < counters.size(); ++i) EXPECT_EQ(counters[i].heard, i % 2) << "observer " << i;
}

}  // namespace
