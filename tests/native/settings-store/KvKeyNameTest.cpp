#include <gtest/gtest.h>

#include "KvKeyName.h"

TEST(KvKeyName, OuterBackslashesGoInnerStay) {
    struct Row {
        const char* in;
        const char* out;
    } rows[] = {
        {"\\\\Software\\KAVI\\", "Software\\KAVI"},
        {"Software\\KAVI", "Software\\KAVI"},
        {"\\", ""},
        {"\\\\\\", ""},
        {"", ""},
        {"a\\\\b", "a\\\\b"},
    };
    for (const Row& r : rows) EXPECT_EQ(kv::StripOuterBackslashes(r.in), r.out) << r.in;
}

TEST(KvKeyName, FallBackNameIsProgramNameBelowSoftware) {
    EXPECT_EQ(kv::DefaultKeyName("C:\\Tools\\KAVIst.exe"), "Software\\KAVIst");
    EXPECT_EQ(kv::DefaultKeyName("C:\\my.tools\\Velunor.scr"), "Software\\Velunor");
    EXPECT_EQ(kv::DefaultKeyName("plain"), "Software\\plain");
}
