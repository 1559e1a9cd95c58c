#include "platform/TImage.h"

#include "platform/JpegImage.h"

#include <QFile>
#include <QPainter>

TImage::TImage(QWidget* parent)
    : QWidget(parent) {}

void TImage::setPicture(const QString& path) {
    picture_ = path;
    image_ = QImage();
    loaded_ = false;
    update();
}

const QImage& TImage::image() {
    load();
    return image_;
}

void TImage::load() {
    if (loaded_)
        return;
    loaded_ = true;
    if (picture_.isEmpty())
        return;
    QFile file(picture_);
    if (file.open(QIODevice::ReadOnly))
        image_ = decodeJpeg(file.readAll());
}

void TImage::paintEvent(QPaintEvent*) {
    load();
    if (image_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image_);
}
