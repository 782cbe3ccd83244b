#include "settings/MRKOSavePresetPopover.h"

#include "foundation/InkoraLog.h"
#include "platform/Popover.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

namespace {

const QString kSaveTitle = QStringLiteral("Save");
const QString kRewriteTitle = QStringLiteral("Rewrite");
const QString kMessage = QStringLiteral("Name for a new preset");
const QColor kWarningColor(255, 204, 0); // the system yellow

constexpr double kFieldWidth = 200; // points
constexpr double kFieldHeight = 20; // points
constexpr double kButtonWidth = 80; // points
constexpr double kTitleWidth = 300; // points
constexpr qsizetype kMaxFileNameBytes = 255;

/// A frame of the content given in points with y up, in Qt's y-down widget coordinates.
QRect fromBottom(double x, double y, double width, double height)
{
    return QRect(int(x), int(MRKOSavePresetPopover::kHeight - y - height), int(width), int(height));
}

void setTitleColor(QLabel &label, const QColor &color)
{
    QPalette palette = label.palette();
    if (palette.color(QPalette::WindowText) == color)
        return;
    palette.setColor(QPalette::WindowText, color);
    label.setPalette(palette);
}

} // namespace

MRKOSavePresetPopover::MRKOSavePresetPopover(QObject *parent)
    : QObject(parent), m_popover(std::make_unique<platform::Popover>())
{
    createPopoverViewController();
}

MRKOSavePresetPopover::~MRKOSavePresetPopover()
{
    if (m_popover)
        disconnect(m_popover.get(), nullptr, this, nullptr);
}

void MRKOSavePresetPopover::createPopoverViewController()
{
    // The field is centred in the view widened by 40 and sits 34 below its top; the button 6 to its right; then
    // the view grows by the button and 4, and the message is centred 10 below the top of the final width.
    double width = 200 + 40;
    const double fieldX = (width - kFieldWidth) / 2;
    const double fieldY = kHeight - kFieldHeight - 34;
    const double buttonX = fieldX + kFieldWidth + 6;
    width += kButtonWidth + 4;
    const double titleX = (width - kTitleWidth) / 2;
    const double titleY = kHeight - kFieldHeight - 10;

    auto content = std::make_unique<QWidget>();
    content->resize(int(width), int(kHeight));

    m_nameField = new QLineEdit(QStringLiteral("Preset Name"), content.get()); // child
    m_nameField->setObjectName(QStringLiteral("nameField"));
    m_nameField->setGeometry(fromBottom(fieldX, fieldY, kFieldWidth, kFieldHeight));
    m_nameField->selectAll();
    m_nameField->setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(m_nameField, &QLineEdit::returnPressed, this, &MRKOSavePresetPopover::textFieldEdit);
    connect(m_nameField, &QLineEdit::textEdited, this, &MRKOSavePresetPopover::controlTextDidChange);

    m_saveButton = new QPushButton(kSaveTitle, content.get()); // child
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setGeometry(fromBottom(buttonX, fieldY, kButtonWidth, kFieldHeight));
    m_saveButton->setFocusPolicy(Qt::NoFocus);
    connect(m_saveButton, &QPushButton::clicked, this, &MRKOSavePresetPopover::save);

    m_titleField = new QLabel(kMessage, content.get()); // child
    m_titleField->setObjectName(QStringLiteral("titleField"));
    m_titleField->setGeometry(fromBottom(titleX, titleY, kTitleWidth, kFieldHeight));
    m_titleField->setAlignment(Qt::AlignCenter);
    m_titleField->setAttribute(Qt::WA_TranslucentBackground);

    content->setFocusProxy(m_nameField);
    m_popover->setTakesKeyboardFocus(true);
    m_popover->setContentWidget(content.release());
}

bool MRKOSavePresetPopover::nameIsAllowed(const QString &name, const QString &extension)
{
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return false;
    const QString fileName = extension.isEmpty() ? name : name + QLatin1Char('.') + extension;
    return fileName.toUtf8().size() <= kMaxFileNameBytes;
}

void MRKOSavePresetPopover::save()
{
    tryToFinalize();
}

void MRKOSavePresetPopover::textFieldEdit()
{
    tryToFinalize();
}

void MRKOSavePresetPopover::controlTextDidChange()
{
    if (m_saveButton && m_saveButton->text() != kSaveTitle)
        m_saveButton->setText(kSaveTitle);
    if (!m_titleField)
        return;
    if (m_titleField->text() != kMessage)
        m_titleField->setText(kMessage);
    setTitleColor(*m_titleField, m_titleField->parentWidget()->palette().color(QPalette::WindowText));
}

void MRKOSavePresetPopover::warn(const QString &text)
{
    if (!m_titleField)
        return;
    m_titleField->setText(text);
    setTitleColor(*m_titleField, kWarningColor);
}

void MRKOSavePresetPopover::tryToFinalize()
{
    if (!m_nameField)
        return;
    const QString name = m_nameField->text(); // as typed: spaces are part of a name
    if (name.isEmpty()) {
        warn(QStringLiteral("Preset name is too short"));
        return;
    }
    if (!nameIsAllowed(name, m_target ? m_target->presetExtension() : QString())) {
        warn(QStringLiteral("Preset name is not allowed"));
        return;
    }
    if (m_target && m_target->presetNameExists(name) && m_saveButton && m_saveButton->text() != kRewriteTitle) {
        warn(QStringLiteral("Preset name already exists"));
        m_saveButton->setText(kRewriteTitle);
        return;
    }
    m_presetName = name;
    invokeAction(m_presetName);
    m_popover->close();
}

void MRKOSavePresetPopover::invokeAction(const QString &name)
{
    if (!m_target || !m_action) {
        qCWarning(lcSettings) << "invokeAction: the popover has no owner to save" << name << "; nothing is saved";
        return;
    }
    m_action(name);
}
