// Whole-file writes: leftovers of a killed run are recognised and removed,
// and a write beyond the file-size limit is a reported failure.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "platform/FileWrite.h"
#include "support/TestFolders.h"

namespace {

namespace fs = std::filesystem;

// A process id that runs no process: a child that has been waited for.
pid_t GonePid() {
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    int status = 0;
    waitpid(pid, &status, 0);
    return pid;
}

TEST(FileWrite, LeftoversOfDeadRunsAreRemovedAndNothingElse) {
    const fs::path dir = zbr_test::FreshTestDir("filewrite");
    const std::string gone = std::to_string(GonePid());
    const std::string mine = std::to_string(getpid());
    const std::string parent = std::to_string(getppid());
    for (const std::string& name : std::initializer_list<std::string>
         {".zbr.ini.zbrtmp" + gone + "_1", ".ГРС-1_day.xlsx.zbrtmp" + gone + "_17",   // a dead run's
          ".rd_arh.ini.zbrtmp" + mine + "_3", ".objects.ini.zbrtmp" + parent + "_2",   // running processes'
          "zbr.ini", ".hidden", ".x.zbrtmp", ".x.zbrtmp12", ".x.zbrtmp_3", ".x.zbrtmp1a_2",
          ".x.zbrtmp" + gone + "_", "report.zbrtmp" + gone + "_1"})
        zbr_test::WriteBytes((dir / name).string(), "x");
    fs::create_directory(dir / (".folder.zbrtmp" + gone + "_1"));

    EXPECT_EQ(platform::RemoveLeftoverTempFiles(dir.string()), 2);
    EXPECT_FALSE(fs::exists(dir / (".zbr.ini.zbrtmp" + gone + "_1")));
    EXPECT_FALSE(fs::exists(dir / (".ГРС-1_day.xlsx.zbrtmp" + gone + "_17")));
    EXPECT_EQ(zbr_test::FileCount(dir.string()), 11);
    EXPECT_EQ(platform::RemoveLeftoverTempFiles((dir / "missing").string()), 0);
}

TEST(FileWrite, TempNamesFollowThePatternTheCleanerKnows) {
    const std::string a = platform::TempFileBeside("/some/dir/zbr.ini");
    const std::string b = platform::TempFileBeside("/some/dir/zbr.ini");
    EXPECT_NE(a, b);
    EXPECT_EQ(a.rfind("/some/dir/.zbr.ini.zbrtmp" + std::to_string(getpid()) + "_", 0), 0u) << a;
    EXPECT_EQ(platform::TempFileBeside("plain").rfind("./.plain.zbrtmp", 0), 0u);
}

TEST(FileWrite, WriteBeyondTheFileSizeLimitIsAFailureAndKeepsTheOldFile) {
    const fs::path dir = zbr_test::FreshTestDir("filewrite");
    const std::string path = (dir / "big.dat").string();
    zbr_test::WriteBytes(path, "old contents");
    // In a child, so that the limit and the signal's disposition stay there.
    const pid_t pid = fork();
    if (pid == 0) {
        platform::IgnoreFileSizeSignal();
        rlimit lim{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &lim);
        std::string why;
        const auto r = platform::WriteWholeFile(path, std::string(100000, 'x'), &why);
        _exit(r == platform::WriteResult::WriteFailed && !why.empty() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the child was killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(zbr_test::ReadBytes(path), "old contents");
    EXPECT_EQ(zbr_test::FileCount(dir.string()), 1);
}

}  // namespace
