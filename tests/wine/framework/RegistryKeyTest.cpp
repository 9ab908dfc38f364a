// The registry key class and its string reader against the real registry:
// what each kind of value reads as, and that a failure leaves the caller's
// output and an open key as they were.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "RegistryKey.h"
#include "WinePaths.h"

using namespace testing_support;
using velfw::RegistryKey;
using velfw::RegistryRead;

namespace {

const char kKey[] = "Software\\VelunorRegistryKeyTest";

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegTree(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { DeleteRegTree(HKEY_CURRENT_USER, kKey); }
};

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }

}  // namespace

TEST_F(RegistryKeyTest, EachKindOfValueReadsAsItsOutcome) {
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;
        RegistryRead read;
        const char* text;  // what the output holds afterwards
    } cases[] = {
        {"Plain", REG_SZ, Bytes("abc", 4), RegistryRead::Text, "abc"},
        {"Unterminated", REG_SZ, Bytes("ABCDEFGH", 8), RegistryRead::Text, "ABCDEFGH"},
        {"Cut", REG_SZ, Bytes("AB\0CD", 5), RegistryRead::Text, "AB"},
        {"Expandable", REG_EXPAND_SZ, Bytes("%WINDIR%\\x", 11), RegistryRead::Text, "%WINDIR%\\x"},
        {"EmptyText", REG_SZ, Bytes("", 0), RegistryRead::Text, ""},
        {"Long", REG_SZ, std::string(5000, 'y') + '\0', RegistryRead::Text, nullptr},
        {"Number", REG_DWORD, Bytes("\x05\0\0\0", 4), RegistryRead::NotText, "<before>"},
        {"Binary", REG_BINARY, Bytes("abc", 3), RegistryRead::NotText, "<before>"},
        {"NoBytes", REG_BINARY, Bytes("", 0), RegistryRead::NoData, "<before>"},
    };
    for (const Case& c : cases) ASSERT_TRUE(SetRegBytes(HKEY_CURRENT_USER, kKey, c.name, c.type, c.bytes)) << c.name;
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, kKey, KEY_READ), ERROR_SUCCESS);
    for (const Case& c : cases) {
        std::string text = "<before>";
        DWORD type = 12345;
        EXPECT_EQ(key.ReadString(c.name, text, &type), c.read) << c.name;
        EXPECT_EQ(text, c.text ? std::string(c.text) : std::string(5000, 'y')) << c.name;
        EXPECT_EQ(type, c.read == RegistryRead::Text ? c.type : 12345u) << c.name;
    }
    std::string text = "<before>";
    EXPECT_EQ(key.ReadString("NoSuchValue", text), RegistryRead::Missing);
    EXPECT_EQ(text, "<before>");
}

TEST_F(RegistryKeyTest, TheDefaultValueIsTheEmptyName) {
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, kKey, "", "default text"));
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, kKey, KEY_READ), ERROR_SUCCESS);
    std::string text;
    EXPECT_EQ(key.ReadString("", text), RegistryRead::Text);
    EXPECT_EQ(text, "default text");
}

TEST_F(RegistryKeyTest, AFailedOpenKeepsTheKeyItHeld) {
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, kKey, "Name", "kept"));
    RegistryKey key;
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, std::string(kKey) + "\\Missing", KEY_READ), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(key);
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, kKey, KEY_READ), ERROR_SUCCESS);
    const HKEY held = key.Get();
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, std::string(kKey) + "\\Missing", KEY_READ), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.Get(), held);
    std::string text;
    EXPECT_EQ(key.ReadString("Name", text), RegistryRead::Text);
    EXPECT_EQ(text, "kept");
}

TEST_F(RegistryKeyTest, WritesTerminatedTextAndDeletesValues) {
    RegistryKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, std::string(kKey) + "\\Made\\Here", KEY_ALL_ACCESS), ERROR_SUCCESS);
    EXPECT_TRUE(key.WriteString("Value", "text"));
    EXPECT_TRUE(key.WriteString("Empty", ""));
    {
        // Read back through the system's query, not the class's reader.
        RegistryKey reopened;
        ASSERT_EQ(reopened.Open(HKEY_CURRENT_USER, std::string(kKey) + "\\Made\\Here", KEY_READ), ERROR_SUCCESS);
        const HKEY raw = reopened.Get();
        DWORD type = 0, size = 0;
        EXPECT_EQ(::RegQueryValueExA(raw, "Value", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(size, 5u);
        EXPECT_EQ(::RegQueryValueExA(raw, "Empty", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(size, 1u);
    }
    EXPECT_TRUE(key.DeleteValue("Value"));
    EXPECT_FALSE(key.DeleteValue("Value"));
    std::string text;
    EXPECT_EQ(key.ReadString("Value", text), RegistryRead::Missing);
}

namespace {

LONG WINAPI RefuseQuery(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) { return ERROR_ACCESS_DENIED; }

// Replaces the value query for one test.
struct ScopedQuery {
    explicit ScopedQuery(velfw::RegistryQueryFunction query) { velfw::QueryRegistryValue = query; }
    ~ScopedQuery() { velfw::QueryRegistryValue = ::RegQueryValueExA; }
};

}  // namespace

TEST_F(RegistryKeyTest, ARefusedQueryLeavesTheOutput) {
    ASSERT_TRUE(SetRegString(HKEY_CURRENT_USER, kKey, "Name", "value"));
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, kKey, KEY_READ), ERROR_SUCCESS);
    ScopedQuery refused(RefuseQuery);
    std::string text = "<before>";
    EXPECT_EQ(key.ReadString("Name", text), RegistryRead::Failed);
    EXPECT_EQ(text, "<before>");
}
