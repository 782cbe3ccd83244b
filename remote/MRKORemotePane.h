#pragma once

#include <QWidget>

class MRKOUDPController;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

/// The remote pane: the list of found phones and presentation applications, the status line, the check boxes
/// for connecting automatically and for the air pointer, and the link to the phone application.
class MRKORemotePane final : public QWidget
{
    Q_OBJECT
public:
    explicit MRKORemotePane(MRKOUDPController *controller, QWidget *parent = nullptr);

    /// Rebuilds the rows from the controller.
    void reloadData();
    void setProgressRunning(bool running);

    [[nodiscard]] QTableWidget *tableView() const { return m_table; }
    [[nodiscard]] QLabel *labelStatus() const { return m_status; }
    [[nodiscard]] QCheckBox *connectAutomaticallyButton() const { return m_connectAutomatically; }
    [[nodiscard]] QCheckBox *wantsMouseTracking() const { return m_wantsMouseTracking; }
    [[nodiscard]] QProgressBar *progress() const { return m_progress; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    MRKOUDPController *m_controller = nullptr;   // not owned; owns this pane
    QTableWidget *m_table = nullptr;             // child
    QLabel *m_status = nullptr;                  // child
    QCheckBox *m_connectAutomatically = nullptr; // child
    QCheckBox *m_wantsMouseTracking = nullptr;   // child
    QProgressBar *m_progress = nullptr;          // child
    QPushButton *m_getRemote = nullptr;          // child
};
