#include "shortcuts/KQTextField.h"

#include "app/AppDelegate.h"
#include "foundation/InkoraLog.h"
#include "foundation/MRKOUtils.h"
#include "foundation/NSColor+OnOffColor.h"
#include "foundation/NSUserDefaults+ShortcutEncode.h"
#include "foundation/SrgbColor.h"
#include "platform/Clock.h"
#include "platform/Defaults.h"
#include "platform/Dispatch.h"
#include "platform/Keys.h"
#include "platform/Popover.h"
#include "platform/Services.h"
#include "shortcuts/KQShortCut.h"
#include "shortcuts/KQShortCutMonitor.h"
#include "shortcuts/KQShortCutPopover.h"
#include "shortcuts/KQShortCutTextField.h"
#include "shortcuts/KQTextField+Colours.h"
#include "shortcuts/KeyNames.h"
#include "shortcuts/MRKOShortcutTextFieldCell.h"
#include "shortcuts/ShortcutFieldImages.h"
#include "shortcuts/ShortcutOutline.h"
#include "shortcuts/ShortcutsNeighbours.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineF>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kButtonSide = 11;       // points
constexpr double kScrollDuration = 0.3;  // seconds of the scroll to a removed field
constexpr double kScrollStep = 1.0 / 60; // seconds between scroll steps
const QString kRemovedPopoverKey = QStringLiteral("ShortcutRemovedPopover");

QColor lightOrange()
{
    return inkora::SrgbColor(1.0, 0.72, 0.25, 1).toQColor();
}

QColor gray()
{
    return inkora::SrgbColor(0.5, 0.5, 0.5, 1).toQColor();
}

QColor lightGray()
{
    return inkora::SrgbColor(2.0 / 3, 2.0 / 3, 2.0 / 3, 1).toQColor();
}

platform::Defaults &defaults()
{
    return MRKOUtils::userDefaults();
}

/// Whether the widget lies wholly in the part of its parent that is shown.
bool isWhollyVisible(const QWidget &widget)
{
    if (!widget.isVisible())
        return false;
    const QWidget *parent = widget.parentWidget();
    if (!parent)
        return true;
    return QRegion(widget.geometry()).subtracted(parent->visibleRegion()).isEmpty();
}

QToolButton *makeButton(QWidget *parent, const QString &image)
{
    auto *button = new QToolButton(parent); // child
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(int(kButtonSide), int(kButtonSide));
    button->setIconSize(QSize(int(kButtonSide), int(kButtonSide)));
    button->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    button->setIcon(QIcon(QPixmap::fromImage(inkora::shortcutFieldImage(image))));
    button->hide();
    return button;
}

} // namespace

KQTextField::KQTextField(QWidget *parent) : MRKODescTextField(parent)
{
    setUpButtons();
}

KQTextField::~KQTextField()
{
    if (m_cursorPushed)
        QGuiApplication::restoreOverrideCursor();
    KQShortCutPopover &popover = KQShortCutPopover::sharedPopover();
    if (popover.label() == this)
        popover.close();
}

qint64 KQTextField::tagForAction(const QString &action)
{
    const std::shared_ptr<KQShortCut> standard = MRKOUtils::defaultShortCutForAction(action);
    if (!standard)
        return KQShortCutTextField::kDefaultSymbolsCount;
    const qint64 below = shortcutSymbolCount(standard->keyCode(), standard->modifierFlags()) - 1;
    return std::clamp<qint64>(below, 0, KQShortCutTextField::kDefaultSymbolsCount);
}

void KQTextField::setUpButtons()
{
    setNormalColor();
    cell().setLeftPadding(kLeftTextInset);
    setMouseTracking(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus); // never the first responder

    m_restoreButton = makeButton(this, QStringLiteral("RestoreOval"));
    m_enableButton = makeButton(this, QStringLiteral("ShortcutDisableOval"));
    m_dropdownButton = makeButton(this, QStringLiteral("MRKODropdownMenuOval"));
    connect(m_restoreButton, &QToolButton::clicked, this, &KQTextField::restoreShortcut);
    connect(m_enableButton, &QToolButton::clicked, this, &KQTextField::enableToggleShortcut);
    connect(m_dropdownButton, &QToolButton::clicked, this, &KQTextField::dropdownMenuAction);

    m_sixDots = new QLabel(this); // child
    m_sixDots->setPixmap(QPixmap::fromImage(inkora::shortcutFieldImage(QStringLiteral("MRKOSixGrayDots"))));
    m_sixDots->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *dotsAlpha = new QGraphicsOpacityEffect(m_sixDots); // owned by the label
    dotsAlpha->setOpacity(0);
    m_sixDots->setGraphicsEffect(dotsAlpha);
    layOutButtons();
}

