#include "ui/mainwindow.h"

#include "results/resultsmodel.h"
#include "ui/drawingpanel.h"
#include "ui/hyperlink.h"
#include "ui/resultsview.h"
#include "ui/tabcontrol.h"
#include "ui/tiledlabel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include <vector>

// Resources of a static library are only linked in when something refers to them.
static void InitPictureResources() { Q_INIT_RESOURCE(pictures); }

namespace ui {

namespace {

    constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint;

    // The components are laid out in pixels for a 12-pixel interface font; a larger desktop font
    // would be clipped by the fixed component sizes.
    constexpr int kFontPixelSize = 12;

    template <typename T, typename... Args> T* Make(const char* name, Args&&... args)
    {
        // Created without a parent: containers come later in the creation order than some of their
        // members, so every component is placed once all exist.
        T* component = new T(std::forward<Args>(args)...);
        component->setObjectName(QString::fromUtf8(name));
        return component;
    }

    QLabel* MakeLabel(const char* name, const QString& caption, Qt::Alignment alignment)
    {
        QLabel* label = Make<QLabel>(name, caption);
        label->setAlignment(alignment);
        label->setWordWrap(false);
        return label;
    }

    void SetColours(QWidget* widget, const QColor& text, const QColor& background)
    {
        QPalette colours = widget->palette();
        colours.setColor(QPalette::WindowText, text);
        if (background.isValid()) {
            colours.setColor(QPalette::Window, background);
            widget->setAutoFillBackground(true);
        }
        widget->setPalette(colours);
    }

    QPushButton* MakeToggle(const char* name, const QString& caption)
    {
        QPushButton* button = Make<QPushButton>(name, caption);
        button->setCheckable(true);
        button->setChecked(false);
        return button;
    }

