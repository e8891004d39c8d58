#include "SurfaceAccessible.h"

#include "Surface.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <vector>

namespace {

// One item of the surface: read from the surface's content at each question, so that it follows
// the picture; invalid once the content has fewer items.
class TItemAccessible : public QAccessibleInterface {
public:
    TItemAccessible(TImage* surface, int index) : surface_(surface), index_(index) {}

    bool isValid() const override {
        return surface_ && index_ < static_cast<int>(surface_->AccessibleContent().items.size());
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return surface_ ? surface_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return surface_ ? QAccessible::queryAccessibleInterface(surface_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        const TAccessibleItem& item = Item();
        return t == QAccessible::Name ? item.name : t == QAccessible::Description ? item.description : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect box = Item().box;
        return QRect(surface_->mapToGlobal(box.topLeft()), box.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.selectable = true;
        const bool chosen = surface_->AccessibleContent().focused == index_;
        s.focused = chosen;
        s.selected = chosen;
        if (!surface_->rect().intersects(Item().box)) s.offscreen = true;
        return s;
    }

private:
    const TAccessibleItem& Item() const {
        return surface_->AccessibleContent().items[static_cast<std::size_t>(index_)];
    }

    QPointer<TImage> surface_;
    int index_;
};

class TSurfaceAccessible : public QAccessibleWidget {
public:
    explicit TSurfaceAccessible(TImage* surface) : QAccessibleWidget(surface, QAccessible::Canvas) {}

    TImage* Surface() const { return static_cast<TImage*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && Surface()->accessibleName().isEmpty()) return Surface()->AccessibleContent().name;
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return static_cast<int>(Surface()->AccessibleContent().items.size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        auto& ids = const_cast<TSurfaceAccessible*>(this)->children_;
        while (static_cast<int>(ids.size()) <= index)
            ids.push_back(
                QAccessible::registerAccessibleInterface(new TItemAccessible(Surface(), static_cast<int>(ids.size()))));
        return QAccessible::accessibleInterface(ids[static_cast<std::size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < children_.size(); ++i)
            if (QAccessible::accessibleInterface(children_[i]) == child) return static_cast<int>(i);
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        const int focused = Surface()->AccessibleContent().focused;
        return focused >= 0 ? child(focused) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = Surface()->mapFromGlobal(QPoint(x, y));
        const auto& items = Surface()->AccessibleContent().items;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].box.contains(at)) return child(static_cast<int>(i));
        return nullptr;
    }

    // Items beyond count are gone: assistive programs are told, and their objects deleted.
    void Prune(int count) {
        while (static_cast<int>(children_.size()) > count) {
            if (QAccessibleInterface* gone = QAccessible::accessibleInterface(children_.back())) {
                QAccessibleEvent event(gone, QAccessible::ObjectDestroyed);
                QAccessible::updateAccessibility(&event);
            }
            QAccessible::deleteAccessibleInterface(children_.back());
            children_.pop_back();
        }
    }

private:
    std::vector<QAccessible::Id> children_; // the items' objects made so far, by index
};

QAccessibleInterface* SurfaceFactory(const QString&, QObject* object) {
    if (auto* surface = dynamic_cast<TImage*>(object)) return new TSurfaceAccessible(surface);
    return nullptr;
}

} // namespace

void InstallSurfaceAccessibility() {
    static const bool installed = (QAccessible::installFactory(SurfaceFactory), true);
    (void)installed;
}

const TAccessibleContent& TImage::AccessibleContent() {
    if (accessibleStale) {
        accessible = AccessibleSource ? AccessibleSource() : TAccessibleContent();
        accessibleStale = false;
    }
    return accessible;
}

void TImage::AccessibleChanged() {
    if (!QAccessible::isActive()) {
        accessibleStale = true;
        return;
    }
    const TAccessibleContent before = AccessibleContent();
    accessibleStale = true;
    const TAccessibleContent& now = AccessibleContent();
    auto* self = dynamic_cast<TSurfaceAccessible*>(QAccessible::queryAccessibleInterface(this));
    if (!self) return;
    if (now.name != before.name) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    const int count = static_cast<int>(now.items.size()), old = static_cast<int>(before.items.size());
    self->Prune(count);
    for (int i = 0; i < count; ++i) {
        QAccessibleInterface* item = self->child(i);
        if (i >= old) {
            QAccessibleEvent event(item, QAccessible::ObjectCreated);
            QAccessible::updateAccessibility(&event);
            continue;
        }
        const TAccessibleItem &was = before.items[static_cast<std::size_t>(i)],
                              &is = now.items[static_cast<std::size_t>(i)];
        if (was.name != is.name) {
            QAccessibleEvent event(item, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        if (was.description != is.description) {
            QAccessibleEvent event(item, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
        }
    }
    if (now.focused >= 0 && (now.focused != before.focused || count != old)) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(now.focused);
        QAccessible::updateAccessibility(&event);
    }
}
