#pragma once

#include <QImage>
#include <QtGlobal>

/// The dot over the status icon that marks a shown overlay: green normally, its remote colour while the phone is
/// connected. It is wanted only while "UseGreenStatus" is 1, and shown only with an odd status phase. One shared
/// instance; main thread only.
class MRKOGreenStatusImageView final
{
public:
    /// The shared dot, made once.
    [[nodiscard]] static MRKOGreenStatusImageView &greenStatus();

    /// 0 normal, 1 remote; other values are stored and leave the image.
    void setCurrentStatus(quint64 status);
    [[nodiscard]] quint64 currentStatus() const { return m_currentStatus; }
    [[nodiscard]] const QImage &image() const { return m_image; }

    static void statusNormal();
    static void statusAir();
    [[nodiscard]] static bool isShown();
    /// Nothing when the dot is neither wanted nor shown; otherwise shows it when wanted and `flag`, else hides it.
    static void showHideWithFlag(bool flag);
    static void show();
    static void hide();
    static void updateWantsGreenStatus();
    [[nodiscard]] static bool wantsGreenStatus();
    /// Shows or hides the dot by the low bit of the delegate's status phase.
    static void updateGreenForCurrentPhase();

private:
    MRKOGreenStatusImageView();

    quint64 m_currentStatus = 0;
    QImage m_image;
};
