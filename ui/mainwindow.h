#pragma once

#include "ui/webaddresses.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace results {
class ResultsModel;
}

namespace ui {

class DrawingPanel;
class Hyperlink;
class ResultsView;
class TabControl;
class TiledLabel;

// The text of the about page, line ends included. Line 10 is our own contact line.
inline constexpr char kInformationText[] = "感染引擎: 澄岚反毒.破坏文件修复工具\r\n"
                                           "病毒行为:\r\n"
                                           "    文件夹都变成了回收站,破坏文件,文件名尾加空格,\r\n"
                                           "    目前已知该病毒通过破坏文件(PDF,DOC,RAR等)\r\n"
                                           "    修复预览\r\n"
                                           "\r\n"
                                           "注意:不是这种感染的不要用本软件!\r\n"
                                           "     用本软件需要[客服远程],教过才会用!请不要乱用!\r\n"
                                           "     \r\n"
                                           "     需要修复请联系我们, 客服QQ: 800012345\r\n"
                                           " \r\n";

inline constexpr char kWindowCaption[] = "澄岚反毒.破坏文件修复工具(文件夹变成回收站)8[修复预览版]";

// The main window. Every component carries its form name as objectName; the component layout is
// pixel-exact, so the window has a fixed size.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // The client area; a standard frame of 3-pixel borders and a 23-pixel caption around it makes
    // the 873 x 450 outer size the window is centred by.
    static constexpr int kClientWidth = 867;
    static constexpr int kClientHeight = 421;
    static constexpr int kFrameWidth = 873;
    static constexpr int kFrameHeight = 450;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The only way the status line is written.
    void SetStatus(const QString& text);

    // 超级链接框3, 超级链接框2, 超级链接框4, 超级链接框1, 超级链接框5
    Hyperlink* supportLink() const { return m_supportLink; }
    Hyperlink* donationLink() const { return m_donationLink; }
    Hyperlink* videoLink() const { return m_videoLink; }
    Hyperlink* productLink() const { return m_productLink; }
    Hyperlink* aboutVideoLink() const { return m_aboutVideoLink; }
    // 画板1 and the notice 标签FFF on it
    DrawingPanel* previewPanel() const { return m_previewPanel; }
    QLabel* previewNotice() const { return m_previewNotice; }
    QLabel* previewTitle() const { return m_previewTitle; }
    // 超级列表框1 and its model
    ResultsView* resultsView() const { return m_resultsView; }
    results::ResultsModel* resultsModel() const { return m_resultsModel; }
    // 选择框1, 选择框_修复文件
    QCheckBox* previewBox() const { return m_previewBox; }
    QCheckBox* repairBox() const { return m_repairBox; }
    // 选择框_扫描, 选择框_暂停 (toggle buttons), 按钮_结束
    QPushButton* scanBox() const { return m_scanBox; }
    QPushButton* pauseBox() const { return m_pauseBox; }
    QPushButton* endButton() const { return m_endButton; }
    // 组合框1 (pattern), 组合框2 (root), 标签2
    QComboBox* patternCombo() const { return m_patternCombo; }
    QComboBox* rootCombo() const { return m_rootCombo; }
    QLabel* rootCaption() const { return m_rootCaption; }
    // 编辑框A: hidden, written only from outside the program
    QLineEdit* reportBox() const { return m_reportBox; }
    // 标签_状态, 标签a
    TiledLabel* statusLabel() const { return m_statusLabel; }
    TiledLabel* bannerLabel() const { return m_bannerLabel; }
    // 选择夹1 with the about page's 编辑框1, 分组框1, 图片框1
    TabControl* tabControl() const { return m_tabControl; }
    QPlainTextEdit* informationText() const { return m_informationText; }
    QGroupBox* helpGroup() const { return m_helpGroup; }
    QLabel* helpPicture() const { return m_helpPicture; }

private:
    void CreateComponents();
    void PlaceComponents();

    Hyperlink* m_supportLink = nullptr;
    QLabel* m_previewNotice = nullptr;
    DrawingPanel* m_previewPanel = nullptr;
    ResultsView* m_resultsView = nullptr;
    QCheckBox* m_previewBox = nullptr;
    QLabel* m_previewTitle = nullptr;
    Hyperlink* m_aboutVideoLink = nullptr;
    Hyperlink* m_videoLink = nullptr;
    Hyperlink* m_donationLink = nullptr;
    QLabel* m_helpPicture = nullptr;
    QGroupBox* m_helpGroup = nullptr;
    QCheckBox* m_repairBox = nullptr;
    QLineEdit* m_reportBox = nullptr;
    TiledLabel* m_statusLabel = nullptr;
    Hyperlink* m_productLink = nullptr;
    QPlainTextEdit* m_informationText = nullptr;
    QPushButton* m_endButton = nullptr;
    QPushButton* m_pauseBox = nullptr;
    QPushButton* m_scanBox = nullptr;
    QComboBox* m_patternCombo = nullptr;
    QComboBox* m_rootCombo = nullptr;
    QLabel* m_rootCaption = nullptr;
    TabControl* m_tabControl = nullptr;
    TiledLabel* m_bannerLabel = nullptr;

    results::ResultsModel* m_resultsModel = nullptr;
};

} // namespace ui
