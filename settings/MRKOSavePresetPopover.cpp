#include "settings/MRKOSavePresetPopover.h"

#include "platform/Popover.h"
#include "settings/MRKOPresetController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace {

const QString kSave = QStringLiteral("Save");
const QString kRewrite = QStringLiteral("Rewrite");
const QString kTitle = QStringLiteral("Name for a new preset");
const QColor kWarning(255, 204, 0); // the system yellow

} // namespace

MRKOSavePresetPopover::MRKOSavePresetPopover() : m_popover(std::make_unique<platform::Popover>())
{
    m_popover->setBehavior(platform::Popover::Transient);
    m_popover->setTakesKeyboardFocus(true);
    auto content = std::make_unique<QWidget>();
    content->resize(324, 70);
    // Frames of the y-up layout, placed from the top: the title 10 below the top edge, field and button below it.
    m_title = new QLabel(kTitle, content.get());
    m_title->setObjectName(QStringLiteral("titleField"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setGeometry(0, 10, 324, 18);
    m_field = new QLineEdit(QStringLiteral("Preset Name"), content.get());
    m_field->setObjectName(QStringLiteral("nameField"));
    m_field->setGeometry(16, 36, 220, 22);
    m_button = new QPushButton(kSave, content.get());
    m_button->setObjectName(QStringLiteral("saveButton"));
    m_button->setGeometry(242, 34, 66, 26);
    connect(m_button, &QPushButton::clicked, this, &MRKOSavePresetPopover::tryToFinalize);
    connect(m_field, &QLineEdit::returnPressed, this, &MRKOSavePresetPopover::tryToFinalize);
    connect(m_field, &QLineEdit::textEdited, this, &MRKOSavePresetPopover::controlTextDidChange);
    m_popover->setContentWidget(content.release()); // the popover takes it
}

MRKOSavePresetPopover::~MRKOSavePresetPopover() = default;

void MRKOSavePresetPopover::setTarget(NameExists nameExists, Action action)
{
    m_nameExists = std::move(nameExists);
    m_action = std::move(action);
}

void MRKOSavePresetPopover::warn(const QString &text)
{
    m_title->setText(text);
    QPalette palette = m_title->palette();
    palette.setColor(QPalette::WindowText, kWarning);
    m_title->setPalette(palette);
}

void MRKOSavePresetPopover::controlTextDidChange()
{
    if (m_button->text() != kSave)
        m_button->setText(kSave);
    if (m_title->text() != kTitle)
        m_title->setText(kTitle);
    m_title->setPalette(QPalette());
}

void MRKOSavePresetPopover::tryToFinalize()
{
    const QString name = m_field->text();
    if (name.isEmpty()) {
        warn(QStringLiteral("Preset name is too short"));
        return;
    }
    if (!MRKOPresetController::presetNameProblem(name, m_extension).isEmpty()) {
        warn(QStringLiteral("Preset name is not allowed"));
        return;
    }
    if (m_nameExists && m_nameExists(name) && m_button->text() != kRewrite) {
        warn(QStringLiteral("Preset name already exists"));
        m_button->setText(kRewrite);
        return;
    }
    m_presetName = name;
    if (m_action)
        m_action(QString(name));
    m_popover->close();
}
