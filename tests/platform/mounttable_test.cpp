#include "platform/posix/mounttable.h"
#include "platform/posix/posixplatform.h"

#include <sstream>

#include <gtest/gtest.h>

using platform::posix::ParseMountTable;

TEST(MountTable, KeepsRealFileSystemsInOrderWithTrailingSlash)
{
    std::istringstream table("sysfs /sys sysfs rw 0 0\n"
                             "proc /proc proc rw 0 0\n"
                             "/dev/vda1 / ext4 rw 0 0\n"
                             "tmpfs /run tmpfs rw 0 0\n"
                             "overlay /var/lib/docker/x overlay rw 0 0\n"
                             "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
                             "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                             "/dev/loop0 /snap/core squashfs ro 0 0\n"
                             "/dev/sdc1 /mnt/win fuseblk rw 0 0\n"
                             "/dev/sdb1 /media/usb\\040stick vfat rw 0 0\n"
                             "garbage\n"
                             "\n"
                             "devtmpfs /dev devtmpfs rw 0 0\n");
    const std::vector<std::string> expected { "/", "/media/usb stick/", "/mnt/win/" };
    EXPECT_EQ(ParseMountTable(table), expected);
}

TEST(MountTable, MissingOrUnreadableTableGivesNoDrives)
{
    platform::posix::PosixPlatform missing("/nonexistent/mounts");
    EXPECT_TRUE(missing.DriveRoots().empty());
    platform::posix::PosixPlatform directory("/");
    EXPECT_TRUE(directory.DriveRoots().empty());
}

TEST(MountTable, UnescapesOctalButLeavesOtherBackslashes)
{
    EXPECT_EQ(platform::posix::UnescapeMountField("a\\040b\\011c\\134d"), "a b\tc\\d");
    EXPECT_EQ(platform::posix::UnescapeMountField("a\\9b\\04"), "a\\9b\\04");
}
