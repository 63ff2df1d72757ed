#include "editor/Sheets.h"

#include <QColor>
#include <QFile>
#include <QPainter>

namespace zarp::editor {

QRect EditorBlockCell(int32_t type) {
    if (type >= 0 && type <= 4) return QRect(64 * type, 0, 64, 64);
    if (type >= 5 && type <= 9) return QRect(32 * type - 160, 64, 32, 32);
    if (type == 10) return QRect(320, 0, 32, 32);
    if (type >= 11 && type <= 17) return QRect(32 * type - 192, 64, 32, 32);
    return QRect();
}

namespace {

QImage LoadSheet(const QString& name, QSize size) {
    QImage image(QStringLiteral(":/sheets/") + name);
    if (image.isNull() || image.width() < size.width() || image.height() < size.height()) {
        return QImage();
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

// Stand-in pictures: a framed, numbered tile per block type, a yellow coin, a white ball.
QImage DrawnBlockSheet() {
    QImage sheet(384, 96, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QPainter painter(&sheet);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (int32_t type = 0; type <= 17; ++type) {
        QRect cell = EditorBlockCell(type);
        QColor colour = QColor::fromHsv((type * 47) % 360, 160, 200);
        painter.fillRect(cell.adjusted(1, 1, -1, -1), colour);
        painter.setPen(colour.darker(200));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::black);
        painter.drawText(cell, Qt::AlignCenter, QString::number(type));
    }
    return sheet;
}

QImage DrawnCoin() {
    QImage coin(16, 16, QImage::Format_RGB32);
    coin.fill(Qt::black);
    QPainter painter(&coin);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(240, 200, 40));
    painter.setPen(QColor(160, 120, 0));
    painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return coin;
}

QImage DrawnPlayer() {
    QImage player(32, 16, QImage::Format_RGB32);
    player.fill(Qt::black);
    QPainter painter(&player);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(240, 240, 240));
    painter.setPen(QColor(128, 128, 128));
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return player;
}

}  // namespace

EditorSheets LoadEditorSheets() {
    EditorSheets sheets;
    sheets.block = LoadSheet(QStringLiteral("block.bmp"), QSize(384, 96));
    if (sheets.block.isNull()) sheets.block = DrawnBlockSheet();
    QImage coinSheet = LoadSheet(QStringLiteral("coin.bmp"), QSize(16, 16));
    sheets.coin = coinSheet.isNull() ? DrawnCoin() : coinSheet.copy(0, 0, 16, 16);
    sheets.player = LoadSheet(QStringLiteral("player.bmp"), QSize(32, 16));
    if (sheets.player.isNull()) sheets.player = DrawnPlayer();
    return sheets;
}

}  // namespace zarp::editor
