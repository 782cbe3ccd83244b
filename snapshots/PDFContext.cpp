#include "snapshots/PDFContext.h"

#include "foundation/InkoraLog.h"

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

namespace inkora {

PDFContext::PDFContext(const QString &path) : m_path(path), m_buffer(std::make_unique<QBuffer>(&m_bytes)), m_writer()
{
    m_buffer->open(QIODevice::WriteOnly);
    m_writer = std::make_unique<QPdfWriter>(m_buffer.get());
    m_writer->setResolution(72); // one painter unit is one point
    m_writer->setPageMargins(QMarginsF(0, 0, 0, 0));
    m_writer->setCreator(QStringLiteral("Inkora"));
}

PDFContext::~PDFContext()
{
    if (m_painter.isActive())
        m_painter.end();
}

QPainter &PDFContext::beginPage(QSizeF size)
{
    m_writer->setPageSize(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch));
    m_writer->setPageMargins(QMarginsF(0, 0, 0, 0));
    if (m_pages++ == 0)
        m_painter.begin(m_writer.get());
    else
        m_writer->newPage();
    m_painter.resetTransform();
    m_painter.translate(0, size.height());
    m_painter.scale(1, -1);
    m_painter.setClipping(false);
    return m_painter;
}

void PDFContext::endPage()
{
    m_painter.resetTransform();
}

bool PDFContext::close()
{
    if (m_painter.isActive())
        m_painter.end();
    m_writer.reset();
    m_buffer->close();
    if (m_pages == 0 || m_bytes.isEmpty()) {
        qCWarning(lcSnapshots) << "PDFContext: no page was drawn; nothing written to" << m_path;
        return false;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_bytes) != m_bytes.size() || !file.commit()) {
        qCWarning(lcSnapshots) << "PDFContext: cannot write" << m_path << "-" << file.errorString();
        return false;
    }
    return true;
}

} // namespace inkora
