#include "platform/linux/QtSoundOutput.h"

#include "platform/PlatformLog.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace platform {

namespace {

class EffectSound final : public SoundOutput::Sound
{
public:
    explicit EffectSound(const QString &name) : Sound(name)
    {
        m_effect.setSource(QUrl(QStringLiteral("qrc") + SoundOutput::resourcePath(name)));
    }

    void play() override
    {
        // Started again while playing, an effect would cut itself off.
        if (!m_effect.isPlaying())
            m_effect.play();
    }
    [[nodiscard]] float volume() const override { return m_effect.volume(); }
    void setVolume(float volume) override { m_effect.setVolume(volume); }

private:
    QSoundEffect m_effect;
};

} // namespace

std::unique_ptr<QtSoundOutput> QtSoundOutput::create()
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return nullptr;
    return std::unique_ptr<QtSoundOutput>(new QtSoundOutput);
}

std::unique_ptr<SoundOutput::Sound> QtSoundOutput::soundNamed(const QString &name)
{
    if (!QFile::exists(resourcePath(name))) {
        qCWarning(lcPlatform).noquote() << QStringLiteral("soundNamed: no sound \"%1\"").arg(name);
        return nullptr;
    }
    return std::make_unique<EffectSound>(name);
}

} // namespace platform
