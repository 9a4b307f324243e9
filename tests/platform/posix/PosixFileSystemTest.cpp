// The stored-file rules of the POSIX file system against hostile folders:
// special files, links, oversized files, user-made modes, and the lock across
// processes.
#include "platform/posix/PosixFileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/core/config/ConfigTestSupport.h"

namespace quorix::platform {
namespace {

using quorix::testing::modeOf;
using quorix::testing::readFile;
using quorix::testing::writeFile;

class PosixFileSystemTest : public ::testing::Test {
  protected:
    FileSystem& fs = PosixFileSystem::instance();
    quorix::testing::TempFolder dir;
};

TEST_F(PosixFileSystemTest, ReadsOnlyRegularFilesWithinTheLimitAndNeverBlocks) {
    writeFile(dir / "target.json", "{}");
    ASSERT_EQ(::mkfifo((dir / "fifo.json").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", (dir / "zero.json").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "target.json").c_str(), (dir / "link.json").c_str()), 0);
    std::filesystem::create_directory(dir / "folder.json");
    // Sparse: 64 MiB + 1 byte costs no disk.
    writeFile(dir / "big.json", "");
    std::filesystem::resize_file(dir / "big.json", FileSystem::kStoredFileLimit + 1);

    const struct {
        const char* name;
        LinkPolicy links;
        FileError expected;
    } cases[] = {
        {"target.json", LinkPolicy::refuse, FileError::none},
        {"missing.json", LinkPolicy::refuse, FileError::notFound},
        {"fifo.json", LinkPolicy::refuse, FileError::notRegular},
        {"fifo.json", LinkPolicy::follow, FileError::notRegular},
        {"zero.json", LinkPolicy::refuse, FileError::notRegular},
        {"zero.json", LinkPolicy::follow, FileError::notRegular},
        {"link.json", LinkPolicy::refuse, FileError::notRegular},
        {"link.json", LinkPolicy::follow, FileError::none},
        {"folder.json", LinkPolicy::refuse, FileError::notRegular},
        {"big.json", LinkPolicy::refuse, FileError::tooLarge},
    };
    for (const auto& c : cases) {
        const FileRead read = fs.read(dir / c.name, FileSystem::kStoredFileLimit, c.links);
        EXPECT_EQ(read.error, c.expected) << c.name;
        EXPECT_EQ(read.data, c.expected == FileError::none ? "{}" : "") << c.name;
    }
    EXPECT_EQ(fs.read(dir / "target.json", 1).error, FileError::tooLarge);
}

TEST_F(PosixFileSystemTest, AppendsNeverGoThroughALinkOrIntoAFifo) {
    writeFile(dir / "elsewhere.txt", "theirs\n");
    ::chmod((dir / "elsewhere.txt").c_str(), 0644);
    ASSERT_EQ(::symlink((dir / "elsewhere.txt").c_str(), (dir / "debug.log").c_str()), 0);
    ASSERT_EQ(::mkfifo((dir / "fifo.log").c_str(), 0600), 0);

    EXPECT_EQ(fs.append(dir / "debug.log", "secret message\n").error, FileError::notRegular);
    EXPECT_EQ(fs.append(dir / "fifo.log", "secret message\n").error, FileError::notRegular);
    EXPECT_EQ(readFile(dir / "elsewhere.txt"), "theirs\n");
    EXPECT_EQ(modeOf(dir / "elsewhere.txt"), 0644u) << "the link's target keeps its mode";

    writeFile(dir / "own.log", "a\n");
    ::chmod((dir / "own.log").c_str(), 0664);
    const FileAppend appended = fs.append(dir / "own.log", "b\n");
    EXPECT_TRUE(appended.ok());
    EXPECT_EQ(appended.sizeAfter, 4u);
    EXPECT_EQ(modeOf(dir / "own.log"), 0600u) << "group and other bits removed";
}

TEST_F(PosixFileSystemTest, FoldersAreTightenedNeverLoosenedAndLinksLeftAlone) {
    const struct {
        const char* name;
        unsigned before;
        unsigned after;
    } cases[] = {{"open", 0755, 0700}, {"user-locked", 0500, 0500}, {"private", 0700, 0700}};
    for (const auto& c : cases) {
        std::filesystem::create_directory(dir / c.name);
        ::chmod((dir / c.name).c_str(), c.before);
        EXPECT_EQ(fs.makePrivateFolder(dir / c.name), FileError::none) << c.name;
        EXPECT_EQ(modeOf(dir / c.name), c.after) << c.name;
    }
    std::filesystem::create_directory(dir / "shared");
    ::chmod((dir / "shared").c_str(), 0755);
    ASSERT_EQ(::symlink((dir / "shared").c_str(), (dir / "linked").c_str()), 0);
    EXPECT_EQ(fs.makePrivateFolder(dir / "linked"), FileError::none);
    EXPECT_EQ(modeOf(dir / "shared"), 0755u) << "never chmod through a link";

    EXPECT_EQ(fs.makePrivateFolder(dir / "new/nested"), FileError::none);
    EXPECT_EQ(modeOf(dir / "new/nested"), 0700u);
}

TEST_F(PosixFileSystemTest, AtomicWritesReplaceLinksAndLeaveNoTemporaryFile) {
    writeFile(dir / "elsewhere.json", "theirs");
    ASSERT_EQ(::symlink((dir / "elsewhere.json").c_str(), (dir / "config.json").c_str()), 0);
    EXPECT_EQ(fs.writeAtomic(dir / "config.json", "ours"), FileError::none);
    EXPECT_EQ(readFile(dir / "elsewhere.json"), "theirs");
    EXPECT_EQ(readFile(dir / "config.json"), "ours");
    EXPECT_EQ(modeOf(dir / "config.json"), 0600u);
    EXPECT_EQ(fs.writeAtomic(dir / "missing/config.json", "x"), FileError::notFound);
    const auto names = fs.list(dir.path());
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(names->size(), 2u) << "no temporary file is left behind";
}

TEST_F(PosixFileSystemTest, LockSerialisesReadModifyWriteAcrossProcesses) {
    const std::string counter = dir / "counter";
    writeFile(counter, "0");
    constexpr int kProcesses = 8;
    constexpr int kRounds = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            PosixFileSystem child;
            for (int i = 0; i < kRounds; ++i) {
                auto held = child.lock(dir / ".lock", nullptr);
                if (!held) {
                    std::_Exit(2);
                }
                const int n = std::atoi(child.read(counter, 64, LinkPolicy::refuse).data.c_str());
                if (child.writeAtomic(counter, std::to_string(n + 1), 0600) != FileError::none) {
                    std::_Exit(3);
                }
            }
            std::_Exit(0);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(readFile(counter), std::to_string(kProcesses * kRounds));
    EXPECT_EQ(modeOf(dir / ".lock"), 0600u);
}

}  // namespace
}  // namespace quorix::platform
