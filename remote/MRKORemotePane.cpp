#include "remote/MRKORemotePane.h"

#include "foundation/MRKOUtils.h"
#include "platform/Defaults.h"
#include "remote/MRKOAppTableCellView.h"
#include "remote/MRKOClicker.h"
#include "remote/MRKODeviceRowView.h"
#include "remote/MRKOTableCellView.h"
#include "remote/MRKOUDPController.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

MRKORemotePane::MRKORemotePane(MRKOUDPController *controller, QWidget *parent)
    : QWidget(parent), m_controller(controller)
{
    auto *layout = new QVBoxLayout(this);
    m_table = new QTableWidget(0, 1, this);
    m_table->horizontalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    m_table->setShowGrid(false);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setItemDelegate(new MRKODeviceRowView(m_table));
    layout->addWidget(m_table);
    m_status = new QLabel(this);
    layout->addWidget(m_status);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 0); // spins while an attempt runs
    m_progress->hide();
    layout->addWidget(m_progress);
    const platform::Defaults &defaults = MRKOUtils::userDefaults();
    m_connectAutomatically = new QCheckBox(QStringLiteral("Connect automatically"), this);
    m_connectAutomatically->setChecked(defaults.integerForKey(QStringLiteral("ConnectAutomatically")) == 1);
    layout->addWidget(m_connectAutomatically);
    m_wantsMouseTracking = new QCheckBox(QStringLiteral("Air pointer"), this);
    m_wantsMouseTracking->setChecked(defaults.integerForKey(QStringLiteral("WantsMouseTracking")) == 1);
    layout->addWidget(m_wantsMouseTracking);
    m_getRemote = new QPushButton(QStringLiteral("Get Inkora Remote"), this);
    layout->addWidget(m_getRemote);
    resize(360, 320);

    connect(m_connectAutomatically, &QCheckBox::toggled, this,
            [this](bool on) { m_controller->connectAutomaticallyAction(on); });
    connect(m_wantsMouseTracking, &QCheckBox::toggled, this,
            [this](bool on) { m_controller->wantsMouseTrackingAction(on); });
    connect(m_getRemote, &QPushButton::clicked, this, [this] { m_controller->getInkoraForIOS(); });
    connect(m_controller, &MRKOUDPController::changed, this, &MRKORemotePane::reloadData);
    reloadData();
}

void MRKORemotePane::reloadData()
{
    m_status->setText(m_controller->statusText());
    m_status->setStyleSheet(QStringLiteral("color: %1").arg(m_controller->statusColor().name()));
    const QStringList devices = m_controller->devices();
    const QList<QVariantMap> apps = MRKOClicker::sharedClicker().apps();
    const int rows = m_controller->numberOfRows();
    m_table->clearContents();
    m_table->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        auto *item = new QTableWidgetItem;
        if (!m_controller->shouldSelectRow(row))
            item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
        m_table->setItem(row, 0, item);
        const QString header = m_controller->headerTextForRow(row);
        if (!header.isEmpty()) {
            auto *cell = new QLabel(header);
            cell->setObjectName(QStringLiteral("HeaderCell"));
            m_table->setCellWidget(row, 0, cell);
            continue;
        }
        if (m_controller->isDeviceRow(row)) {
            auto *cell = new MRKOTableCellView;
            const QString name = devices.at(row - 1);
            cell->textField()->setText(name);
            if (name == m_controller->currentService() && m_controller->isConnected())
                cell->makeConnected();
            else if (name == m_controller->currentService() && m_controller->isConnectingProcess())
                cell->makeConnecting();
            connect(cell, &MRKOTableCellView::buttonPressed, this, [this, row](MRKOTableCellView::ButtonAction action) {
                if (action == MRKOTableCellView::ButtonAction::Connect)
                    m_controller->connectButtonAction(row);
                else
                    m_controller->disconnectButtonAction();
            });
            m_table->setCellWidget(row, 0, cell);
            continue;
        }
        const int appIndex = row - int(devices.size()) - 2;
        if (appIndex >= 0 && appIndex < apps.size()) {
            auto *cell = new MRKOAppTableCellView;
            cell->setAppDict(apps.at(appIndex));
            m_table->setCellWidget(row, 0, cell);
        }
    }
}

void MRKORemotePane::setProgressRunning(bool running)
{
    m_progress->setVisible(running);
}

void MRKORemotePane::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_controller->viewWillAppear();
}
