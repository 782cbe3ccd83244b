#pragma once

#include <QObject>
#include <QPointer>

class MRKODraw;

/// Holds the canvas as its view and tells it when it first appears.
class MRKODrawViewController final : public QObject
{
    Q_OBJECT
public:
    explicit MRKODrawViewController(MRKODraw *view);

    [[nodiscard]] MRKODraw *drawView() const;
    void viewDidAppear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<MRKODraw> m_view; // owned by its window
    bool m_appeared = false;
};
