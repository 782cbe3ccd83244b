#include "objects/ObjectArchiving.h"

#include "platform/KeyedArchiver.h"
#include "platform/KeyedUnarchiver.h"
#include "tests/objects/ObjectsFixture.h"

#include <QtEndian>

#include <functional>

using inkora::BezierPath;

namespace {

// A test object that writes whatever its function writes and reads back the three kinds of value.
class Holder final : public platform::Archivable
{
public:
    explicit Holder(std::function<void(platform::KeyedArchiver &)> write = {}) : m_write(std::move(write)) {}
    QString archiveClassName() const override { return QStringLiteral("ObjectArchivingTestHolder"); }
    void encodeWithCoder(platform::KeyedArchiver &coder) const override { m_write(coder); }

    inkora::SrgbColor first, second;
    std::optional<BezierPath> path;
    std::optional<inkora::EdgeInsets> insets;

    static void registerOnce()
    {
        platform::ArchiveClasses::registerClass(
            QStringLiteral("ObjectArchivingTestHolder"), {}, [](platform::KeyedUnarchiver &coder) {
                auto h = std::make_shared<Holder>();
                h->first = inkora::decodeColor(coder, QStringLiteral("first"));
                h->second = inkora::decodeColor(coder, QStringLiteral("second"));
                h->path = inkora::decodeBezierPath(coder, QStringLiteral("path"));
                h->insets = inkora::decodeEdgeInsets(coder, QStringLiteral("insets"));
                return h;
            });
    }

private:
    std::function<void(platform::KeyedArchiver &)> m_write;
};

std::shared_ptr<Holder> roundTrip(const std::function<void(platform::KeyedArchiver &)> &write,
                                  QByteArray *archive = nullptr)
{
    Holder::registerOnce();
    const std::optional<QByteArray> data = platform::KeyedArchiver::archivedData(Holder(write));
    if (!data)
        return nullptr;
    if (archive)
        *archive = *data;
    return platform::KeyedUnarchiver::unarchivedObjectOfClass<Holder>(QStringLiteral("ObjectArchivingTestHolder"),
                                                                      *data);
}

// A path object with hand-made element bytes, to feed the reader damaged paths.
class RawPath final : public platform::Archivable
{
public:
    RawPath(QByteArray kinds, QByteArray points) : m_kinds(std::move(kinds)), m_points(std::move(points)) {}
    QString archiveClassName() const override { return QStringLiteral("NSBezierPath"); }
    void encodeWithCoder(platform::KeyedArchiver &coder) const override
    {
        coder.encodeData(m_kinds, QStringLiteral("elementKinds"));
        coder.encodeData(m_points, QStringLiteral("elementPoints"));
    }

private:
    QByteArray m_kinds, m_points;
};

QByteArray doubles(std::initializer_list<double> values)
{
    QByteArray bytes;
    for (double v : values) {
        char b[8];
        qToLittleEndian(v, b);
        bytes.append(b, 8);
    }
    return bytes;
}

} // namespace

class ObjectArchivingTest : public ObjectsFixture
{
protected:
    void SetUp() override
    {
        ObjectsFixture::SetUp();
        inkora::registerObjectArchiveClasses();
    }
};

TEST_F(ObjectArchivingTest, ColoursRoundTripAndStayApart)
{
    const QColor translucent = QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.5f);
    QByteArray archive;
    const auto holder = roundTrip(
        [&](platform::KeyedArchiver &coder) {
            inkora::encodeColor(coder, translucent, QStringLiteral("first"));
            inkora::encodeColor(coder, red(), QStringLiteral("second"));
        },
        &archive);
    ASSERT_TRUE(holder);
    EXPECT_EQ(holder->first, translucent);
    // Two colours written one after the other are two objects, not one.
    EXPECT_EQ(holder->second, red());

    const QVariantMap color = archivedObject(archive, QStringLiteral("NSColor"));
    EXPECT_DOUBLE_EQ(color.value(QStringLiteral("red")).toDouble(), 0.2);
    EXPECT_DOUBLE_EQ(color.value(QStringLiteral("alpha")).toDouble(), 0.5);
}

