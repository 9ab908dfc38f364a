#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Classes.h"

using namespace velfw;

namespace {

std::vector<std::string>* g_log = nullptr;

class Probe : public TComponent {
public:
    Probe(TComponent* owner, const std::string& name) : TComponent(owner) { Name = name; }
    ~Probe() override { if (g_log) g_log->push_back("free " + Name); }
    TComponent* Watched = nullptr;
    bool WasLoading = false;

protected:
    void Loaded() override {
        WasLoading = IsLoading();
        TComponent::Loaded();
        if (g_log) g_log->push_back("loaded " + Name);
    }
    void Notification(TComponent* c, TOperation op) override {
        if (op == TOperation::opInsert && g_log) g_log->push_back(Name + " hears of " + c->Name);
        if (op == TOperation::opRemove && c == Watched) {
            Watched = nullptr;
            if (g_log) g_log->push_back(Name + " forgets " + c->Name);
        }
    }
};

struct LogScope {
    std::vector<std::string> log;
    LogScope() { g_log = &log; }
    ~LogScope() { g_log = nullptr; }
};

}  // namespace

TEST(Component, OwnerFreesOwnedLastFirst) {
    LogScope s;
    auto* root = new Probe(nullptr, "root");
    new Probe(root, "a");
    auto* b = new Probe(root, "b");
    new Probe(b, "b1");
    EXPECT_EQ(root->ComponentCount(), 2);
    EXPECT_EQ(root->FindComponent("B"), b);
    delete root;
    // Each destructor body runs before its owned components go, last first.
    EXPECT_EQ(s.log, (std::vector<std::string>{"free root", "free b", "free b1", "free a"}));
}

TEST(Component, FreeingAChildRemovesItFromItsOwner) {
    auto* root = new Probe(nullptr, "root");
    auto* a = new Probe(root, "a");
    delete a;
    EXPECT_EQ(root->ComponentCount(), 0);
    delete root;
}

TEST(Component, FreeNotificationClearsReferences) {
    LogScope s;
    Probe holder(nullptr, "holder");
    auto* target = new Probe(nullptr, "target");
    holder.Watched = target;
    holder.FreeNotification(target);
    delete target;
    EXPECT_EQ(holder.Watched, nullptr);
    EXPECT_EQ(s.log, (std::vector<std::string>{"free target", "holder forgets target"}));
    // And the other way: the holder going first leaves nothing behind in the target.
    auto* holder2 = new Probe(nullptr, "holder2");
    Probe target2(nullptr, "target2");
    holder2->FreeNotification(&target2);
    delete holder2;
}

namespace {

// A component whose arrival its owner's components are told of.
class Joiner : public Probe {
public:
    Joiner(TComponent* owner, const std::string& name) : Probe(owner, name) { AnnounceInsertion(); }
};

}  // namespace

TEST(Component, AnArrivalIsAnnouncedToTheOwnerAndItsOtherComponents) {
    LogScope s;
    Probe root(nullptr, "root");
    auto* a = new Probe(&root, "a");
    new Probe(a, "a1");  // a component of a component: not the owner's
    new Joiner(&root, "j");
    EXPECT_EQ(s.log, (std::vector<std::string>{"root hears of j", "a hears of j"}));
    s.log.clear();
    Joiner alone(nullptr, "alone");
    new Probe(&root, "plain");  // a class that does not announce itself
    EXPECT_TRUE(s.log.empty());
}

TEST(Component, LoadingBracketRunsLoadedInCreationOrderThenRoot) {
    LogScope s;
    Probe root(nullptr, "root");
    root.BeginLoading();
    auto* a = new Probe(&root, "a");
    auto* b = new Probe(a, "b");
    EXPECT_TRUE(a->IsLoading());
    EXPECT_TRUE(b->IsLoading());
    root.EndLoading();
    EXPECT_EQ(s.log, (std::vector<std::string>{"loaded a", "loaded b", "loaded root"}));
    EXPECT_TRUE(a->WasLoading);
    EXPECT_FALSE(a->IsLoading());
    // Created in code after the bracket: keeps defaults, never runs Loaded.
    s.log.clear();
    auto* later = new Probe(&root, "later");
    EXPECT_FALSE(later->IsLoading());
    EXPECT_TRUE(s.log.empty());
}

namespace {

struct MemberProbe {
    std::string name;
    ~MemberProbe() { if (g_log) g_log->push_back("member " + name + " gone"); }
};

// A component with a destroy event, a destructor body and a member of its own.
class Phased : public TComponent {
public:
    Phased(TComponent* owner, const std::string& name) : TComponent(owner), member{name} { Name = name; }
    ~Phased() override { if (g_log) g_log->push_back("body " + Name + " owns " + std::to_string(ComponentCount())); }
    MemberProbe member;

protected:
    void BeforeDestruction() override {
        TComponent::BeforeDestruction();
        if (g_log) g_log->push_back("event " + Name + (IsDestroying() ? " destroying" : ""));
    }
};

}  // namespace

TEST(Component, FreeingRunsTheDestroyEventBeforeAnyDestructor) {
    LogScope s;
    auto* root = new Phased(nullptr, "root");
    auto* a = new Phased(root, "a");
    new Phased(a, "a1");
    TComponent* asBase = root;
    delete asBase;  // through the base, as owners and unique_ptrs do
    EXPECT_EQ(s.log, (std::vector<std::string>{
                         "event root destroying", "body root owns 1", "member root gone",
                         // An owned component freed by its owner runs its destroy event too.
                         "event a destroying", "body a owns 1", "member a gone",
                         "event a1 destroying", "body a1 owns 0", "member a1 gone"}));
}

TEST(Component, ChildFreedOnItsOwnRunsItsEventAndLeavesTheOwner) {
    LogScope s;
    Phased root(nullptr, "root");  // not made with new: no first phase for it, yet its children get theirs
    auto* a = new Phased(&root, "a");
    a->Free();
    EXPECT_EQ(root.ComponentCount(), 0);
    new Phased(&root, "b");
    s.log.clear();
    root.DestroyComponents();
    EXPECT_EQ(s.log, (std::vector<std::string>{"event b destroying", "body b owns 0", "member b gone"}));
}

TEST(StringList, AddDeleteIndexOfText) {
    TStringList l;
    int changes = 0;
    l.OnChange = [&](TStringList&) { ++changes; };
    l.Add("http://a/");
    l.Add("http://B/");
    EXPECT_EQ(l.IndexOf("HTTP://b/"), 1);
    EXPECT_EQ(l.Text(), "http://a/\r\nhttp://B/\r\n");
    l.Delete(0);
    EXPECT_EQ(l.Count(), 1);
    EXPECT_THROW(l.Delete(5), Exception);
    l.SetText("x\ny\r\n");
    EXPECT_EQ(l.Count(), 2);
    EXPECT_EQ(changes, 4);
}
