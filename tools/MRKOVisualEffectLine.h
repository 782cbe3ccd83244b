#pragma once

#include <QWidget>

/// A strip with a separator along its bottom and one along its top.
class MRKOVisualEffectLine final : public QWidget
{
    Q_OBJECT
public:
    /// `size` in points; the separators are placed at once.
    explicit MRKOVisualEffectLine(const QSize &size, QWidget *parent = nullptr);
};
