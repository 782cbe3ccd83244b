#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace platform {

/// Short samples compiled into the program (":/sounds/<name>.wav"), played on the default audio output.
class SoundOutput
{
public:
    /// One loaded sample.
    class Sound
    {
    public:
        virtual ~Sound() = default;
        /// Starts it; a sound still playing goes on and is not restarted.
        virtual void play() = 0;
        /// 0 to 1.
        [[nodiscard]] virtual float volume() const = 0;
        virtual void setVolume(float volume) = 0;
        [[nodiscard]] const QString &name() const { return m_name; }

    protected:
        explicit Sound(QString name) : m_name(std::move(name)) {}

    private:
        QString m_name;
    };

    virtual ~SoundOutput() = default;
    /// Null, with one log line, when the program has no sample of that name.
    [[nodiscard]] virtual std::unique_ptr<Sound> soundNamed(const QString &name) = 0;
    /// The resource path of a sample.
    [[nodiscard]] static QString resourcePath(const QString &name);
};

/// Where there is no audio output: each request is logged at debug level as "play <name>" and remembered.
class SilentSoundOutput final : public SoundOutput
{
public:
    SilentSoundOutput();
    [[nodiscard]] std::unique_ptr<Sound> soundNamed(const QString &name) override;
    /// The names played, oldest first.
    [[nodiscard]] const QStringList &played() const { return *m_played; }

private:
    std::shared_ptr<QStringList> m_played; // shared with the sounds, which may outlive the output
};

} // namespace platform
