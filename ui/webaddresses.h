#pragma once

#include <QString>

// Every address the program opens, in one place. The help pages are bundled with the program, so
// that they work without a network; only the support chat, the donation page and the web site are
// remote, and those open in the user's own browser.
namespace ui {

// Bundled pages, served from the program's resources.
inline constexpr char kHomePageAddress[] = "qrc:/pages/home.html";
inline constexpr char kRepairGuideAddress[] = "qrc:/pages/guide.html";
// The player form of the guide: the player's settings follow "#" directly, in the query form the
// player has always been given ("&autoplay=false&id=...&skinNum=1&topBar=1").
inline constexpr char kRepairPlayerPage[] = "qrc:/pages/guide.html#";
inline constexpr char kRepairVideoId[] = "fm-repair-0812";

inline QString RepairPlayerAddress()
{
    return QString::fromUtf8(kRepairPlayerPage) + QStringLiteral("&autoplay=false&id=")
        + QString::fromUtf8(kRepairVideoId) + QStringLiteral("&skinNum=1&topBar=1");
}

// Remote pages, opened in the user's browser.
inline constexpr char kSupportChatAddress[] = "https://support.filemend.example/chat";
inline constexpr char kDonationPageAddress[] = "https://pay.filemend.example/donate?to=filemend";
inline constexpr char kWebSiteAddress[] = "https://www.filemend.example/";
inline constexpr char kWebSiteName[] = "澄岚反毒官方网站";

} // namespace ui
