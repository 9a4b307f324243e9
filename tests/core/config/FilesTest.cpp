// Private files and folders, atomic replacement.
#include <gtest/gtest.h>

#include "ConfigTestSupport.h"
#include "core/config/Files.h"

namespace quorix {
namespace {

using testing::folderEntries;
using testing::modeOf;
using testing::TempFolder;

TEST(Files, FoldersAreCreatedPrivateAndExistingOnesTightened) {
    TempFolder root;
    const std::string deep = root / "a/b/c";
    ASSERT_TRUE(files::ensurePrivateFolder(deep));
    EXPECT_EQ(modeOf(deep), 0700u);
    ::chmod(deep.c_str(), 0755);
    ASSERT_TRUE(files::ensurePrivateFolder(deep + "/"));
    EXPECT_EQ(modeOf(deep), 0700u);
    testing::writeFile(root / "file", "x");
    EXPECT_FALSE(files::ensurePrivateFolder(root / "file/sub"));
}

TEST(Files, WritesArePrivateAndAtomicWritesLeaveNoTemporaryFile) {
    TempFolder root;
    const std::string path = root / "config.json";
    testing::writeFile(path, "old");
    ::chmod(path.c_str(), 0644);
    ASSERT_TRUE(files::writeAtomic(path, "new content"));
    EXPECT_EQ(files::readAll(path), "new content");
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(folderEntries(root.path()), std::vector<std::string>{"config.json"});

    EXPECT_FALSE(files::writeAtomic(root / "missing/config.json", "x"));
    ASSERT_TRUE(std::filesystem::create_directory(root / "dir.json"));
    EXPECT_FALSE(files::writeAtomic(root / "dir.json", "x")) << "cannot replace a folder";
    EXPECT_EQ(folderEntries(root.path()), (std::vector<std::string>{"config.json", "dir.json"}));

    const std::string plain = root / "plain.txt";
    testing::writeFile(plain, "longer old text");
    ::chmod(plain.c_str(), 0666);
    ASSERT_TRUE(files::writePlain(plain, "short"));
    EXPECT_EQ(files::readAll(plain), "short");
    EXPECT_EQ(modeOf(plain), 0600u);

    const std::string log = root / "debug.log";
    ASSERT_TRUE(files::append(log, "a\n"));
    ASSERT_TRUE(files::append(log, "b\n"));
    EXPECT_EQ(files::readAll(log), "a\nb\n");
    EXPECT_EQ(modeOf(log), 0600u);
    EXPECT_EQ(files::readAll(root / "none"), std::nullopt);
}

TEST(Files, TheConfigurationFolderAndItsFilesArePrivate) {
    testing::ConfigHarness h;
    auto config = h.make();
    config->excludeApp("zoom");
    EXPECT_EQ(modeOf(h.folder), 0700u);
    for (const auto& name : {"config.json", "whitelist.txt", "debug.log"}) {
        EXPECT_EQ(modeOf(h.folder + "/" + name), 0600u) << name;
    }
    EXPECT_EQ(folderEntries(h.folder),
              (std::vector<std::string>{"config.json", "debug.log", "whitelist.txt"}));
}

}  // namespace
}  // namespace quorix
