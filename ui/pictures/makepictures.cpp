// Draws the window pictures. Built only on request (target fm_make_pictures); its output is
// committed, so a normal build needs neither this program nor a particular font:
//   ninja fm_make_pictures && QT_QPA_PLATFORM=offscreen ./ui/fm_make_pictures <repo>/ui/pictures
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

// Two bands: the status line shows only the top 30 rows behind black text, the notice shows the
// top 72 rows behind white text centred near row 36.
QImage Banner()
{
    QImage image(1024, 100, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, 0, 100);
    band.setColorAt(0.00, QColor(226, 238, 250));
    band.setColorAt(0.24, QColor(205, 224, 244));
    band.setColorAt(0.30, QColor(40, 86, 150));
    band.setColorAt(1.00, QColor(14, 44, 92));
    p.fillRect(image.rect(), band);
    for (int i = 0; i < 14; ++i) {
        QRadialGradient glow(QPointF(80 + i * 73, 60 + (i % 3) * 14), 40 + (i % 4) * 9);
        glow.setColorAt(0, QColor(120, 180, 240, 70));
        glow.setColorAt(1, QColor(120, 180, 240, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(glow.center(), glow.radius(), glow.radius());
    }
    p.setPen(QPen(QColor(255, 255, 255, 60), 2));
    for (int x = -100; x < 1024; x += 26)
        p.drawLine(QPointF(x, 100), QPointF(x + 60, 30));
    p.setPen(QPen(QColor(120, 160, 210), 1));
    p.drawLine(0, 27, 1024, 27);
    return image;
}

// A folder, an arrow and a bin: folders dressed up as the Recycle Bin.
QImage HelpPicture()
{
    QImage image(142, 93, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 246));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath folder;
    folder.moveTo(8, 24);
    folder.lineTo(24, 24);
    folder.lineTo(29, 30);
    folder.lineTo(56, 30);
    folder.lineTo(56, 66);
    folder.lineTo(8, 66);
    folder.closeSubpath();
    p.setPen(QPen(QColor(150, 110, 20), 1.5));
    p.setBrush(QColor(245, 200, 80));
    p.drawPath(folder);

    p.setPen(QPen(QColor(200, 40, 40), 3));
    p.drawLine(62, 46, 82, 46);
    p.setBrush(QColor(200, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({ QPointF(80, 39), QPointF(90, 46), QPointF(80, 53) }));

    p.setPen(QPen(QColor(70, 80, 90), 1.5));
    p.setBrush(QColor(180, 190, 200));
    p.drawRect(QRectF(98, 26, 34, 6));
    p.drawPolygon(
        QPolygonF({ QPointF(101, 33), QPointF(129, 33), QPointF(125, 70), QPointF(105, 70) }));
    for (int x : { 109, 115, 121 })
        p.drawLine(x, 38, x, 65);

    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.drawLine(6, 80, 136, 80);
    return image;
}

// Few colours on purpose: the button is stored as an 8-bit palette image.
QImage PaymentButton()
{
    QImage image(150, 37, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(QColor(0, 110, 60), 2));
    p.setBrush(QColor(30, 170, 90));
    p.drawRoundedRect(QRectF(2, 2, 146, 33), 8, 8);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setPixelSize(16);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(0, 0, 150, 37), Qt::AlignCenter, QStringLiteral("扫码资助"));
    p.end();
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fm_make_pictures OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const bool ok = Banner().save(out.filePath("banner.jpg"), "JPEG", 85)
        && HelpPicture().save(out.filePath("help.jpg"), "JPEG", 90)
        && PaymentButton().save(out.filePath("paybutton.bmp"), "BMP");
    if (!ok)
        std::fprintf(stderr, "fm_make_pictures: could not write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
