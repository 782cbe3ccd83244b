#include "remote/MRKOTableCellView.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

MRKOTableCellView::MRKOTableCellView(QWidget *parent) : QWidget(parent)
{
    m_textField = new QLabel(this);
    m_textField->move(22, 0);
    m_indicator = new QToolButton(this);
    m_indicator->setText(QStringLiteral("\u25CF")); // a dot: connected
    m_indicator->setAutoRaise(true);
    m_indicator->setFixedSize(18, 18);
    m_indicator->hide();
    m_button = new QPushButton(this);
    m_button->hide();
    connect(m_button, &QPushButton::clicked, this, [this] { emit buttonPressed(m_action); });
    setMinimumHeight(24);
    makeDisconnected();
}

void MRKOTableCellView::makeConnected()
{
    setButtonTitle(QStringLiteral("Disconnect"));
    m_action = ButtonAction::Disconnect;
    m_indicator->show();
}

void MRKOTableCellView::makeConnecting()
{
    setButtonTitle(QStringLiteral("Disconnect"));
    m_action = ButtonAction::Disconnect;
}

void MRKOTableCellView::makeDisconnected()
{
    setButtonTitle(QStringLiteral("Connect"));
    m_action = ButtonAction::Connect;
    m_indicator->hide();
}

void MRKOTableCellView::setButtonTitle(const QString &title)
{
    if (title.isNull())
        return;
    m_button->setText(title);
    updateButtonFrame();
}

void MRKOTableCellView::updateButtonFrame()
{
    m_button->adjustSize();
    // At the right edge, on the row's baseline.
    m_button->move(width() - m_button->width(), height() - m_button->height());
}

void MRKOTableCellView::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    m_button->show();
}

void MRKOTableCellView::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_button->hide();
}

void MRKOTableCellView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_textField->resize(qMax(0, width() - 22), height());
    updateButtonFrame();
}