void KQTextField::layOutButtons()
{
    // Vertically centred: the buttons' lower edge at floor(mid-height - 5) points above the field's lower edge.
    const int bottom = int(std::floor(height() / 2.0 - 5));
    const int y = height() - bottom - int(kButtonSide);
    m_restoreButton->move(width() - 41, y);
    m_enableButton->move(width() - 26, y);
    m_dropdownButton->move(width() - 11, y);
    m_sixDots->setGeometry(2, height() - 2 - 17, 12, 17);
}

void KQTextField::resizeEvent(QResizeEvent *event)
{
    MRKODescTextField::resizeEvent(event);
    layOutButtons();
}

// ---- Shortcut, text and colour ----

void KQTextField::setShortCut(const std::shared_ptr<KQShortCut> &shortCut)
{
    m_shortCut = shortCut;
    updateShortcutString();
    setColorDependingOnMousePosition();
    updateEnableButtonImage();
}

void KQTextField::updateShortcutString()
{
    const std::shared_ptr<KQShortCut> live = shortCut();
    if (!live) {
        setStringValue(QStringLiteral("Missing Shortcut"));
        return;
    }
    if (live->isNotAssigned()) {
        setStringValue(QStringLiteral("Not Assigned"));
        return;
    }
    const QString hint = live->basicHint();
    const QString words = live->extraHintWithBrackets();
    if (hint.isEmpty() || words.isEmpty()) {
        setStringValue(QStringLiteral("***"));
        return;
    }
    // Where the words say no more than the symbols, they are left out.
    if (QString(QLatin1Char('(') + hint + QLatin1Char(')')).compare(words, Qt::CaseInsensitive) == 0)
        setStringValue(hint);
    else
        setStringValue(QStringLiteral("%1  %2").arg(hint, words));
}

void KQTextField::setNormalColor()
{
    m_isHighlighted = false;
    const std::shared_ptr<KQShortCut> live = shortCut();
    if (live && live->disabled())
        setTextColor(gray());
    else if (!live || live->isNotAssigned() || live->isFailedToRegister())
        setTextColor(kqtextfield::warningOrange());
    else
        setTextColor(OnOffColor::iconOnColor());
}

void KQTextField::setHighlightedColor()
{
    m_isHighlighted = true;
    const std::shared_ptr<KQShortCut> live = shortCut();
    if (live && live->disabled())
        setTextColor(lightGray());
    else if (!live || live->isNotAssigned())
        setTextColor(lightOrange());
    else if (live->isFailedToRegister())
        setTextColor(kqtextfield::warningOrange());
    else
        setTextColor(OnOffColor::iconPressedColor());
}

void KQTextField::setColorDependingOnMousePosition()
{
    if (mouseStillHere())
        setHighlightedColor();
    else
        setNormalColor();
}

void KQTextField::updateEnableButtonImage()
{
    const std::shared_ptr<KQShortCut> live = shortCut();
    const bool disabled = live && live->disabled();
    m_enableButton->setIcon(QIcon(QPixmap::fromImage(inkora::shortcutFieldImage(
        disabled ? QStringLiteral("ShortcutEnableOval") : QStringLiteral("ShortcutDisableOval")))));
}

double KQTextField::sixDotsAlpha() const
{
    const auto *effect = qobject_cast<QGraphicsOpacityEffect *>(m_sixDots->graphicsEffect());
    return effect ? effect->opacity() : 1;
}

// ---- Settings ----

void KQTextField::saveShortCutToUserDefaults()
{
    if (identifier().isEmpty()) {
        qCWarning(lcShortcuts) << "saveShortCutToUserDefaults: the field has no settings key; nothing stored";
        return;
    }
    ShortcutEncode::setShortcutForKey(defaults(), shortCut(), identifier());
    defaults().synchronize();
}

