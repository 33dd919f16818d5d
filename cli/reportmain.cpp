#include "platform/platform.h"
#include "text/reportreader.h"

#include <cstring>
#include <iostream>
#include <string>

namespace {

constexpr int kExitSent = 0;
constexpr int kExitBadText = 1;
constexpr int kExitNotDelivered = 2;

const char* const kUsage
    = "Usage: filemend-report TEXT...\n"
      "\n"
      "Lists TEXT in the results of the running filemend window of this user, as a row with\n"
      "the status 结束进程. The arguments are joined with single spaces into one UTF-8 text of\n"
      "at most 32767 bytes, without line breaks.\n"
      "\n"
      "Exit status: 0 when the text was handed to the window, 1 for a text that cannot be\n"
      "sent, 2 when no filemend window of this user listens.\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        (argc < 2 ? std::cerr : std::cout) << kUsage;
        return argc < 2 ? kExitBadText : kExitSent;
    }
    std::string text = argv[1];
    for (int i = 2; i < argc; ++i)
        (text += ' ') += argv[i];

    const char* problem = nullptr;
    if (text.find('\n') != std::string::npos)
        problem = "the text holds a line break, which would end it early";
    else if (text.size() > text::ReportReader::kMaxTextBytes)
        problem = "the text is longer than 32767 bytes";
    else if (!text::IsReportableText(text))
        problem = "the text is empty or not valid UTF-8";
    if (problem) {
        std::cerr << "filemend-report: " << problem << "\n";
        return kExitBadText;
    }

    const auto system = platform::CreateNativePlatform();
    const std::string folder = system->RuntimeFolder();
    const std::string socket = folder + "/" + text::kReportSocketName;
    // A folder that anyone else could have made or entered may hide somebody else's listener.
    if (!system->IsPrivateFolder(folder)) {
        std::cerr << "filemend-report: no filemend window of this user is listening (" << folder
                  << " is missing or not a private folder of this user)\n";
        return kExitNotDelivered;
    }
    switch (system->SendLocalMessage(socket, text + "\n")) {
    case platform::SendResult::Sent:
        return kExitSent;
    case platform::SendResult::NoListener:
        std::cerr << "filemend-report: no filemend window is listening at " << socket << "\n";
        break;
    case platform::SendResult::Refused:
        std::cerr << "filemend-report: not allowed to reach " << socket << "\n";
        break;
    case platform::SendResult::Failed:
        std::cerr << "filemend-report: the text could not be sent to " << socket << "\n";
        break;
    }
    return kExitNotDelivered;
}
