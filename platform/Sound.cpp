#include "platform/Sound.h"

#include "platform/PlatformLog.h"

#include <QFile>

namespace platform {

namespace {

class SilentSound final : public SoundOutput::Sound
{
public:
    SilentSound(QString name, std::shared_ptr<QStringList> played) : Sound(std::move(name)), m_played(std::move(played))
    {}

    void play() override
    {
        qCDebug(lcPlatform).noquote() << QStringLiteral("play %1").arg(name());
        m_played->append(name());
    }
    [[nodiscard]] float volume() const override { return m_volume; }
    void setVolume(float volume) override { m_volume = volume; }

private:
    std::shared_ptr<QStringList> m_played;
    float m_volume = 1;
};

} // namespace

QString SoundOutput::resourcePath(const QString &name)
{
    return QStringLiteral(":/sounds/%1.wav").arg(name);
}

SilentSoundOutput::SilentSoundOutput() : m_played(std::make_shared<QStringList>()) {}

std::unique_ptr<SoundOutput::Sound> SilentSoundOutput::soundNamed(const QString &name)
{
    if (!QFile::exists(resourcePath(name))) {
        qCWarning(lcPlatform).noquote() << QStringLiteral("soundNamed: no sound \"%1\"").arg(name);
        return nullptr;
    }
    return std::make_unique<SilentSound>(name, m_played);
}

} // namespace platform