void KQTextField::saveShortCutToUserDefaultsIfNeeded()
{
    const std::shared_ptr<KQShortCut> live = shortCut();
    if (!live)
        return;
    if (MRKOUtils::shortCutIsDefault(*live) && !live->disabled()) {
        removeFromUserDefaults();
        return;
    }
    live->setIsDefault(false);
    saveShortCutToUserDefaults();
}

void KQTextField::removeFromUserDefaults()
{
    if (const std::shared_ptr<KQShortCut> live = shortCut())
        live->setIsDefault(true);
    m_restoreButton->hide();
    // On the next turn, so that a save made in the same pass is undone rather than left behind.
    platform::DispatchQueue::main().async([key = identifier()] {
        if (key.isEmpty())
            return;
        defaults().removeObjectForKey(key);
        defaults().synchronize();
    });
}

void KQTextField::forceLoadShortcutNoBindWithString(const QString &string)
{
    const std::shared_ptr<KQShortCut> live = shortCut();
    const std::shared_ptr<KQShortCut> loaded = KQShortCut::shortcutObjectWithString(string);
    if (!live || !loaded) {
        qCWarning(lcShortcuts) << "forceLoadShortcutNoBindWithString: no shortcut to load for" << identifier();
        return;
    }
    live->setModifierFlags(loaded->modifierFlags());
    live->setKeyCode(loaded->keyCode());
    live->setDisabled(loaded->disabled());
    updateShortcutString();
    saveShortCutToUserDefaultsIfNeeded();
    setColorDependingOnMousePosition();
    updateEnableButtonImage();
}

void KQTextField::forceRestoreShortcutNoBind()
{
    const std::shared_ptr<KQShortCut> live = shortCut();
    const std::shared_ptr<KQShortCut> standard = live ? MRKOUtils::defaultShortCutForAction(live->action()) : nullptr;
    if (!standard) {
        qCWarning(lcShortcuts) << "forceRestoreShortcutNoBind: no default shortcut for" << identifier();
        return;
    }
    live->setModifierFlags(standard->modifierFlags());
    live->setKeyCode(standard->keyCode());
    live->setDisabled(false);
    updateShortcutString();
    removeFromUserDefaults();
    setColorDependingOnMousePosition();
    updateEnableButtonImage();
}

// ---- Commands ----

void KQTextField::enableToggleShortcut()
{
    const std::shared_ptr<KQShortCut> live = shortCut();
    if (!live)
        return;
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    bool removeStored = false;
    if (live->disabled()) {
        monitor.enableShortCut(live);
        removeStored = MRKOUtils::shortCutIsDefault(*live);
    } else {
        monitor.disableShortCut(live);
        live->setIsDefault(false);
    }
    saveShortCutToUserDefaults();
    // The removal is deferred past this save, so the key ends up absent and the default applies.
    if (removeStored)
        removeFromUserDefaults();
    setColorDependingOnMousePosition();
    updateEnableButtonImage();
}

void KQTextField::restoreShortcut()
{
    m_removedShortcutField = nullptr;
    const std::shared_ptr<KQShortCut> live = shortCut();
    const std::shared_ptr<KQShortCut> standard = live ? MRKOUtils::defaultShortCutForAction(live->action()) : nullptr;
    if (!standard) {
        qCWarning(lcShortcuts) << "restoreShortcut: no default shortcut for" << identifier();
        return;
    }
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    if (const std::shared_ptr<KQShortCut> holder = monitor.equivalentShortCut(*standard)) {
        KQTextField *other = nullptr;
        for (KQTextField *field : inkora::shortcutsTextFields()) {
            if (field != this && field->shortCut() == holder) {
                other = field;
                break;
            }
        }
        if (other) {
            monitor.unbindShortCut(live);
            monitor.unbindShortCut(holder);
            other->removeShortCut();
            if (isWhollyVisible(*other))
                other->animateShortcutAction(true);
            else if (!defaults().boolForKey(kRemovedPopoverKey))
                m_removedShortcutField = other;
        }
    }
    monitor.disableShortCut(live);
    monitor.updateShortCutWithShortCut(live, *standard);
    monitor.enableShortCut(live);
    setShortCut(live);
    removeFromUserDefaults();
    animateShortcutAction(false);
    setColorDependingOnMousePosition();
    updateEnableButtonImage();
    if (m_removedShortcutField)
        showAttentionPopover();
}

