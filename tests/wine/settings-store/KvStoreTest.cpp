#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "ErrorOf.h"
#include "KvStore.h"
#include "RegistryKey.h"
#include "WinePaths.h"

using kv::TKvRegistryStore;
using namespace testing_support;

namespace {

const char kKey[] = "Software\\VelunorStoreTest";

class KvStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegTree(HKEY_LOCAL_MACHINE, kKey);
        DeleteRegTree(HKEY_CURRENT_USER, kKey);
        store.RegistryRoot = kv::rrLocalMachine;
        store.SetKeyName(kKey);
    }
    void TearDown() override {
        store.Close();
        DeleteRegTree(HKEY_LOCAL_MACHINE, kKey);
        DeleteRegTree(HKEY_CURRENT_USER, kKey);
    }
    static std::string Section(const std::string& s) { return std::string(kKey) + "\\" + s; }
    TKvRegistryStore store;
};

}  // namespace

TEST_F(KvStoreTest, KeyNameDropsOuterBackslashesAndFallsBackToProgramName) {
    TKvRegistryStore s;
    EXPECT_EQ(s.GetKeyName(), "Software\\settings_store_tests");
    s.SetKeyName("\\\\Software\\KAVI\\");
    EXPECT_EQ(s.GetKeyName(), "Software\\KAVI");
    s.SetKeyName("\\\\Software\\KAVI\\");
    EXPECT_EQ(s.GetKeyName(), "Software\\KAVI");
}

TEST_F(KvStoreTest, CountedBracket) {
    store.Open();
    store.Open();
    store.Close();
    EXPECT_EQ(store.OpenCount(), 1);
    EXPECT_TRUE(store.HasStoreKey());
    store.Close();
    EXPECT_EQ(store.OpenCount(), 0);
    EXPECT_FALSE(store.HasStoreKey());
    store.Close();
    EXPECT_EQ(store.OpenCount(), 0);
}

TEST_F(KvStoreTest, OpeningAlsoMakesTheKeyBelowCurrentUser) {
    store.Open();
    ASSERT_EQ(velfw::RegistryKey().Open(HKEY_CURRENT_USER, kKey, KEY_READ), ERROR_SUCCESS);
    ASSERT_EQ(velfw::RegistryKey().Open(HKEY_LOCAL_MACHINE, kKey, KEY_READ), ERROR_SUCCESS);
}

TEST_F(KvStoreTest, ReadsTable) {
    SetRegString(HKEY_LOCAL_MACHINE, Section("Velunor"), "Base", "c:\\Apps\\");
    SetRegString(HKEY_LOCAL_MACHINE, Section("Velunor"), "Empty", "");
    SetRegString(HKEY_LOCAL_MACHINE, Section("Velunor"), "Expand", "%WINDIR%\\x", REG_EXPAND_SZ);
    SetRegString(HKEY_LOCAL_MACHINE, Section("Deep\\Er"), "Item", "deep");
    store.Open();
    struct Row {
        const char* section;
        const char* item;
        const char* expected;
    } rows[] = {
        {"Velunor", "Base", "c:\\Apps\\"},
        {"Velunor", "Empty", ""},              // existing and empty: not the default
        {"Velunor", "Expand", "%WINDIR%\\x"},  // returned as stored
        {"Velunor", "Missing", "<default>"},
        {"NoSuchSection", "Base", "<default>"},
        {"Deep\\Er", "Item", "deep"},
        {"\\Software\\VelunorStoreTest\\Velunor", "Base", "c:\\Apps\\"},  // leading backslash: below the root
    };
    for (const Row& r : rows) EXPECT_EQ(store.ReadString(r.section, r.item, "<default>"), r.expected) << r.item;
}

