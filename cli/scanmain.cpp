#include "cli/scancommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Rows are written through one buffered stream; tying to C stdio would cost a call per write.
    std::ios::sync_with_stdio(false);
    const auto platform = platform::CreateNativePlatform();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return cli::RunScanCommand(*platform, args, std::cout, std::cerr);
}