void KQTextField::removeShortCut()
{
    const std::shared_ptr<KQShortCut> live = shortCut();
    if (!live)
        return;
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    monitor.unbindShortCut(live);
    live->setKeyCode(KQShortCut::kNotAssignedKeyCode);
    live->setModifierFlags(0);
    live->setIsDefault(false);
    monitor.bindShortCut(live); // kept in the registry, without a hot key
    monitor.setTypingShortcutsNeedsUpdate(true);
    updateShortcutString();
    setColorDependingOnMousePosition();
    saveShortCutToUserDefaults();
}

void KQTextField::copyShortCut()
{
    const std::shared_ptr<KQShortCut> live = shortCut();
    if (!live)
        return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    auto data = std::make_unique<QMimeData>();
    data->setData(QLatin1String(kStringPasteboardType), live->shortcutObjectStringValue().toUtf8());
    clipboard->setMimeData(data.release()); // the clipboard takes it
}

void KQTextField::assignShortcut(const std::shared_ptr<KQShortCut> &represented)
{
    if (!represented) {
        qCWarning(lcShortcuts) << "assignShortcut: representedObject is nil";
        return;
    }
    if (KQShortCutMonitor::defaultMonitor().alreadyHasSimilarShortCut(*represented)) {
        qCWarning(lcShortcuts) << "assignShortcut: alreadyHasSimilarShortCut";
        return;
    }
    assignKey(represented->keyCode(), represented->modifierFlags());
}

void KQTextField::assignFunction(quint16 keyCode)
{
    if (KQShortCutMonitor::defaultMonitor().alreadyHasShortCutWithKeyCode(keyCode, 0)) {
        qCWarning(lcShortcuts) << "assignFunction: alreadyHasShortCutWithKeyCode";
        return;
    }
    assignKey(keyCode, 0);
}

void KQTextField::assignKey(quint16 keyCode, quint64 modifierFlags)
{
    const std::shared_ptr<KQShortCut> live = shortCut();
    if (!live)
        return;
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    monitor.disableShortCut(live);
    monitor.unbindShortCut(live);
    live->setKeyCode(keyCode);
    live->setModifierFlags(modifierFlags);
    live->setIsDefault(false);
    monitor.bindShortCut(live);
    monitor.enableShortCut(live);
    monitor.setTypingShortcutsNeedsUpdate(true);
    updateShortcutString();
    setNormalColor();
    saveShortCutToUserDefaultsIfNeeded();
}

void KQTextField::swapShortCut(qint64 tag)
{
    const QList<KQTextField *> fields = inkora::shortcutsTextFields();
    if (tag < 0 || tag >= fields.size())
        return;
    KQTextField *other = fields.at(tag);
    exchangeShortcutWithTextField(*other);
    animateShortcutAction(false);
    other->animateShortcutAction(false);
}

void KQTextField::editShortCut()
{
    invokeTargetAction();
}

void KQTextField::exchangeShortcutWithTextField(KQTextField &other)
{
    const std::shared_ptr<KQShortCut> mine = shortCut();
    const std::shared_ptr<KQShortCut> theirs = other.shortCut();
    if (!mine || !theirs || mine == theirs)
        return;
    auto &monitor = KQShortCutMonitor::defaultMonitor();
    const bool mineEnabled = !mine->disabled();
    const bool theirsEnabled = !theirs->disabled();
    const quint16 mineKey = mine->keyCode();
    const quint16 theirsKey = theirs->keyCode();
    const quint64 mineFlags = mine->modifierFlags();
    const quint64 theirsFlags = theirs->modifierFlags();
    if (mineEnabled)
        monitor.disableShortCut(mine);
    if (theirsEnabled)
        monitor.disableShortCut(theirs);
    mine->setKeyCode(theirsKey);
    mine->setModifierFlags(theirsFlags);
    theirs->setKeyCode(mineKey);
    theirs->setModifierFlags(mineFlags);
    // The enabled state travels with the combination.
    if (mineEnabled)
        monitor.enableShortCut(theirs);
    if (theirsEnabled)
        monitor.enableShortCut(mine);
    saveShortCutToUserDefaultsIfNeeded();
    other.saveShortCutToUserDefaultsIfNeeded();
    updateShortcutString();
    other.updateShortcutString();
    setColorDependingOnMousePosition();
    updateEnableButtonImage();
}

