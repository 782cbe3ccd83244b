#pragma once

#include <QComboBox>

/// The template chooser of the single-key slots: it lists every action a slot can take, each item tagged (its
/// data) with its action number, with the current colour swatches and tool icons beside the defaults. Every
/// slot chooser copies its items.
class MRKOActionSourcePopupButton final : public QComboBox
{
    Q_OBJECT
public:
    static constexpr quint64 kActionCount = 50; // action numbers 0 to 49

    explicit MRKOActionSourcePopupButton(QWidget *parent = nullptr);

    /// The item index of an action number; -1 when none carries it.
    [[nodiscard]] int indexOfTag(quint64 action) const;

    /// Swatches, then the black-and-white swatch and the tool icons, on the default actions' items.
    void updateMenuImages();
    void updateMenuImagesSwatches();
    void updateMenuImagesTools();
};
