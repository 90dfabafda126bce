#include "qt/GameWindow.h"

#include "platform/TextCodec.h"
#include "qt/ControlWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cmath>

namespace {

// Timers faster than the desktop can usefully fire are run at this pace.
constexpr int kFastestTimerMs = 16;

int pixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QString qtext(const std::u16string& s) { return QString::fromStdU16String(s); }

unsigned clockSeed() {
    return static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count());
}

} // namespace

GameWindow::GameWindow(const std::string& gameDir, std::optional<unsigned> seed)
    : desktop_(*this, [this](const std::string&) { QTimer::singleShot(0, this, [this] { popupMenu(); }); }),
      platform_{music_, pictures_, desktop_, random_, seed.value_or(clockSeed())},
      fom_(std::make_unique<Fom>(platform_, gameDir)), router_(std::make_unique<EventRouter>(*fom_)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAutoFillBackground(true);
    QFont f("Noto Sans CJK JP");
    f.setStyleHint(QFont::SansSerif);
    setFont(f);
    // The watchdog hears of every change of the player at once, so it need not poll fast.
    music_.setOnStateChange([this] {
        if (started_ && !failed_ && depth_ == 0 && fom_->BgmTim.enabled())
            deliver([this] { router_->tick("BgmTim"); });
    });
}

GameWindow::~GameWindow() = default;

bool GameWindow::start() {
    deliver([this] {
        fom_->Form_Load();
        createWidgets();
        fom_->Form_Resize();
    });
    if (failed_) return false;
    resize(pixels(fom_->window.innerWidthTw()), pixels(fom_->window.innerHeightTw()));
    show();
    started_ = true;
    updateFrame();
    deliver([this] {
        fom_->window.widthTw = (width() + frameGeometry().width() - geometry().width()) * kTwipsPerPixel;
        fom_->window.heightTw = (height() + frameGeometry().height() - geometry().height()) * kTwipsPerPixel;
        fom_->Form_Resize();
        fom_->Form_Activate();
    });
    return !failed_;
}

void GameWindow::deliver(const std::function<void()>& event) {
    if (failed_) return;
    ++depth_;
    try {
        event();
        --depth_;
        sync();
    } catch (const std::exception& e) {
        --depth_;
        failed_ = true;
        for (auto& link : timers_) link.qtimer->stop();
        QMessageBox::critical(this, QStringLiteral("ルメナ"), QString::fromStdString(e.what()));
        QApplication::exit(1);
    }
}

void GameWindow::createWidgets() {
    for (const auto& c : fom_->model.controls()) {
        if (c->kind == ControlKind::Window) continue;
        QWidget* parent = c->container->kind == ControlKind::Window ? this : widgets_.at(c->container);
        QWidget* w = nullptr;
        const Control* control = c.get();
        auto onPress = [this](const Control& pressed) {
            deliver([this, &pressed] { router_->press(pressed.name, pressed.index); });
        };
        auto onRelease = [this](const Control& released, bool inside) {
            deliver([this, &released] { router_->release(released.name, released.index); });
            if (inside) deliver([this, &released] { router_->click(released.name, released.index); });
        };
        if (c->kind == ControlKind::CommandButton) {
            auto* button = new QPushButton(parent);
            connect(button, &QPushButton::pressed, this, [=] { onPress(*control); });
            connect(button, &QPushButton::released, this, [=] { onRelease(*control, button->underMouse()); });
            w = button;
        } else if (c->kind == ControlKind::ListBox) {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            w = list;
        } else {
            auto* widget = new ControlWidget(*c, pictures_, parent);
            widget->onPress = onPress;
            widget->onRelease = onRelease;
            w = widget;
        }
        w->setObjectName(QString::fromStdString(c->name));
        widgets_[control] = w;
    }
    for (Timer* t : fom_->model.timers()) {
        auto* q = new QTimer(this);
        const std::string name = t->name;
        connect(q, &QTimer::timeout, this, [this, name] { deliver([this, name] { router_->tick(name); }); });
        timers_.push_back({t, q, t->restarts() + 1});
    }
}

QWidget* GameWindow::widgetOf(const Control& c) const {
    if (c.kind == ControlKind::Window) return const_cast<GameWindow*>(this);
    auto it = widgets_.find(&c);
    return it == widgets_.end() ? nullptr : it->second;
}

void GameWindow::sync() {
    if (widgets_.empty()) return;
    const Control& win = fom_->window;
    setWindowTitle(qtext(win.caption));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, toQColor(win.backColor));
    setPalette(pal);
    for (const auto& [control, widget] : widgets_) syncControl(*control, *widget);
    syncStacking();
    syncTimers();
    syncWindowSize();
}

