#pragma once

#include <QWidget>

class QLabel;

namespace ui {

class Hyperlink;
class PictureButton;

// The donation text, line ends included.
inline constexpr char kDonationText[]
    = "     澄岚反毒的发展完善离不开您的支持!\r\n"
      "\r\n"
      "[资助鼓励]\r\n"
      "    如果你认为我做的这些对你来说是有价值的,并鼓励我进行更多的创作和分享,那么你可以资助我,"
      "就算是一杯咖啡. \r\n"
      "\r\n"
      "[Donation]\r\n"
      "    If you think I do these for you is valuable, and encouraged me to be more creative and "
      "to share, then you can fund me, even a cup of coffee. \r\n"
      " \r\n";
inline constexpr char kPaymentNotice[] = "请在系统没病毒后,\r\n在进入支付宝";

// The small window that asks for a contribution. It belongs to the window given as its owner (it
// stays above it and goes with it) and deletes itself when closed.
class DonationWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kFrameWidth = 380;
    static constexpr int kFrameHeight = 250;
    static constexpr int kClientWidth = 374;
    static constexpr int kClientHeight = 221;

    explicit DonationWindow(QWidget* owner);

    // 标签2, 超级链接框2 (hidden, holds the payment page), 图形按钮2, 超级链接框1, 标签1
    QLabel* paymentNotice() const { return m_paymentNotice; }
    Hyperlink* paymentLink() const { return m_paymentLink; }
    PictureButton* payButton() const { return m_payButton; }
    Hyperlink* siteLink() const { return m_siteLink; }
    QLabel* donationText() const { return m_donationText; }

private:
    QLabel* m_paymentNotice = nullptr;
    Hyperlink* m_paymentLink = nullptr;
    PictureButton* m_payButton = nullptr;
    Hyperlink* m_siteLink = nullptr;
    QLabel* m_donationText = nullptr;
};

} // namespace ui
