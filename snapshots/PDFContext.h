#pragma once

#include <QByteArray>
#include <QPainter>
#include <QSizeF>
#include <QString>

#include <memory>

class QBuffer;
class QPdfWriter;

namespace inkora {

/// A PDF document written page by page, each page with its own media box in points; the file is written
/// atomically when the context closes.
class PDFContext final
{
public:
    explicit PDFContext(const QString &path);
    ~PDFContext();
    PDFContext(const PDFContext &) = delete;
    PDFContext &operator=(const PDFContext &) = delete;

    /// Starts a page of `size` points. The painter is y up, its origin at the page's bottom left, one unit a point.
    QPainter &beginPage(QSizeF size);
    void endPage();
    /// Finishes the document and writes the file; false (with a log line) when nothing could be written.
    [[nodiscard]] bool close();

private:
    QString m_path;
    QByteArray m_bytes;
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QPdfWriter> m_writer;
    QPainter m_painter;
    int m_pages = 0;
};

} // namespace inkora