void GameWindow::syncControl(const Control& c, QWidget& w) {
    const QRect geometry(pixels(c.leftTw), pixels(c.topTw), pixels(c.widthTw), pixels(c.heightTw));
    if (w.geometry() != geometry) w.setGeometry(geometry);
    if (w.isVisibleTo(w.parentWidget()) != c.visible) w.setVisible(c.visible);
    if (w.isEnabled() != c.enabled && c.kind != ControlKind::Label) w.setEnabled(c.enabled);
    const QString tip = qtext(c.toolTipText);
    if (w.toolTip() != tip) w.setToolTip(tip);
    QFont f = font();
    f.setPointSizeF(std::max(1.0, c.fontSize));
    if (w.font() != f) w.setFont(f);

    if (auto* button = qobject_cast<QPushButton*>(&w)) {
        if (button->text() != qtext(c.caption)) button->setText(qtext(c.caption));
        const QString style = QString("QPushButton { background-color: %1; color: black; }")
                                  .arg(toQColor(c.backColor).name());
        if (button->styleSheet() != style) button->setStyleSheet(style);
    } else if (auto* list = qobject_cast<QListWidget*>(&w)) {
        QStringList lines;
        for (const auto& line : c.list) lines << qtext(line);
        bool same = list->count() == lines.size();
        for (int i = 0; same && i < lines.size(); ++i) same = list->item(i)->text() == lines[i];
        if (!same) {
            list->clear();
            list->addItems(lines);
        }
        QPalette pal = list->palette();
        pal.setColor(QPalette::Base, toQColor(c.backColor));
        pal.setColor(QPalette::Text, toQColor(c.foreColor));
        list->setPalette(pal);
    } else {
        // Painted from the model at every change; painting is cheap next to telling what changed.
        w.update();
    }
}

void GameWindow::syncStacking() {
    std::vector<const Control*> containers = {&fom_->window};
    for (const auto& c : fom_->model.controls())
        if (c->kind == ControlKind::PictureBox) containers.push_back(c.get());
    for (const Control* container : containers) {
        std::vector<QWidget*> order;
        for (Control* c : fom_->model.stackOf(container)) order.push_back(widgets_.at(c));
        auto& known = stacks_[container];
        if (known == order) continue;
        for (QWidget* w : order) w->raise();
        known = order;
    }
}

void GameWindow::syncTimers() {
    for (auto& link : timers_) {
        if (!link.timer->enabled()) {
            link.qtimer->stop();
            continue;
        }
        int interval = std::max(link.timer->interval(), kFastestTimerMs);
        if (link.timer == &fom_->BgmTim) interval = kWatchdogIntervalMs;
        if (!link.qtimer->isActive() || link.restarts != link.timer->restarts()) {
            link.qtimer->start(interval);
            link.restarts = link.timer->restarts();
        }
    }
}

void GameWindow::updateFrame() {
    Control& win = fom_->window;
    win.frameWidthTw = (frameGeometry().width() - geometry().width()) * kTwipsPerPixel;
    win.frameHeightTw = (frameGeometry().height() - geometry().height()) * kTwipsPerPixel;
}

void GameWindow::syncWindowSize() {
    if (!started_ || fom_->windowSizeFixed) return;
    const Control& win = fom_->window;
    const int wanted = pixels(win.innerWidthTw());
    if (std::abs(wanted - width()) >= 1) resize(wanted, height());
}

void GameWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!started_) return;
    updateFrame();
    deliver([this] {
        Control& win = fom_->window;
        win.widthTw = width() * kTwipsPerPixel + win.frameWidthTw;
        win.heightTw = height() * kTwipsPerPixel + win.frameHeightTw;
        fom_->Form_Resize();
    });
}

void GameWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        fom_->windowSizeFixed = windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
}

void GameWindow::closeEvent(QCloseEvent* event) {
    deliver([this] { fom_->Form_Unload(); });
    for (auto& link : timers_) link.qtimer->stop();
    started_ = false;
    event->accept();
}

void GameWindow::mouseReleaseEvent(QMouseEvent*) {
    deliver([this] { router_->click("Fom", -1); });
}

void GameWindow::fillMenu(QMenu& menu, const MenuItem& item) {
    for (const MenuItem* child : item.items) {
        if (!child->visible) continue;
        if (child->isSeparator()) {
            menu.addSeparator();
        } else if (!child->items.empty()) {
            fillMenu(*menu.addMenu(qtext(child->caption)), *child);
        } else {
            QAction* action = menu.addAction(qtext(child->caption));
            action->setEnabled(child->enabled);
            action->setCheckable(child->checked);
            action->setChecked(child->checked);
            const std::string name = child->name;
            const int index = child->index;
            connect(action, &QAction::triggered, this, [this, name, index] {
                deliver([this, name, index] { router_->menu(name, index); });
            });
        }
    }
}

void GameWindow::popupMenu() {
    // The menu is built afresh at every popup, so captions and check marks are the model's own.
    delete menu_;
    menu_ = new QMenu(this);
    fillMenu(*menu_, *fom_->model.menu("menu").front());
    menu_->popup(QCursor::pos());
}
