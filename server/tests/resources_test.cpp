// The module's resources: the message texts and the version information.
#include <cstring>
#include <string>

#include "client_support.h"

namespace corvane::server::test {
namespace {

HMODULE Module() {
    const char* path = std::getenv("CORVANE_SERVER_DLL");
    return path != nullptr ? LoadLibraryA(path) : nullptr;
}

TEST(Resources, StringTableHoldsTheCatalogue) {
    HMODULE module = Module();
    ASSERT_NE(nullptr, module);
    char text[1024];
#define CORVANE_MESSAGE(number, expected)                                        \
    EXPECT_LT(0, LoadStringA(module, number, text, sizeof text)) << number;      \
    EXPECT_STREQ(expected, text);
#include "core/messages.def"
#undef CORVANE_MESSAGE
    EXPECT_EQ(0, LoadStringA(module, 1300, text, sizeof text));
    EXPECT_EQ(0, LoadStringA(module, 1322, text, sizeof text));
    FreeLibrary(module);
}

TEST(Resources, VersionInformation) {
    const char* path = std::getenv("CORVANE_SERVER_DLL");
    ASSERT_NE(nullptr, path);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_LT(0u, size);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);
    EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed->dwFileOS);
    for (const char* name : {"InternalName", "OriginalFilename"}) {
        char* value = nullptr;
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) << name;
        EXPECT_STREQ("CorvaneMatrix30.dll", value);
    }
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    EXPECT_EQ(0x409, translation[0]);
    EXPECT_EQ(1200, translation[1]);
}

}  // namespace
}  // namespace corvane::server::test
