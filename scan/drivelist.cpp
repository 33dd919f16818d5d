#include "scan/drivelist.h"

namespace scan {

std::size_t FillDriveList(platform::Platform& platform, std::vector<std::string>& driveList)
{
    driveList.clear();
    driveList = platform.DriveRoots();
    return driveList.size();
}

} // namespace scan