TEST_F(ObjectArchivingTest, MissingColourIsWrittenAsNullAndReadAsInvalid)
{
    QByteArray archive;
    const auto holder =
        roundTrip([](platform::KeyedArchiver &coder) { inkora::encodeColor(coder, QColor(), QStringLiteral("first")); },
                  &archive);
    ASSERT_TRUE(holder);
    EXPECT_FALSE(holder->first.isValid());
    EXPECT_FALSE(holder->second.isValid());
    EXPECT_EQ(
        referenceOf(archivedObject(archive, QStringLiteral("ObjectArchivingTestHolder")), QStringLiteral("first")), 0);
}

TEST_F(ObjectArchivingTest, PathElementsRoundTripExactly)
{
    BezierPath path;
    path.moveTo({0.1, -2.5});
    path.lineTo({1e6, 3});
    path.curveTo({1, 2}, {3, 4}, {5, 6});
    path.closePath();
    path.moveTo({7, 8});
    const auto holder = roundTrip(
        [&](platform::KeyedArchiver &coder) { inkora::encodeBezierPath(coder, path, QStringLiteral("path")); });
    ASSERT_TRUE(holder && holder->path);
    EXPECT_EQ(*holder->path, path);

    const auto empty = roundTrip(
        [](platform::KeyedArchiver &coder) { inkora::encodeBezierPath(coder, BezierPath(), QStringLiteral("path")); });
    ASSERT_TRUE(empty && empty->path);
    EXPECT_TRUE(empty->path->isEmpty());
}

TEST_F(ObjectArchivingTest, InsetsRoundTrip)
{
    const inkora::EdgeInsets insets{15.5, 12, -3, 12};
    const auto holder = roundTrip(
        [&](platform::KeyedArchiver &coder) { inkora::encodeEdgeInsets(coder, insets, QStringLiteral("insets")); });
    ASSERT_TRUE(holder && holder->insets);
    EXPECT_EQ(*holder->insets, insets);
}

TEST_F(ObjectArchivingTest, DamagedValuesRefuseTheWholeArchive)
{
    struct Row
    {
        const char *name;
        std::function<void(platform::KeyedArchiver &)> write;
        const char *reason;
    };
    auto rawPath = [](QByteArray kinds, QByteArray points) {
        return [=](platform::KeyedArchiver &coder) {
            coder.encodeObject(std::make_shared<RawPath>(kinds, points), QStringLiteral("path"));
        };
    };
    auto colour = [](double r, double a) {
        return [=](platform::KeyedArchiver &coder) {
            class Raw final : public platform::Archivable
            {
            public:
                Raw(double r, double a) : r(r), a(a) {}
                QString archiveClassName() const override { return QStringLiteral("NSColor"); }
                void encodeWithCoder(platform::KeyedArchiver &c) const override
                {
                    c.encodeDouble(r, QStringLiteral("red"));
                    c.encodeDouble(a, QStringLiteral("alpha"));
                }
                double r, a;
            };
            coder.encodeObject(std::make_shared<Raw>(r, a), QStringLiteral("first"));
        };
    };
    const Row rows[] = {
        {"UnknownElementKind", rawPath(QByteArray("\x00\x07", 2), doubles({0, 0})), "unknown kind 7"},
        {"TooFewPoints", rawPath(QByteArray("\x00\x02", 2), doubles({0, 0, 1, 1})), "do not match"},
        {"TooManyPoints", rawPath(QByteArray("\x00", 1), doubles({0, 0, 1})), "do not match"},
        {"NoLeadingMove", rawPath(QByteArray("\x01", 1), doubles({0, 0})), "does not begin with a move"},
        {"NaNPoint", rawPath(QByteArray("\x00", 1), doubles({0, std::nan("")})), "not finite"},
        {"ColourFarOutside", colour(1e9, 1), "outside -16...16"},
        {"AlphaAboveOne", colour(1, 2), "alpha lies outside"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString reason = QString::fromLatin1(row.reason);
        log().expectWarning(reason);
        const int before = log().count(reason);
        EXPECT_EQ(roundTrip(row.write), nullptr);
        EXPECT_EQ(log().count(reason), before + 1);
    }
}
