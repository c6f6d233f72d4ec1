#include <gtest/gtest.h>

#include <fstream>

#include "iop/host_root.h"
#include "iop_guest.h"

namespace {

namespace fs = std::filesystem;

TEST(HostRoot, RelativePathsResolveBelowTheRootAndNothingLeavesIt) {
    const HostRootFolder root;
    fs::create_directories(root.path() / "host" / "sub");
    fs::create_symlink(root.path() / "host" / "sub", root.path() / "host" / "inner");
    fs::create_symlink(root.path().parent_path(), root.path() / "host" / "outer");

    EXPECT_EQ(resolveHostPath("host\\sub/file.bin"), root.path() / "host" / "sub" / "file.bin");
    EXPECT_EQ(resolveHostPath("host/./file.bin"), root.path() / "host" / "file.bin");
    EXPECT_EQ(resolveHostPath("host\\inner\\file.bin"), root.path() / "host" / "inner" / "file.bin")
        << "a link that stays inside";
    EXPECT_EQ(resolveHostPath(""), std::nullopt);
    EXPECT_EQ(resolveHostPath("host\\sub\\..\\file.bin"), std::nullopt) << "'..' even when it would stay inside";
    EXPECT_EQ(resolveHostPath("/etc/passwd"), std::nullopt);
    EXPECT_EQ(resolveHostPath("\\etc\\passwd"), std::nullopt);
    EXPECT_EQ(resolveHostPath("c:\\file.bin"), std::nullopt);
    EXPECT_EQ(resolveHostPath("host\\outer\\file.bin"), std::nullopt) << "a link that points out";
}

}  // namespace