TEST_F(KvStoreTest, WrongTypeAndUnterminatedValues) {
    SetRegDword(HKEY_LOCAL_MACHINE, Section("Velunor"), "Number", 5);
    // Eight bytes with no NUL anywhere, and a NUL in the middle.
    std::string longText(10000, 'x');
    {
        velfw::RegistryKey k;
        ASSERT_EQ(k.Create(HKEY_LOCAL_MACHINE, Section("Velunor"), KEY_ALL_ACCESS), ERROR_SUCCESS);
        ::RegSetValueExA(k.Get(), "Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>("ABCDEFGH"), 8);
        ::RegSetValueExA(k.Get(), "Cut", 0, REG_SZ, reinterpret_cast<const BYTE*>("AB\0CD"), 5);
        ::RegSetValueExA(k.Get(), "Long", 0, REG_SZ, reinterpret_cast<const BYTE*>(longText.c_str()), 10001);
    }
    SetRegBytes(HKEY_LOCAL_MACHINE, Section("Velunor"), "NoBytes", REG_BINARY, "");

    store.Open();
    EXPECT_EQ(ErrorOf([&] { store.ReadString("Velunor", "Number", ""); }), "Invalid data type for 'Number'");
    EXPECT_EQ(store.ReadString("Velunor", "NoBytes", "<default>"), "") << "no bytes read as empty text, of any type";
    EXPECT_EQ(store.ReadString("Velunor", "Raw", ""), "ABCDEFGH");
    EXPECT_EQ(store.ReadString("Velunor", "Cut", ""), "AB");
    EXPECT_EQ(store.ReadString("Velunor", "Long", ""), longText);
}

TEST_F(KvStoreTest, WriteCreatesSectionAndStoresTerminatedString) {
    store.Open();
    store.WriteString("New\\Section", "Ravad", "A");
    velfw::RegistryKey k;
    ASSERT_EQ(k.Open(HKEY_LOCAL_MACHINE, Section("New\\Section"), KEY_READ), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    char data[8] = {};
    size = sizeof data;
    ASSERT_EQ(::RegQueryValueExA(k.Get(), "Ravad", nullptr, &type, reinterpret_cast<BYTE*>(data), &size), ERROR_SUCCESS);
    k.Close();
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 2u);
    EXPECT_STREQ(data, "A");
    EXPECT_EQ(store.ReadString("New\\Section", "Ravad", ""), "A");
}

namespace {

// Replaces the store's registry query for one test. Each call is answered
// by `answer` with the number of the call (from 1).
struct ScopedQuery {
    static std::function<LONG(int call, HKEY, LPCSTR, LPDWORD, LPBYTE, LPDWORD)> answer;
    static int calls;
    static LONG WINAPI Query(HKEY k, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
        return answer(++calls, k, name, type, data, size);
    }
    explicit ScopedQuery(decltype(answer) a) {
        answer = std::move(a);
        calls = 0;
        velfw::QueryRegistryValue = Query;
    }
    ~ScopedQuery() { velfw::QueryRegistryValue = ::RegQueryValueExA; }
};
decltype(ScopedQuery::answer) ScopedQuery::answer;
int ScopedQuery::calls = 0;

}  // namespace

TEST_F(KvStoreTest, FailedQueriesAndValuesThatKeepGrowing) {
    SetRegString(HKEY_LOCAL_MACHINE, Section("Velunor"), "Base", "c:\\x\\");
    store.Open();
    {
        // The key went away between the open and the read.
        ScopedQuery q([](int, HKEY, LPCSTR, LPDWORD, LPBYTE, LPDWORD) -> LONG { return ERROR_KEY_DELETED; });
        EXPECT_EQ(ErrorOf([&] { store.ReadString("Velunor", "Base", "d"); }), "Failed to get data for 'Base'");
    }
    {
        // The size query works, the read fails.
        ScopedQuery q([](int call, HKEY k, LPCSTR n, LPDWORD t, LPBYTE d, LPDWORD s) -> LONG {
            return call == 1 ? ::RegQueryValueExA(k, n, nullptr, t, d, s) : ERROR_ACCESS_DENIED;
        });
        EXPECT_EQ(ErrorOf([&] { store.ReadString("Velunor", "Base", "d"); }), "Failed to get data for 'Base'");
    }
    {
        // Grown once between the two queries: read again with the new size.
        ScopedQuery q([](int call, HKEY k, LPCSTR n, LPDWORD t, LPBYTE d, LPDWORD s) -> LONG {
            if (call == 2) {
                *s += 10;
                return ERROR_MORE_DATA;
            }
            return ::RegQueryValueExA(k, n, nullptr, t, d, s);
        });
        EXPECT_EQ(store.ReadString("Velunor", "Base", "d"), "c:\\x\\");
        EXPECT_EQ(ScopedQuery::calls, 3);
    }
    {
        // Growing at every read: given up, not read for ever.
        ScopedQuery q([](int call, HKEY k, LPCSTR n, LPDWORD t, LPBYTE d, LPDWORD s) -> LONG {
            if (call == 1) return ::RegQueryValueExA(k, n, nullptr, t, d, s);
            *s += 10;
            return ERROR_MORE_DATA;
        });
        EXPECT_EQ(ErrorOf([&] { store.ReadString("Velunor", "Base", "d"); }), "Failed to get data for 'Base'");
    }
}

TEST_F(KvStoreTest, ValueThatCannotBeSet) {
    // The registry refuses value names longer than 16383 characters.
    const std::string name(20000, 'n');
    store.Open();
    EXPECT_EQ(ErrorOf([&] { store.WriteString("Velunor", name, "x"); }), "Failed to set data for '" + name + "'");
}

TEST_F(KvStoreTest, KeysThatCannotBeCreated) {
    // Below a volatile key only volatile keys can be made.
    const std::string vol = std::string(kKey) + "\\Volatile";
    ASSERT_EQ(velfw::RegistryKey().Create(HKEY_LOCAL_MACHINE, kKey, KEY_ALL_ACCESS), ERROR_SUCCESS);
    ASSERT_EQ(velfw::RegistryKey().Create(HKEY_LOCAL_MACHINE, vol, KEY_ALL_ACCESS, REG_OPTION_VOLATILE),
              ERROR_SUCCESS);

    // A section that cannot be made below a store on the volatile key.
    TKvRegistryStore onVolatile;
    onVolatile.RegistryRoot = kv::rrLocalMachine;
    onVolatile.SetKeyName(vol);
    onVolatile.Open();
    EXPECT_EQ(ErrorOf([&] { onVolatile.WriteString("Sub", "Item", "x"); }), "Failed to create key Sub");
    onVolatile.Close();

    // A store whose own key cannot be made: counted open, defaults, failing writes.
    TKvRegistryStore unreachable;
    unreachable.RegistryRoot = kv::rrLocalMachine;
    unreachable.SetKeyName(vol + "\\Store");
    unreachable.Open();
    EXPECT_EQ(unreachable.OpenCount(), 1);
    EXPECT_FALSE(unreachable.HasStoreKey());
    EXPECT_EQ(unreachable.ReadString("Velunor", "Base", "dflt"), "dflt");
    EXPECT_EQ(ErrorOf([&] { unreachable.WriteString("Velunor", "Base", "x"); }), "Failed to create key Velunor");
    unreachable.EraseSection("Velunor");
    unreachable.Close();
}

TEST_F(KvStoreTest, RootChangeTakesEffectAtNextOpening) {
    SetRegString(HKEY_LOCAL_MACHINE, Section("S"), "I", "machine");
    SetRegString(HKEY_CURRENT_USER, Section("S"), "I", "user");
    store.Open();
    store.RegistryRoot = kv::rrCurrentUser;
    EXPECT_EQ(store.ReadString("S", "I", ""), "machine");
    store.Close();
    store.Open();
    EXPECT_EQ(store.ReadString("S", "I", ""), "user");
}

TEST_F(KvStoreTest, EraseSectionRemovesTheTree) {
    SetRegString(HKEY_LOCAL_MACHINE, Section("Gone\\A\\B"), "x", "1");
    SetRegString(HKEY_LOCAL_MACHINE, Section("Gone\\C"), "y", "2");
    SetRegString(HKEY_LOCAL_MACHINE, Section("Kept"), "z", "3");
    store.Open();
    store.EraseSection("Gone");
    EXPECT_NE(velfw::RegistryKey().Open(HKEY_LOCAL_MACHINE, Section("Gone"), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(store.ReadString("Kept", "z", ""), "3");
}

TEST(KvComponent, AboutIsFixed) {
    TKvRegistryStore s;
    s.SetAbout("v9");
    EXPECT_EQ(s.About(), "v3.08");
}
