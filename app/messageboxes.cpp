#include "app/messageboxes.h"

#include <QMessageBox>

namespace app {

namespace {

const QString kCaption = QStringLiteral("信息：");

QMessageBox::StandardButton Show(const QString& text, QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(QMessageBox::NoIcon, kCaption, text, buttons);
    box.setDefaultButton(defaultButton);
    box.setWindowModality(Qt::ApplicationModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

bool QtMessageBoxes::AskYesNo(const QString& text)
{
    return Show(text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

void QtMessageBoxes::Tell(const QString& text) { Show(text, QMessageBox::Ok, QMessageBox::Ok); }

} // namespace app
