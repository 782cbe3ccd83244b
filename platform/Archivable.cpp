#include "platform/Archivable.h"

#include "platform/PlatformLog.h"

#include <QHash>

#include <mutex>

namespace platform {

namespace {

constexpr int kMaxChain = 64; // superclass steps; a longer chain is a registration loop

struct Entry
{
    QString superclass; // empty for the root
    ArchiveDecodeFunction decode;
    bool builtIn = false;
};

struct Registry
{
    std::mutex mutex;
    QHash<QString, Entry> classes;

    Registry()
    {
        // The standard names external readers know; collections and values are decoded by the unarchiver itself.
        const QString root = ArchiveClasses::rootClassName();
        auto add = [&](const char *name, const QString &superclass) {
            classes.insert(QString::fromLatin1(name), Entry{superclass, {}, true});
        };
        add("NSObject", QString());
        add("NSString", root);
        add("NSMutableString", QStringLiteral("NSString"));
        add("NSNumber", root);
        add("NSData", root);
        add("NSMutableData", QStringLiteral("NSData"));
        add("NSDate", root);
        add("NSArray", root);
        add("NSMutableArray", QStringLiteral("NSArray"));
        add("NSDictionary", root);
        add("NSMutableDictionary", QStringLiteral("NSDictionary"));
    }
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

} // namespace

Archivable::~Archivable() = default;

QString ArchiveClasses::rootClassName()
{
    return QStringLiteral("NSObject");
}

bool ArchiveClasses::registerClass(const QString &name, const QString &superclass, ArchiveDecodeFunction decode)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    const auto existing = r.classes.constFind(name);
    if (name.isEmpty() || name.startsWith(QLatin1Char('$')) || (existing != r.classes.cend() && existing->builtIn) ||
        !decode) {
        qCWarning(lcPlatform).noquote()
            << QStringLiteral("ArchiveClasses::registerClass: \"%1\" is built in, reserved or has no decode function; "
                              "not registered")
                   .arg(name);
        return false;
    }
    r.classes.insert(name, Entry{superclass.isEmpty() ? rootClassName() : superclass, std::move(decode), false});
    return true;
}

bool ArchiveClasses::isKnown(const QString &name)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    return r.classes.contains(name);
}

QStringList ArchiveClasses::hierarchy(const QString &name)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    QStringList chain{name};
    QString current = name;
    for (int step = 0; step < kMaxChain; ++step) {
        const auto it = r.classes.constFind(current);
        if (it == r.classes.cend()) {
            // An unknown class still derives from the root, as external readers expect.
            if (current != rootClassName())
                chain << rootClassName();
            break;
        }
        if (it->superclass.isEmpty() || chain.contains(it->superclass))
            break;
        chain << it->superclass;
        current = it->superclass;
    }
    return chain;
}

ArchiveDecodeFunction ArchiveClasses::decodeFunction(const QString &name)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.classes.constFind(name);
    return it == r.classes.cend() ? ArchiveDecodeFunction() : it->decode;
}

} // namespace platform
