#include "ui/donationwindow.h"

#include "ui/hyperlink.h"
#include "ui/picturebutton.h"
#include "ui/webaddresses.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>

namespace ui {

namespace {

    constexpr Qt::WindowFlags kWindowFlags = Qt::Dialog | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

    constexpr int kFontPixelSize = 12;

    template <typename T, typename... Args>
    T* Make(QWidget* parent, const char* name, Args&&... args)
    {
        T* component = new T(std::forward<Args>(args)...);
        component->setObjectName(QString::fromUtf8(name));
        component->setParent(parent);
        return component;
    }

    // Rich-text rendering would collapse the leading spaces that indent the paragraphs, and a bare
    // "\r" has no meaning to a label.
    QString DisplayText(const char* text)
    {
        return QString::fromUtf8(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }

    QLabel* MakeTextLabel(QWidget* parent, const char* name, const char* text)
    {
        QLabel* label = Make<QLabel>(parent, name, DisplayText(text));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setWordWrap(true);
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(colours);
        return label;
    }

} // namespace

DonationWindow::DonationWindow(QWidget* owner)
    : QWidget(owner, kWindowFlags)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("donationWindow"));
    setWindowTitle(QString());
    QFont interfaceFont = QApplication::font();
    interfaceFont.setPixelSize(kFontPixelSize);
    setFont(interfaceFont);
    setFixedSize(kClientWidth, kClientHeight);

    m_paymentNotice = MakeTextLabel(this, "标签2", kPaymentNotice);
    m_paymentNotice->setGeometry(24, 196, 120, 25);

    m_paymentLink = Make<Hyperlink>(this, "超级链接框2");
    m_paymentLink->setTarget(QString::fromUtf8(kDonationPageAddress));
    m_paymentLink->setGeometry(168, 200, 56, 24);
    m_paymentLink->hide();

    m_payButton = Make<PictureButton>(
        this, "图形按钮2", QPixmap(QStringLiteral(":/pictures/paybutton.bmp")));
    m_payButton->setGeometry(12, 142, 150, 37);

    m_siteLink = Make<Hyperlink>(this, "超级链接框1", QString::fromUtf8(kWebSiteName));
    m_siteLink->setTarget(QString::fromUtf8(kWebSiteAddress));
    m_siteLink->setGeometry(224, 200, 144, 16);

    m_donationText = MakeTextLabel(this, "标签1", kDonationText);
    m_donationText->setAutoFillBackground(true);
    QPalette white = m_donationText->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_donationText->setPalette(white);
    m_donationText->setGeometry(0, 0, 373, 184);
    // The text spans the picture button's place; kept beneath it so that the button stays visible
    // and takes the clicks.
    m_donationText->lower();

    if (const QScreen* display = screen()) {
        const QRect area = display->geometry();
        move(area.x() + (area.width() - kFrameWidth) / 2,
            area.y() + (area.height() - kFrameHeight) / 2);
    }
}

} // namespace ui
