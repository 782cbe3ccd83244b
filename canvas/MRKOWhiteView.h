#pragma once

#include <QWidget>

/// A plain white view.
class MRKOWhiteView : public QWidget
{
    Q_OBJECT
public:
    explicit MRKOWhiteView(QWidget *parent = nullptr) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent *event) override;
};
