#pragma once

#include <QDialog>
#include <QImage>
#include <QWidget>

class QLabel;
class QPushButton;

namespace palvo {

// The splash: no border, on top, centred; shows "Splash.xdl" without its
// bottom 40 pixels.
class TSplash : public QWidget {
    Q_OBJECT
public:
    explicit TSplash(const QString& picturePath);
    void showAndPaint();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

// The About box: the whole splash picture, "Build " + the product version at
// the bottom left and a "Finish" button at the bottom right.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    TAboutBox(const QString& programName, const QString& picturePath, QWidget* parent = nullptr);

    QLabel* lblVersion = nullptr;
    QPushButton* btnFinish = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

} // namespace palvo
