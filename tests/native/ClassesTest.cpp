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