QString KQTextField::textFieldDescription() const
{
    const std::shared_ptr<KQShortCut> live = shortCut();
    if (!live || !live->isFailedToRegister())
        return QString();
    if (live->hasOptionModifierKeyOnly() && MRKOUtils::sequoiaOrLater())
        return QStringLiteral("\u26A0\uFE0F Starting with macOS Sequoia sandboxed apps can't register shortcuts\nwith "
                              "single Option key in combination with typing keys.\n \nShortcut will work when "
                              "Inkora is a foreground app.");
    if (live->hasSingleSpecialKey() && MRKOUtils::sequoiaOrLater())
        return QStringLiteral("\u26A0\uFE0F Starting with macOS Sequoia sandboxed apps can't register shortcuts\nwith "
                              "a single typing character.\n \nShortcut will work when Inkora is a foreground app.");
    return QStringLiteral("\u26A0\uFE0F Unable to register this shortcut for some reason.\n \nShortcut will work when "
                          "Inkora is a foreground app.");
}

// ---- Outlines and the attention popover ----

QPointer<inkora::ShortcutOutline> KQTextField::makeOutline(const QRect &frame, const QColor &color, bool dashed)
{
    QWidget *host = parentWidget() ? parentWidget() : this;
    const QRect placed = parentWidget() ? frame : frame.translated(-geometry().topLeft());
    return new inkora::ShortcutOutline(host, placed, color, dashed); // child of the host
}

void KQTextField::animateShortcutAction(bool warning)
{
    QPointer<inkora::ShortcutOutline> flash =
        makeOutline(inkora::ShortcutOutline::sourceFrame(geometry()),
                    warning ? kqtextfield::warningOrange() : OnOffColor::iconOnColor(), true);
    flash->setOpacity(1);
    flash->fadeOut(kFlashFadeTime);
}

void KQTextField::showAttentionPopover()
{
    m_attentionPopover = std::make_unique<platform::Popover>();
    m_attentionPopover->setBehavior(platform::Popover::Transient);
    auto content = std::make_unique<QWidget>();
    auto *label = new QLabel(QStringLiteral("\u26A0\uFE0F Another shortcut has been removed to restore this shortcut."),
                             content.get()); // child
    label->setAlignment(Qt::AlignCenter);
    label->adjustSize();
    const QSize text = label->size();
    content->resize(text.width() + 48, text.height() + 56);
    label->move(24, content->height() - 42 - text.height());
    const int middle = content->width() / 2;
    const int buttonTop = content->height() - 12 - 17;
    auto *showIt = new QPushButton(QStringLiteral("Show it"), content.get()); // child
    showIt->setGeometry(middle - 32, buttonTop, 64, 17);
    showIt->setFocusPolicy(Qt::NoFocus);
    auto *dontNotify = new QPushButton(QStringLiteral("Don't notify again"), content.get()); // child
    dontNotify->setGeometry(middle + 52, buttonTop, 130, 17);
    dontNotify->setFocusPolicy(Qt::NoFocus);
    connect(showIt, &QPushButton::clicked, this, &KQTextField::showRemovedShortcut);
    connect(dontNotify, &QPushButton::clicked, this, &KQTextField::dontNotifyAgain);
    m_attentionPopover->setContentWidget(content.release());

    QWidget *view = parentWidget() ? parentWidget() : this;
    const QRect frame = parentWidget() ? geometry() : rect();
    m_attentionPopover->showRelativeToRect(
        QRectF(frame.x(), view->height() - frame.y() - frame.height(), frame.width(), frame.height()), view,
        platform::RectEdge::MaxY);
}