    QComboBox* MakeCombo(const char* name, const QStringList& items)
    {
        QComboBox* combo = Make<QComboBox>(name);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(items);
        return combo;
    }

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, kWindowFlags)
{
    InitPictureResources();
    setWindowTitle(QString::fromUtf8(kWindowCaption));
    QFont interfaceFont = QApplication::font();
    interfaceFont.setPixelSize(kFontPixelSize);
    setFont(interfaceFont);
    setFixedSize(kClientWidth, kClientHeight);

    CreateComponents();
    PlaceComponents();

    if (const QScreen* display = screen()) {
        const QRect area = display->geometry();
        move(area.x() + (area.width() - kFrameWidth) / 2,
            area.y() + (area.height() - kFrameHeight) / 2);
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::SetStatus(const QString& text) { m_statusLabel->setText(text); }

void MainWindow::CreateComponents()
{
    const QPixmap banner(QStringLiteral(":/pictures/banner.jpg"));

    m_supportLink = Make<Hyperlink>("超级链接框3", QStringLiteral("需要修复点这 [客服支持]"));
    m_supportLink->setTarget(QString::fromUtf8(kSupportChatAddress));

    m_previewNotice = MakeLabel("标签FFF", QStringLiteral("预览只支持jpg,gif"), Qt::AlignCenter);
    SetColours(m_previewNotice, QColor(255, 0, 0), QColor(255, 255, 255));

    m_previewPanel = Make<DrawingPanel>("画板1");

    m_resultsView = Make<ResultsView>("超级列表框1");
    m_resultsModel = new results::ResultsModel(this);
    m_resultsView->setModel(m_resultsModel);

    m_previewBox = Make<QCheckBox>("选择框1", QStringLiteral("修复预览"));
    m_previewBox->setChecked(true);

    m_previewTitle = MakeLabel("标签1", QStringLiteral("修复预览"), Qt::AlignCenter);
    SetColours(m_previewTitle, Qt::black, QColor());

    m_aboutVideoLink = Make<Hyperlink>("超级链接框5", QStringLiteral("[修复视频]"));
    m_videoLink = Make<Hyperlink>("超级链接框4", QStringLiteral("[修复视频]"));
    m_donationLink = Make<Hyperlink>("超级链接框2", QStringLiteral("[资助澄岚]"));

    // Drawn at its own size from the top-left corner; the box is shorter than the picture.
    m_helpPicture = Make<QLabel>("图片框1");
    m_helpPicture->setPixmap(QPixmap(QStringLiteral(":/pictures/help.jpg")));
    m_helpPicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_helpPicture->setScaledContents(false);

    m_helpGroup = Make<QGroupBox>("分组框1", QStringLiteral("文件夹都变成了回收站"));

    m_repairBox = Make<QCheckBox>("选择框_修复文件", QStringLiteral("修复文件"));
    m_repairBox->setEnabled(false);

    m_reportBox = Make<QLineEdit>("编辑框A");

    m_statusLabel = Make<TiledLabel>("标签_状态");
    m_statusLabel->SetTile(banner);
    SetColours(m_statusLabel, Qt::black, QColor());

    m_productLink = Make<Hyperlink>("超级链接框1", QStringLiteral("[澄岚反毒]"));

    m_informationText = Make<QPlainTextEdit>("编辑框1");
    m_informationText->setPlainText(QString::fromUtf8(kInformationText));
    m_informationText->setReadOnly(true);
    m_informationText->setTextInteractionFlags(
        Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_informationText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_informationText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_informationText->setFocusPolicy(Qt::StrongFocus);

    m_endButton = Make<QPushButton>("按钮_结束", QStringLiteral("结束"));
    m_pauseBox = MakeToggle("选择框_暂停", QStringLiteral("暂停"));
    m_scanBox = MakeToggle("选择框_扫描", QStringLiteral("扫描"));

    m_patternCombo = MakeCombo("组合框1",
        { QStringLiteral("*.*"), QStringLiteral("*.doc"), QStringLiteral("*.pdf"),
            QStringLiteral("*.gif"), QStringLiteral("*.jpg"), QStringLiteral("*.rar") });
    m_patternCombo->view()->setMinimumHeight(160);
    m_rootCombo = MakeCombo("组合框2",
        { QStringLiteral("d:\\"), QStringLiteral("e:\\"), QStringLiteral("f:\\"),
            QStringLiteral("g:\\"), QStringLiteral("h:\\") });

    m_rootCaption = MakeLabel("标签2", QStringLiteral("目录:"), Qt::AlignLeft | Qt::AlignVCenter);
    SetColours(m_rootCaption, Qt::black, QColor());

    m_tabControl = Make<TabControl>("选择夹1", QStringLiteral("扫描"), QStringLiteral("关于"));

    m_bannerLabel = Make<TiledLabel>("标签a",
        QStringLiteral(
            "本软件需要[客服远程支持],很多人不会用,防乱用,改成[修复预览],不会修改用户文件"));
    m_bannerLabel->SetTile(banner);
    SetColours(m_bannerLabel, Qt::white, QColor());
}

void MainWindow::PlaceComponents()
{
    struct Placement
    {
        QWidget* component;
        QWidget* container;
        QRect geometry;
        bool visible;
    };
    QWidget* const scanPage = m_tabControl->Page(0);
    QWidget* const aboutPage = m_tabControl->Page(1);
    // In creation order, which is also the order of the Tab key among the focusable ones.
    const std::vector<Placement> placements = {
        { m_supportLink, scanPage, { 8, 32, 200, 11 }, true },
        { m_previewNotice, m_previewPanel, { 48, 168, 168, 64 }, false },
        { m_previewPanel, this, { 600, 23, 264, 400 }, true },
        { m_resultsView, scanPage, { 1, 104, 570, 192 }, true },
        { m_previewBox, scanPage, { 407, 58, 80, 16 }, true },
        { m_previewTitle, this, { 624, 0, 184, 24 }, true },
        { m_aboutVideoLink, m_helpGroup, { 192, 21, 61, 11 }, true },
        { m_videoLink, this, { 342, 76, 61, 11 }, true },
        { m_donationLink, this, { 264, 76, 61, 11 }, true },
        { m_helpPicture, m_helpGroup, { 15, 19, 143, 81 }, true },
        { m_helpGroup, aboutPage, { 7, 192, 560, 107 }, true },
        { m_repairBox, scanPage, { 407, 78, 80, 16 }, true },
        { m_reportBox, this, { -264, 64, 40, 24 }, false },
        { m_statusLabel, this, { 0, 400, 600, 30 }, true },
        { m_productLink, this, { 420, 76, 61, 11 }, true },
        { m_informationText, aboutPage, { 6, 23, 565, 160 }, true },
        { m_endButton, scanPage, { 499, 76, 70, 24 }, true },
        { m_pauseBox, scanPage, { 499, 50, 70, 24 }, true },
        { m_scanBox, scanPage, { 499, 24, 70, 24 }, true },
        { m_patternCombo, scanPage, { 414, 26, 64, 20 }, true },
        { m_rootCombo, scanPage, { 314, 26, 96, 20 }, true },
        { m_rootCaption, scanPage, { 278, 26, 31, 20 }, true },
        { m_tabControl, this, { 9, 94, 575, 301 }, true },
        { m_bannerLabel, this, { 0, 0, 600, 72 }, true },
    };
    for (const Placement& placement : placements) {
        placement.component->setParent(placement.container);
        placement.component->setGeometry(placement.geometry);
        placement.component->setVisible(placement.visible);
    }
    // Only now are all of them inside this window, which the tab order requires.
    QWidget* previousFocusable = nullptr;
    for (const Placement& placement : placements) {
        if (placement.component->focusPolicy() & Qt::TabFocus) {
            if (previousFocusable)
                setTabOrder(previousFocusable, placement.component);
            previousFocusable = placement.component;
        }
    }
}

} // namespace ui
