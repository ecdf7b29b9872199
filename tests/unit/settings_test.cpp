#include "base/settings.h"

#include <gtest/gtest.h>

#include "base/process_state.h"

TEST(Settings, ConfigFileSitsBesideTheProgram) {
    EXPECT_EQ(ConfigPathForProgram("C:\\Tools\\plotter.exe"), "C:\\Tools\\plotter.cfg");
    // Only the last four characters are replaced, whatever they are.
    EXPECT_EQ(ConfigPathForProgram("C:\\Tools\\KT4180.EXE"), "C:\\Tools\\KT4180.cfg");
    EXPECT_EQ(ConfigPathForProgram("abc"), "abc.cfg");
}

TEST(Settings, RegistryKeyIsNamedAfterTheProgramFile) {
    EXPECT_EQ(RegistryKeyName("C:\\Tools\\plotter.exe", "Ini"), "plotter\\Ini");
    EXPECT_EQ(RegistryKeyName("D:\\a.b\\X.exe", "Ini"), "X\\Ini");
    EXPECT_EQ(RegistryKeyName("C:\\my.tool.v2.exe", "Ini"), "my.tool.v2\\Ini");
    EXPECT_EQ(ProgramBaseName("KT4180"), "KT4180");
}

TEST(AppState, RegisterImageStartsUnknown) {
    AllocateRegisterImage();
    EXPECT_EQ(App.RegisterImage[0].load(), -1);
    EXPECT_EQ(App.RegisterImage[kRegisterImageSize - 1].load(), -1);
    App.RegisterImage[12].store(31);
    AllocateRegisterImage();
    EXPECT_EQ(App.RegisterImage[12].load(), -1);
}