void KQTextField::showRemovedShortcut()
{
    if (m_attentionPopover)
        m_attentionPopover->close();
    QPointer<KQTextField> removed = m_removedShortcutField;
    m_removedShortcutField = nullptr;
    if (!removed)
        return;
    QScrollArea *scroll = nullptr;
    for (QWidget *w = removed->parentWidget(); w && !scroll; w = w->parentWidget())
        scroll = qobject_cast<QScrollArea *>(w);
    if (scroll && scroll->widget()) {
        // The removed field's lower edge in the middle of the visible area.
        const QPoint origin = removed->mapTo(scroll->widget(), QPoint(0, 0));
        const int target = origin.y() + removed->height() - scroll->viewport()->height() / 2;
        QScrollBar *bar = scroll->verticalScrollBar();
        const int from = bar->value();
        const double start = platform::services().clock->now();
        auto timer = std::make_shared<platform::RunLoop::TimerId>(0);
        *timer = platform::RunLoop::main().schedule(
            kScrollStep,
            [bar = QPointer<QScrollBar>(bar), from, target, start, timer] {
                const double progress = std::min(1.0, (platform::services().clock->now() - start) / kScrollDuration);
                if (bar)
                    bar->setValue(from + int(std::lround((target - from) * progress)));
                if (progress >= 1 || !bar)
                    platform::RunLoop::main().cancel(*timer);
            },
            platform::RunLoop::CommonModes, kScrollStep);
    }
    removed->animateShortcutAction(true);
}

void KQTextField::dontNotifyAgain()
{
    if (m_attentionPopover)
        m_attentionPopover->close();
    defaults().setBool(true, kRemovedPopoverKey);
    defaults().synchronize();
}

// ---- Hover and cursors ----

void KQTextField::updateHighlightIfNeeded()
{
    const bool inside = mouseStillHere();
    if (inside && !m_isHighlighted)
        mouseEntered();
    else if (!inside && m_isHighlighted)
        mouseExited();
}

void KQTextField::mouseEntered()
{
    setHighlightedColor();
    const std::shared_ptr<KQShortCut> live = shortCut();
    m_restoreButton->setVisible(live && !live->isDefault());
    updateEnableButtonImage();
    m_enableButton->show();
    m_dropdownButton->show();
    if (auto *effect = qobject_cast<QGraphicsOpacityEffect *>(m_sixDots->graphicsEffect()))
        effect->setOpacity(1);
    MRKODescTextField::mouseEntered();
}

void KQTextField::mouseExited()
{
    setNormalColor();
    m_restoreButton->hide();
    m_enableButton->hide();
    m_dropdownButton->hide();
    if (auto *effect = qobject_cast<QGraphicsOpacityEffect *>(m_sixDots->graphicsEffect()))
        effect->setOpacity(0);
    MRKODescTextField::mouseExited();
}

QRect KQTextField::handleArea() const
{
    return QRect(0, 0, 2 * height() + 12, height());
}

void KQTextField::updateCursor(const QPoint &position)
{
    const bool overHandle = shortCut() && handleArea().contains(position);
    setCursor(overHandle ? Qt::OpenHandCursor : Qt::PointingHandCursor);
}

// ---- Mouse ----

void KQTextField::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        MRKODescTextField::mousePressEvent(event);
        return;
    }
    const std::shared_ptr<KQShortCut> live = shortCut();
    setTextColor(live && live->isNotAssigned() ? kqtextfield::warningOrange() : kqtextfield::pressedBlue());
    if (live && handleArea().contains(event->position().toPoint())) {
        startDrag(event->position().toPoint());
        return;
    }
    m_pressPosition = event->position().toPoint();
    m_tracking = true;
}

void KQTextField::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint position = event->position().toPoint();
    if (!m_tracking || !(event->buttons() & Qt::LeftButton)) {
        updateCursor(position);
        return;
    }
    if (shortCut() && QLineF(position, m_pressPosition).length() > kDragThreshold) {
        m_tracking = false;
        startDrag(m_pressPosition);
    }
}

void KQTextField::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_tracking) {
        MRKODescTextField::mouseReleaseEvent(event);
        return;
    }
    m_tracking = false;
    mouseUpINKRA(event->position(), platform::modifierFlagsFromQt(event->modifiers()));
    updateCursor(event->position().toPoint());
}

void KQTextField::mouseUpINKRA(const QPointF &position, quint64 modifierFlags)
{
    if (modifierFlags & platform::kControlFlag)
        enableToggleShortcut();
    else if (rect().contains(position.toPoint()))
        invokeTargetAction();
    setNormalColor();
}

void KQTextField::invokeTargetAction()
{
    KQShortCutPopover &popover = KQShortCutPopover::sharedPopover();
    if (popover.isShown())
        popover.close();
    popover.setLabel(this);
    popover.showRelativeToRect(QRectF(0, 0, 40, height()), this, platform::RectEdge::MaxY);
}
