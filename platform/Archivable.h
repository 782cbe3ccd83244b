#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

namespace platform {

class KeyedArchiver;
class KeyedUnarchiver;

/// An object that keyed archives store under its class name. Decoding goes through the function registered for that
/// name in ArchiveClasses, so every class that can be decoded is known in advance.
class Archivable
{
public:
    virtual ~Archivable();

    /// The name written as "$classname" and looked up when decoding.
    [[nodiscard]] virtual QString archiveClassName() const = 0;
    /// Writes the object's keyed values; nested objects are written through the coder by reference.
    virtual void encodeWithCoder(KeyedArchiver &coder) const = 0;
};

using ArchivablePtr = std::shared_ptr<Archivable>;

} // namespace platform

Q_DECLARE_METATYPE(platform::ArchivablePtr)

namespace platform {

/// Makes an object from the keyed values of one archived object. Returning null, or calling the coder's
/// failWithError, refuses the whole archive.
using ArchiveDecodeFunction = std::function<ArchivablePtr(KeyedUnarchiver &coder)>;

/// The classes keyed archives know: the collection and value classes built in, and those subsystems register.
/// Thread-safe.
class ArchiveClasses final
{
public:
    /// The root every chain of superclasses ends in.
    static QString rootClassName();

    /// Registers or replaces a class. An empty `superclass` means the root. The chain of superclasses goes into
    /// "$classes", and an allow-list naming a superclass admits its subclasses. The built-in names are refused with
    /// a log line.
    static bool registerClass(const QString &name, const QString &superclass, ArchiveDecodeFunction decode);
    [[nodiscard]] static bool isKnown(const QString &name);
    /// The name followed by its superclasses up to the root; just the name and the root for an unknown class.
    [[nodiscard]] static QStringList hierarchy(const QString &name);
    /// Null for built-in and unknown classes.
    [[nodiscard]] static ArchiveDecodeFunction decodeFunction(const QString &name);
};

/// The object inside a decoded QVariant as T, or null when it holds something else.
template <class T> [[nodiscard]] std::shared_ptr<T> archivableCast(const QVariant &value)
{
    if (value.typeId() != qMetaTypeId<ArchivablePtr>())
        return nullptr;
    return std::dynamic_pointer_cast<T>(value.value<ArchivablePtr>());
}

} // namespace platform
