#include "base/settings_win.h"

#include <gtest/gtest.h>

#include "base/files_win.h"
#include "base/process_state.h"
#include "base/settings.h"
#include "tests/win/win_test_util.h"

namespace {

std::string WinIniPath() {
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\win.ini";
}

}  // namespace

TEST(Settings, WinIniSectionRoundTrips) {
    WriteProfileValue("pltfile", "C:\\Plots\\Gr\xF6\xDF" "e.plt");
    EXPECT_EQ(ReadProfileValue("pltfile", ""), "C:\\Plots\\Gr\xF6\xDF" "e.plt");
    // Stored where other programs and the user find it: win.ini, section KTXPLT, CR LF lines.
    const std::string ini = ReadFileBytes(WinIniPath());
    EXPECT_NE(ini.find("[KTXPLT]\r\n"), std::string::npos);
    EXPECT_NE(ini.find("pltfile=C:\\Plots\\Gr\xF6\xDF" "e.plt\r\n"), std::string::npos);
    WriteProfileStringA("KTXPLT", "pltfile", nullptr);
    EXPECT_EQ(ReadProfileValue("pltfile", "?"), "?");
    // Values are cut to 256 characters.
    WriteProfileValue("save", std::string(300, 'a'));
    EXPECT_EQ(ReadProfileValue("save", "").size(), 256u);
    WriteProfileStringA("KTXPLT", "save", nullptr);
}

TEST(Settings, ConfigFileBesideTheProgram) {
    EXPECT_EQ(ConfigFile(), ConfigPathForProgram(ProgramPath()));
    ASSERT_GT(ConfigFile().size(), 4u);
    EXPECT_EQ(ConfigFile().substr(ConfigFile().size() - 4), ".cfg");
    DeleteFileA(ConfigFile().c_str());
    EXPECT_EQ(ReadConfigValue("pos", "lmw", "9,9", 98), "9,9");
    ASSERT_TRUE(WriteConfigValue("pos", "lmw", " 120, 80"));
    // The profile functions drop leading blanks of a value when reading.
    EXPECT_EQ(ReadConfigValue("pos", "lmw", "9,9", 98), "120, 80");
    // Windows keeps the leading blank in the file, Wine drops it; both read back the same.
    const std::string file = ReadFileBytes(ConfigFile());
    EXPECT_TRUE(file == "[pos]\r\nlmw= 120, 80\r\n" || file == "[pos]\r\nlmw=120, 80\r\n") << file;
    EXPECT_EQ(ReadConfigValue("files", "lang", "default.lan"), "default.lan");
    DeleteFileA(ConfigFile().c_str());
}

TEST(Settings, RegistryValueUnderTheProgramsKey) {
    const std::string program = "C:\\Somewhere\\X.exe";
    WriteRegistryValue("Ini", "fcomport", " 3", program);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_CLASSES_ROOT, "X\\Ini", &key), ERROR_SUCCESS);
    char buf[32] = {};
    DWORD size = sizeof buf, type = 0;
    ASSERT_EQ(RegQueryValueExA(key, "fcomport", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(buf, " 3");
    EXPECT_EQ(ReadRegistryValue("Ini", "fcomport", "", 25, program), " 3");
    // Missing value or key: the default.
    EXPECT_EQ(ReadRegistryValue("Ini", "nothing", "d", 25, program), "d");
    EXPECT_EQ(ReadRegistryValue("Ini", "fcomport", "d", 25, "C:\\Y.exe"), "d");
    // A value longer than the buffer does not fit: the default too.
    WriteRegistryValue("Ini", "long", std::string(40, '7'), program);
    EXPECT_EQ(ReadRegistryValue("Ini", "long", "d", 25, program), "d");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "X\\Ini");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "X");
}

TEST(Settings, RefusedClassesRootFallsBackToTheUsersClasses) {
    // A root that cannot be written stands in for the classes root of a standard user.
    EXPECT_FALSE(WriteRegistryValueUnder(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7ffffff0)), "X\\Ini",
                                         "fcomport", " 5"));
    WriteRegistryValueWithFallback(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7ffffff0)), "KtFallbackTest\\Ini",
                                   "fcomport", " 5");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Classes\\KtFallbackTest\\Ini", &key), ERROR_SUCCESS);
    char buf[32] = {};
    DWORD size = sizeof buf;
    EXPECT_EQ(RegQueryValueExA(key, "fcomport", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(buf, " 5");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\KtFallbackTest\\Ini");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Classes\\KtFallbackTest");
}

TEST(Settings, CurrentDirectoryHasNoTrailingBackslash) {
    char old[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, old);
    SetCurrentDirectoryA("C:\\");
    EXPECT_EQ(CurrentDirectory(), "C:");
    SetCurrentDirectoryA("C:\\windows");
    EXPECT_EQ(CurrentDirectory(), "C:\\windows");
    SetCurrentDirectoryA(old);
}
