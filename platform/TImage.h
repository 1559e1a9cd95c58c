#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// A picture box: shows a JPEG picture at its natural size with its top-left corner at
// the box's top-left corner, clipped to the box, never stretched or centred. The box
// paints no background of its own, so where there is no picture (none set, missing,
// damaged) whatever lies beneath shows through.
//
// The picture is named by a Qt resource path or a file path (the "picture" property, so
// a form description can set it on a promoted widget). Its bytes are read and decoded
// on the first paint, once: a picture that fails to load is not tried again until the
// property is set anew.
class TImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString picture READ picture WRITE setPicture)

public:
    explicit TImage(QWidget* parent = nullptr);

    QString picture() const { return picture_; }
    void setPicture(const QString& path);

    // The decoded picture, decoding it now if no paint has done so yet; null if the
    // picture cannot be read or decoded.
    const QImage& image();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void load();

    QString picture_;
    QImage image_;
    bool loaded_ = false;
};
