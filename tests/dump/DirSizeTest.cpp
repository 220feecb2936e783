#include "dump/DirSize.h"

#include <android/log.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "tests/dump/DumpTestSupport.h"

namespace ornak {
namespace xel {
namespace {

namespace fs = std::filesystem;
using lyrd_test::LogCapture;
using lyrd_test::LogRecord;
using lyrd_test::TempDir;

TEST(DirSize, AddsFilesAtEveryDepthAndLinksWithTheirTargetsSize) {
    TempDir dir;
    dir.write("tree/ten", "0123456789");
    dir.write("tree/a/b/five", "12345");
    dir.write("outside/hundred", std::string(100, 'x'));
    fs::create_symlink("ten", dir.file("tree/link-to-ten"));
    fs::create_symlink(dir.file("outside"), dir.file("tree/a/link-to-folder"));
    fs::create_symlink("missing", dir.file("tree/dangling"));
    struct stat folder;
    ASSERT_EQ(0, stat(dir.file("outside").c_str(), &folder));
    std::string saved = fs::current_path().string();
    ASSERT_EQ(0, chdir(dir.path().c_str()));
    LogCapture log;

    int64_t total = 7;
    getDirSize("tree", total);
    std::string after = fs::current_path().string();
    ASSERT_EQ(0, chdir(saved.c_str()));

    // The folder link counts as its target's own size; what it holds does not.
    EXPECT_EQ(7 + 10 + 10 + 5 + folder.st_size, total);
    EXPECT_EQ(dir.path(), after);
    EXPECT_TRUE(log.records().empty());
}

TEST(DirSize, MissingFolderIsLoggedAsGivenAndHugeFilesDoNotWrap) {
    TempDir dir;
    LogCapture log;
    int64_t total = 3;
    getDirSize(dir.file("nope").c_str(), total);
    getDirSize("", total);
    EXPECT_EQ(3, total);
    const std::string tag = "LyrDebugService";
    EXPECT_EQ((std::vector<LogRecord>{{ANDROID_LOG_ERROR, tag,
                                       "cannot open directory: " + dir.file("nope") + "\n "},
                                      {ANDROID_LOG_ERROR, tag, "cannot open directory: \n "}}),
              log.records());

    ASSERT_TRUE(makeSparseFile(dir.file("big1"), int64_t{3} << 30));
    ASSERT_TRUE(makeSparseFile(dir.file("big2"), int64_t{3} << 30));
    total = 0;
    getDirSize(dir.path().c_str(), total);
    EXPECT_EQ(int64_t{6} << 30, total);
}

// Root opens any folder, so the walk runs in a child that gave up root.
TEST(DirSize, UnreadableSubfolderIsLoggedByItsNameAndSkipped) {
    TempDir dir;
    dir.write("top/locked/hidden", std::string(50, 'h'));
    dir.write("top/seen", "abc");
    ASSERT_EQ(0, chmod(dir.path().c_str(), 0755));
    ASSERT_EQ(0, chmod(dir.file("top/locked").c_str(), 0));

    pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
        if (geteuid() == 0 &&
            (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)) {
            _exit(10);
        }
        LogCapture log;
        int64_t total = 0;
        getDirSize(dir.file("top").c_str(), total);
        bool logged = log.records() == std::vector<LogRecord>{{ANDROID_LOG_ERROR, "LyrDebugService",
                                                               "cannot open directory: locked\n "}};
        _exit(total != 3 ? 11 : logged ? 0 : 12);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    chmod(dir.file("top/locked").c_str(), 0700);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status)) << "10: could not drop root, 11: wrong total, 12: log";
}

}  // namespace
}  // namespace xel
}  // namespace ornak
