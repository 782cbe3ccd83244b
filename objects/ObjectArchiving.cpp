#include "objects/ObjectArchiving.h"

#include "foundation/SrgbColor.h"
#include "platform/Archivable.h"
#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"

#include <QtEndian>

#include <cmath>
#include <cstring>
#include <mutex>

namespace inkora {

namespace {

// Colour keys: sRGB components, alpha last.
constexpr char kRed[] = "red";
constexpr char kGreen[] = "green";
constexpr char kBlue[] = "blue";
constexpr char kAlpha[] = "alpha";
// Extended sRGB may leave 0...1 a little; anything far outside is damage, not colour.
constexpr double kComponentLimit = 16.0;

// platform::Path keys: one byte per element, and the elements' points as little-endian doubles, x before y.
constexpr char kElementKinds[] = "elementKinds";
constexpr char kElementPoints[] = "elementPoints";
enum ArchivedElement : char { kMove = 0, kLine = 1, kCurve = 2, kClose = 3 };

// Inset keys.
constexpr char kValueType[] = "valueType";
constexpr char kEdgeInsetsType[] = "edgeInsets";
constexpr char kTop[] = "top";
constexpr char kLeft[] = "left";
constexpr char kBottom[] = "bottom";
constexpr char kRight[] = "right";

QString key(const char *text)
{
    return QString::fromLatin1(text);
}

class ArchivedColor final : public platform::Archivable
{
public:
    explicit ArchivedColor(const SrgbColor &color) : m_color(color) {}
    [[nodiscard]] QString archiveClassName() const override { return key(kColorClassName); }
    void encodeWithCoder(platform::KeyedArchiver &coder) const override
    {
        if (!m_color.isValid())
            return;
        coder.encodeDouble(m_color.red(), key(kRed));
        coder.encodeDouble(m_color.green(), key(kGreen));
        coder.encodeDouble(m_color.blue(), key(kBlue));
        coder.encodeDouble(m_color.alpha(), key(kAlpha));
    }
    [[nodiscard]] const SrgbColor &color() const { return m_color; }

    static platform::ArchivablePtr decode(platform::KeyedUnarchiver &coder)
    {
        const double r = coder.decodeDouble(key(kRed));
        const double g = coder.decodeDouble(key(kGreen));
        const double b = coder.decodeDouble(key(kBlue));
        const double a = coder.decodeDouble(key(kAlpha));
        for (double component : {r, g, b}) {
            if (!(std::abs(component) <= kComponentLimit)) {
                coder.failWithError(QStringLiteral("a colour component lies outside -16...16"));
                return nullptr;
            }
        }
        if (!(a >= 0.0 && a <= 1.0)) {
            coder.failWithError(QStringLiteral("a colour's alpha lies outside 0...1"));
            return nullptr;
        }
        return std::make_shared<ArchivedColor>(SrgbColor(r, g, b, a));
    }

private:
    SrgbColor m_color;
};

int pointsOf(ArchivedElement kind)
{
    return kind == kCurve ? 3 : kind == kClose ? 0 : 1;
}

class ArchivedBezierPath final : public platform::Archivable
{
public:
    explicit ArchivedBezierPath(BezierPath path) : m_path(std::move(path)) {}
    [[nodiscard]] QString archiveClassName() const override { return key(kBezierPathClassName); }
    void encodeWithCoder(platform::KeyedArchiver &coder) const override
    {
        QByteArray kinds;
        QByteArray points;
        auto addPoint = [&points](QPointF p) {
            char bytes[16];
            qToLittleEndian(p.x(), bytes);
            qToLittleEndian(p.y(), bytes + 8);
            points.append(bytes, 16);
        };
        for (const platform::Path::Element &e : m_path.elements()) {
            switch (e.type) {
            case platform::Path::ElementType::MoveTo:
                kinds.append(kMove);
                addPoint(e.points[0]);
                break;
            case platform::Path::ElementType::LineTo:
                kinds.append(kLine);
                addPoint(e.points[0]);
                break;
            case platform::Path::ElementType::QuadTo: // a Bezier path holds none; written as the cubic with both
                                                      // controls on it
                kinds.append(kCurve);
                addPoint(e.points[0]);
                addPoint(e.points[0]);
                addPoint(e.points[1]);
                break;
            case platform::Path::ElementType::CubicTo:
                kinds.append(kCurve);
                addPoint(e.points[0]);
                addPoint(e.points[1]);
                addPoint(e.points[2]);
                break;
            case platform::Path::ElementType::Close:
                kinds.append(kClose);
                break;
            }
        }
        coder.encodeData(kinds, key(kElementKinds));
        coder.encodeData(points, key(kElementPoints));
    }
    [[nodiscard]] const BezierPath &path() const { return m_path; }

