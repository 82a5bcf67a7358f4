#include "library/ui/PopFolder.h"

#include "foundation/QFileRoutine.h"
#include "library/GridGeometry.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace palvo {

FolderRows::FolderRows(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(12);
    setFont(f);
}

int FolderRows::rowAt(QPoint position) const {
    if (position.y() < 0 || !rect().contains(position))
        return -1;
    const int row = position.y() / kRowHeight;
    return row < folders.size() ? row : -1;
}

QColor FolderRows::rowTextColour(int row) const {
    return row == hoverRow ? QColor(255, 209, 24) : palette().color(QPalette::Text);
}

void FolderRows::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QIcon icon = style()->standardIcon(QStyle::SP_DirIcon);
    for (int row = 0; row < folders.size(); ++row) {
        const int top = row * kRowHeight;
        if (row == selectedRow)
            p.fillRect(QRect(0, top, width(), kRowHeight), QColor(235, 240, 250));
        icon.paint(&p, QRect(6, top + 2, 16, 16));
        p.setPen(rowTextColour(row));
        p.drawText(QRect(28, top + 3, width() - 30, kRowHeight - 3), Qt::AlignLeft | Qt::AlignTop,
                   LastPathComponent(folders[row]));
    }
}

void FolderRows::mouseMoveEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint());
    if (row != hoverRow) {
        hoverRow = row;
        update();
    }
}

void FolderRows::leaveEvent(QEvent*) {
    if (hoverRow != -1) {
        hoverRow = -1;
        update();
    }
}

void FolderRows::mouseReleaseEvent(QMouseEvent* event) {
    Q_EMIT rowReleased(rowAt(event->position().toPoint()), event->button(),
                       event->globalPosition().toPoint());
}

TpopFolder::TpopFolder(QStringList& recentFolders, QWidget* parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint), recent_(recentFolders) {
    setObjectName(QStringLiteral("popFolder"));
    setFixedSize(228, 234);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    rows_ = new FolderRows(this);
    rows_->setObjectName(QStringLiteral("lbxRecent"));
    rows_->setGeometry(3, 4, width() - 6, height() - 8);
    rows_->folders = recent_;
    connect(rows_, &FolderRows::rowReleased, this, &TpopFolder::rowReleased);
    askRemove = [this](QPoint at) {
        QMenu menu(this);
        QAction* remove = menu.addAction(QStringLiteral("Remove folder from list"));
        return menu.exec(at) == remove;
    };
    timer_.setInterval(180);
    connect(&timer_, &QTimer::timeout, this, [this] { checkPointer(QCursor::pos()); });
    timer_.start();
}

void TpopFolder::checkPointer(QPoint globalPointer) {
    const QRect frame(mapToGlobal(QPoint(0, 0)), size());
    if (frame.adjusted(1, 1, -1, -1).contains(globalPointer))
        enteredOnce_ = true;
    if (!popupKeepsOpen(frame, globalPointer, enteredOnce_)) {
        timer_.stop();
        reject();
    }
}

void TpopFolder::removeSelected() {
    if (rows_->selectedRow < 0 || rows_->selectedRow >= rows_->folders.size())
        return;
    rows_->folders.removeAt(rows_->selectedRow);
    recent_ = rows_->folders;
    rows_->selectedRow = -1;
    rows_->hoverRow = -1;
    rows_->update();
}

void TpopFolder::rowReleased(int row, Qt::MouseButton button, QPoint globalPosition) {
    if (button == Qt::RightButton) {
        if (row < 0)
            return;
        rows_->selectedRow = row;
        rows_->update();
        if (askRemove && askRemove(globalPosition))
            removeSelected();
        return;
    }
    if (row >= 0)
        rows_->selectedRow = row;
    if (rows_->selectedRow < 0) {
        QApplication::beep();
        return;
    }
    const QString folder = rows_->folders.value(rows_->selectedRow);
    timer_.stop();
    hide();
    if (loadDirectory)
        loadDirectory(folder);
    accept();
}

} // namespace palvo
