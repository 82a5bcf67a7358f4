#pragma once

#include <QDialog>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace palvo {

// The rows of the recent-folders pop-up, drawn by hand: a folder icon and the
// folder's last component, the row under the pointer in gold.
class FolderRows : public QWidget {
    Q_OBJECT
public:
    explicit FolderRows(QWidget* parent);
    QStringList folders;
    int hoverRow = -1;
    int selectedRow = -1;
    static constexpr int kRowHeight = 22;
    [[nodiscard]] int rowAt(QPoint position) const;
    [[nodiscard]] QColor rowTextColour(int row) const;

Q_SIGNALS:
    void rowReleased(int row, Qt::MouseButton button, QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

// The recent-folders pop-up: borderless, 228 x 234, white, a copy of the
// recent folders. Any release over a row loads that folder (through
// loadDirectory) and closes with OK; a right release offers "Remove folder
// from list"; the pop-up closes itself (Cancel) once the pointer has left it.
class TpopFolder : public QDialog {
    Q_OBJECT
public:
    TpopFolder(QStringList& recentFolders, QWidget* parent = nullptr);

    // LoadDirectory(folder, -1) and the switch to the originals view.
    std::function<void(const QString& folder)> loadDirectory;
    // The menu at the pointer; tests replace it (true: "Remove" chosen).
    std::function<bool(QPoint globalPosition)> askRemove;

    FolderRows* rows() const { return rows_; }
    // Deletes the selected row and copies the list back.
    void removeSelected();
    // One tick of the 180 ms timer at that pointer position.
    void checkPointer(QPoint globalPointer);
    [[nodiscard]] bool enteredOnce() const { return enteredOnce_; }
    // The 180 ms timer that watches the pointer.
    QTimer& closeTimer() { return timer_; }

private:
    void rowReleased(int row, Qt::MouseButton button, QPoint globalPosition);
    QStringList& recent_;
    FolderRows* rows_;
    QTimer timer_;
    bool enteredOnce_ = false;
};

} // namespace palvo