    static platform::ArchivablePtr decode(platform::KeyedUnarchiver &coder)
    {
        const QByteArray kinds = coder.decodeData(key(kElementKinds));
        const QByteArray points = coder.decodeData(key(kElementPoints));
        qsizetype needed = 0;
        for (char k : kinds) {
            if (k < kMove || k > kClose) {
                coder.failWithError(QStringLiteral("a path element has the unknown kind %1").arg(int(k)));
                return nullptr;
            }
            needed += pointsOf(ArchivedElement(k));
        }
        if (points.size() != needed * 16) {
            coder.failWithError(QStringLiteral("a path's points do not match its elements"));
            return nullptr;
        }
        if (!kinds.isEmpty() && kinds.at(0) != kMove) {
            coder.failWithError(QStringLiteral("a path does not begin with a move"));
            return nullptr;
        }
        BezierPath path;
        const char *p = points.constData();
        auto next = [&p]() {
            const double x = qFromLittleEndian<double>(p);
            const double y = qFromLittleEndian<double>(p + 8);
            p += 16;
            return QPointF(x, y);
        };
        for (char k : kinds) {
            QPointF q[3];
            for (int i = 0; i < pointsOf(ArchivedElement(k)); ++i) {
                q[i] = next();
                if (!std::isfinite(q[i].x()) || !std::isfinite(q[i].y())) {
                    coder.failWithError(QStringLiteral("a path point is not finite"));
                    return nullptr;
                }
            }
            switch (ArchivedElement(k)) {
            case kMove:
                path.moveTo(q[0]);
                break;
            case kLine:
                path.lineTo(q[0]);
                break;
            case kCurve:
                path.curveTo(q[0], q[1], q[2]);
                break;
            case kClose:
                path.closePath();
                break;
            }
        }
        return std::make_shared<ArchivedBezierPath>(std::move(path));
    }

private:
    BezierPath m_path;
};

class ArchivedEdgeInsets final : public platform::Archivable
{
public:
    explicit ArchivedEdgeInsets(const EdgeInsets &insets) : m_insets(insets) {}
    [[nodiscard]] QString archiveClassName() const override { return key(kValueClassName); }
    void encodeWithCoder(platform::KeyedArchiver &coder) const override
    {
        coder.encodeString(key(kEdgeInsetsType), key(kValueType));
        coder.encodeDouble(m_insets.top, key(kTop));
        coder.encodeDouble(m_insets.left, key(kLeft));
        coder.encodeDouble(m_insets.bottom, key(kBottom));
        coder.encodeDouble(m_insets.right, key(kRight));
    }
    [[nodiscard]] const EdgeInsets &insets() const { return m_insets; }

    static platform::ArchivablePtr decode(platform::KeyedUnarchiver &coder)
    {
        if (coder.decodeString(key(kValueType)) != key(kEdgeInsetsType)) {
            coder.failWithError(QStringLiteral("a value holds something other than edge insets"));
            return nullptr;
        }
        EdgeInsets insets;
        insets.top = coder.decodeDouble(key(kTop));
        insets.left = coder.decodeDouble(key(kLeft));
        insets.bottom = coder.decodeDouble(key(kBottom));
        insets.right = coder.decodeDouble(key(kRight));
        return std::make_shared<ArchivedEdgeInsets>(insets);
    }

private:
    EdgeInsets m_insets;
};

} // namespace

void registerObjectArchiveClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        platform::ArchiveClasses::registerClass(key(kColorClassName), {}, &ArchivedColor::decode);
        platform::ArchiveClasses::registerClass(key(kBezierPathClassName), {}, &ArchivedBezierPath::decode);
        platform::ArchiveClasses::registerClass(key(kValueClassName), {}, &ArchivedEdgeInsets::decode);
    });
}

void encodeColor(platform::KeyedArchiver &coder, const SrgbColor &color, const QString &key)
{
    if (!color.isValid()) {
        coder.encodeObject(platform::ArchivablePtr(), key);
        return;
    }
    // Shared, so the archiver keeps it alive: it tells objects apart by address.
    coder.encodeObject(std::make_shared<ArchivedColor>(color), key);
}

SrgbColor decodeColor(platform::KeyedUnarchiver &coder, const QString &key)
{
    registerObjectArchiveClasses();
    const auto archived = coder.decodeObjectOfClass<ArchivedColor>(QString::fromLatin1(kColorClassName), key);
    return archived ? archived->color() : SrgbColor();
}

void encodeBezierPath(platform::KeyedArchiver &coder, const BezierPath &path, const QString &key)
{
    coder.encodeObject(std::make_shared<ArchivedBezierPath>(path), key);
}

std::optional<BezierPath> decodeBezierPath(platform::KeyedUnarchiver &coder, const QString &key)
{
    registerObjectArchiveClasses();
    const auto archived = coder.decodeObjectOfClass<ArchivedBezierPath>(QString::fromLatin1(kBezierPathClassName), key);
    if (!archived)
        return std::nullopt;
    return archived->path();
}

void encodeEdgeInsets(platform::KeyedArchiver &coder, const EdgeInsets &insets, const QString &key)
{
    coder.encodeObject(std::make_shared<ArchivedEdgeInsets>(insets), key);
}

std::optional<EdgeInsets> decodeEdgeInsets(platform::KeyedUnarchiver &coder, const QString &key)
{
    registerObjectArchiveClasses();
    const auto archived = coder.decodeObjectOfClass<ArchivedEdgeInsets>(QString::fromLatin1(kValueClassName), key);
    if (!archived)
        return std::nullopt;
    return archived->insets();
}

} // namespace inkora
