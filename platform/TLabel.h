#pragma once

#include <QLabel>

// The width a caption of this font needs for the text, without margins.
int captionWidth(const QFontMetrics& metrics, const QString& text);

// A caption. Its text is shown as written, never read as markup: captions hold what a
// user typed or a budget file gave. With autoSize on it takes the width of its text
// whenever the text or the font changes, keeping its left edge, or its right edge when
// it is right-aligned. A double click is announced for the handlers that enter the year.
class TLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)

public:
    explicit TLabel(QWidget* parent = nullptr);

    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);

    // Hides QLabel::setText so that every caption written through a TLabel sizes itself.
    void setText(const QString& text);

    // The caption's font colour (the window-text role).
    QColor fontColor() const;
    void setFontColor(const QColor& color);

signals:
    void doubleClicked();

protected:
    void changeEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void fitToText();
    bool autoSize_ = false;
    bool keepsRightEdge_ = false;
};
