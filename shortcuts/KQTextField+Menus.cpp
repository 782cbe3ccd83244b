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
#include "shortcuts/KQTextField.h"
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

std::shared_ptr<KQShortCut> KQTextField::pastedShortCut() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(QLatin1String(kStringPasteboardType)))
        return nullptr;
    return KQShortCut::shortcutObjectWithString(QString::fromUtf8(data->data(QLatin1String(kStringPasteboardType))));
}

std::unique_ptr<QMenu> KQTextField::menuForEvent()
{
    auto menu = std::make_unique<QMenu>();
    menu->setTitle(QStringLiteral("Shortcut Menu"));
    const std::shared_ptr<KQShortCut> live = shortCut();

    connect(menu->addAction(QStringLiteral("Edit Shortcut...")), &QAction::triggered, this, &KQTextField::editShortCut);
    menu->addSeparator();
    if (kqtextfield::hasKey(live))
        connect(menu->addAction(QStringLiteral("Copy Shortcut")), &QAction::triggered, this,
                &KQTextField::copyShortCut);

    const std::shared_ptr<KQShortCut> pasted = pastedShortCut();
    if (pasted && live && !pasted->isEqual(*live)) {
        if (const auto holder = KQShortCutMonitor::defaultMonitor().equivalentShortCut(*pasted)) {
            const QList<KQTextField *> fields = inkora::shortcutsTextFields();
            qsizetype index = -1;
            for (qsizetype i = 0; i < fields.size() && index < 0; ++i) {
                if (fields.at(i)->shortCut() == holder)
                    index = i;
            }
            if (index >= 0) {
                const QString hint = holder->basicHint();
                QAction *swap = menu->addAction(hint.isEmpty() ? QStringLiteral("Swap")
                                                               : QStringLiteral("Swap for %1 Shortcut").arg(hint));
                swap->setData(qint64(index));
                connect(swap, &QAction::triggered, this, [this, index] { swapShortCut(index); });
            }
        } else {
            QAction *assign = menu->addAction(QStringLiteral("Assign %1 Shortcut").arg(pasted->basicHint()));
            connect(assign, &QAction::triggered, this, [this, pasted] { assignShortcut(pasted); });
        }
    }

    QMenu *functionKeys = assignFunctionKeyMenu().release();
    functionKeys->setParent(menu.get(), functionKeys->windowFlags()); // owned by the menu
    functionKeys->menuAction()->setText(QStringLiteral("Assign Function Key"));
    menu->addMenu(functionKeys);
    QMenu *singleKeys = assignSingleKeyMenu().release();
    singleKeys->setParent(menu.get(), singleKeys->windowFlags()); // owned by the menu
    singleKeys->menuAction()->setText(QStringLiteral("Assign Signle Key"));
    menu->addMenu(singleKeys);
    menu->addSeparator();

    const bool disabled = live && live->disabled();
    connect(menu->addAction(disabled ? QStringLiteral("Enable Shortcut") : QStringLiteral("Disable Shortcut")),
            &QAction::triggered, this, &KQTextField::enableToggleShortcut);
    if (live && !live->isDefault())
        connect(menu->addAction(QStringLiteral("Restore Shortcut")), &QAction::triggered, this,
                &KQTextField::restoreShortcut);
    menu->addSeparator();
    if (kqtextfield::hasKey(live))
        connect(menu->addAction(QStringLiteral("Remove Shortcut")), &QAction::triggered, this,
                &KQTextField::removeShortCut);
    return menu;
}

std::unique_ptr<QMenu> KQTextField::assignFunctionKeyMenu()
{
    auto menu = std::make_unique<QMenu>(QStringLiteral("Assign Function"));
    const auto &monitor = KQShortCutMonitor::defaultMonitor();
    for (const quint16 keyCode : functionKeyCodes()) {
        const bool assigned = monitor.alreadyHasShortCutWithKeyCode(keyCode, 0);
        const QString name = functionKeyNames().value(keyCode);
        QAction *item = menu->addAction(assigned ? name + QStringLiteral(" (Assigned)") : name);
        item->setData(keyCode);
        item->setEnabled(!assigned);
        connect(item, &QAction::triggered, this, [this, keyCode] { assignFunction(keyCode); });
    }
    return menu;
}

std::unique_ptr<QMenu> KQTextField::assignSingleKeyMenu()
{
    auto menu = std::make_unique<QMenu>(QStringLiteral("Assign Single"));
    const auto &monitor = KQShortCutMonitor::defaultMonitor();
    for (const quint16 keyCode : singleSpecialKeyCodes()) {
        const bool assigned = monitor.alreadyHasShortCutWithKeyCode(keyCode, 0);
        const QString symbol = keyCodeSymbolString(keyCode);
        const QString name = singleKeyNames().value(keyCode);
        // The name is left out where it reads as the symbol does.
        QString title = symbol.compare(name, Qt::CaseInsensitive) == 0 ? symbol + QLatin1Char(' ')
                                                                       : QStringLiteral("%1  %2 ").arg(symbol, name);
        if (assigned)
            title += QStringLiteral(" (Assigned)");
        QAction *item = menu->addAction(title);
        item->setData(keyCode);
        item->setEnabled(!assigned);
        connect(item, &QAction::triggered, this, [this, keyCode] { assignFunction(keyCode); });
    }
    return menu;
}

void KQTextField::showMenu(std::unique_ptr<QMenu> menu, const QPoint &globalPosition)
{
    if (m_menu)
        m_menu.release()->deleteLater(); // may still be delivering its last action
    m_menu = std::move(menu);
    connect(m_menu.get(), &QMenu::aboutToHide, this, &KQTextField::menuDidClose);
    m_menu->popup(globalPosition);
}

void KQTextField::menuDidClose()
{
    // After the item's action, which Qt delivers once the menu is hidden.
    platform::DispatchQueue::main().async([self = QPointer<KQTextField>(this)] {
        if (!self)
            return;
        self->updateHighlightIfNeeded();
        if (AppDelegate *delegate = AppDelegate::shared())
            delegate->handleFlagsChangedWithCurrentEvent();
    });
}

void KQTextField::dropdownMenuAction()
{
    platform::RunLoop::main().performAfterDelay(this, QStringLiteral("dropdownMenu"), kMenuDelay, [this] {
        // Just below the button's lower-left corner.
        const QPoint at = m_dropdownButton->mapToGlobal(QPoint(-3, m_dropdownButton->height() + 2));
        showMenu(menuForEvent(), at);
    });
}

void KQTextField::contextMenuEvent(QContextMenuEvent *event)
{
    showMenu(menuForEvent(), event->globalPos());
    event->accept();
}
